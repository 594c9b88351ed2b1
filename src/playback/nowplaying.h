#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class Song;

// What the now-playing frame and the status bar show of a song, by the
// display item names of the display settings.
namespace nowplaying {

// The song's field for a display item name; nothing for any other name.
std::optional<QString> fieldText(const Song& song, const QString& itemName);

// The two frame lines from the frame items in order; nothing when the
// items cannot be read.
std::optional<std::pair<QString, QString>> frameTexts(const Song& song);

// The status bar text: the field of the last status item with a known
// name; nothing when the items cannot be read or none is known.
std::optional<QString> statusText(const Song& song);

// What the status bar says of a song passed over: its file and why.
QString skippedText(const Song& song, const QString& reason);

// A time as the frame shows it: "m:ss", or "h:mm:ss" from an hour on or
// with `hours`.
QString timeText(int seconds, bool hours = false);
// The place in the song and its length, "1:23 / 4:56"; both with hours
// when the song is an hour or longer.
QString positionText(int seconds, int length);

} // namespace nowplaying
