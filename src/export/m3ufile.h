#pragma once

#include <QString>
#include <QStringList>

class SongListModel;

// M3U playlists in both directions. Neither direction touches the database.

// Writes `lines` to `path` (exactly that name) as UTF-8 without a byte-order
// mark, each line ended by CR LF, nothing else; an empty list writes an
// empty file. The file is replaced only once it is written in full, so a
// failure (folder missing or read-only, disk full, a path that names a
// folder or a device) leaves any earlier file as it was. True on success.
bool WriteM3uFile(const QString& path, const QStringList& lines);

// Reads the entries of the playlist at `path` into `entries`: the lines
// that name an existing ordinary file that is not hidden, in file order,
// each as a clean absolute path. Lines end at CR, CR LF or LF; spaces at
// both ends are dropped; "#" lines are comments. An entry may be absolute,
// relative to the playlist's folder (tried first) or to the current folder,
// a file:// URI, or written with "\" separators. Entries are only looked
// up, never opened. The text is UTF-8 or UTF-16 by its byte-order mark,
// UTF-8 for ".m3u8" or when it is valid UTF-8, else Shift-JIS (code page
// 932). False, with `entries` empty, when the playlist is not an ordinary
// readable file or is too large to be one.
bool ReadM3uFile(const QString& path, QStringList& entries);

// The file paths of a song list in its display order: the cells of its
// first "ﾌｧｲﾙﾊﾟｽ" column. False when the list has no such column.
bool M3uLinesOf(const SongListModel& list, QStringList& lines);
