#pragma once

#include <QPixmap>
#include <QString>

class QToolButton;
class QWidget;

// The pictures of the program: drawn here, written into the program's
// data folder by the build ("MLPData/<name>.bmp") and read back from there, so a user
// may replace them. A missing or unreadable file falls back to the drawn
// copy, so a button never loses its picture.
namespace pictures {

enum class Picture {
    Play,
    AtStop,
    Stop,
    Next,
    Return,
    Opening,
    WebBack,
    WebForward,
    WebRefresh,
    WebHome,
    WebClose
};

// The file name below "MLPData", e.g. "Play.bmp".
QString fileName(Picture picture);

// The built-in drawing. Button pictures use pure magenta as their
// transparent colour, as bitmap files have no alpha.
QImage draw(Picture picture);

// The program's icon, `size` pixels square: the same drawing as the
// scalable icon the desktop entry names (melodara-player.svg).
QImage drawIcon(int size);

// The picture from "MLPData/<file>" in the data folder, else the
// built-in one; button pictures come with their transparent colour masked.
QPixmap load(Picture picture);

// A picture button named `name`, showing `picture`, with `caption` as its
// text and tip.
QToolButton* button(QWidget* parent, const QString& name, const QString& caption, Picture picture);

} // namespace pictures
