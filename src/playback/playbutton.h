#pragma once

#include <QString>

class QToolButton;

// The play button's two faces: "再生" (the play picture: pressing plays)
// and "一時停止" (the pause picture: pressing pauses).
inline const QString kPlayWord = QStringLiteral("再生");
inline const QString kPauseWord = QStringLiteral("一時停止");

// The word for the player state: "一時停止" while playing, else "再生".
QString playStateWord(int state);

// "再生" or "一時停止" shows that picture (the word becomes the tip); any
// other text becomes the button's caption.
void setPlayButton(QToolButton& button, const QString& state);
