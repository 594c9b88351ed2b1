#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

// What the main window reads at start-up and writes at shutdown, kept
// apart from the window so it can be checked without one.
namespace mainsettings {

// The volume when the stored one cannot be read or is not a number.
inline constexpr int kDefaultVolume = 4000;

struct SetLists {
    bool read = false;
    QStringList names;
    int selected = 0; // the last row marked selected, else the first
};
SetLists readSetLists();

// The stored play mode, or nothing when the read fails or no row is
// marked selected (the caller then takes the first mode).
std::optional<QString> readPlayMode();

// The stored volume; kDefaultVolume when it cannot be read.
int readVolume();

// The main window's place and size in twips, and whether it was maximised
// (the place is then the one it returns to).
struct Place {
    QRect twips;
    bool maximised = false;
};
// The stored place; nothing when none was stored or it is not usable.
std::optional<Place> readPlace();

struct Shutdown {
    std::optional<Place> place;
    int volume = kDefaultVolume;
    QString playMode;
    QList<QPair<QString, double>> columnWidths; // caption, twips
    int sortOrder = 0;
    int sortKey = 0;
};
// Writes the values in their order; a failed write does not stop the next.
void writeShutdown(const Shutdown& values);

} // namespace mainsettings
