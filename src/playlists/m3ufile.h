#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class SongListModel;

// M3U playlists in both directions. Neither direction touches the database.

// Writes `lines` to `path` (exactly that name) as UTF-8 without a byte-order
// mark, each line ended by CR LF, nothing else; an empty list writes an
// empty file. The file is replaced only once it is written in full, so a
// failure (folder missing or read-only, disk full, a path that names a
// folder or a device) leaves any earlier file as it was. True on success.
bool WriteM3uFile(const QString& path, const QStringList& lines);

// The name an export writes to: the chosen name, with ".m3u" added when
// its file name has no extension, so the playlist pickers list it.
QString M3uFileName(const QString& chosen);

// Removes the lines a playlist cannot hold, those with a line break in
// them (the break would end the entry part-way); returns how many.
int RemoveUnwritableLines(QStringList& lines);

// What a read reports besides its entries, and how its caller follows a
// long read.
struct M3uRead {
    // Called every few thousand lines with the bytes read so far and the
    // playlist's size; returning false stops the read, which then fails.
    std::function<bool(qint64 done, qint64 total)> progress;
    // Lines written as entries that name no file to be found (missing
    // files, other machines' paths, text in an unknown encoding), and the
    // first few of them as they were written.
    int missing = 0;
    QStringList missingShown;
};

// Reads the entries of the playlist at `path` into `entries`: the lines
// that name an existing ordinary file that is not hidden, in file order,
// each as a clean absolute path. Lines end at CR, CR LF or LF; spaces at
// both ends are dropped. A line starting with "#" is a comment unless it
// names a file. An entry may be absolute, relative to the playlist's folder
// (tried first) or to the current folder, a file:// URI (also with the
// host "localhost"), or written with "\" separators. Entries are only
// looked up, never opened. The text is UTF-16 by its byte-order mark; else
// each line on its own is UTF-8 when it is valid UTF-8, else code page 932
// when valid in it, else Windows-1252. False, with `entries` empty, when
// the playlist is not an ordinary readable file, is too large to be one,
// or the read was stopped. `read`, when given, is told what was missing.
bool ReadM3uFile(const QString& path, QStringList& entries, M3uRead* read = nullptr);

// The file paths of a song list in its display order: the cells of its
// first "ﾌｧｲﾙﾊﾟｽ" column. False when the list has no such column.
bool M3uLinesOf(const SongListModel& list, QStringList& lines);
