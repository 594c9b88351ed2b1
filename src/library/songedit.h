#pragma once

#include "data/song.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class SongListModel;

// What editing songs decides and writes, apart from the windows: how the
// property editor fills its controls from a record and writes them back,
// and how edited records reach the database and the song list.
namespace songedit {

// The most genres a song can carry.
inline constexpr int kMaxGenres = 3;

// A genre of the editor's list: its list key and its name.
struct Genre {
    QString key;
    QString name;
};

// Every genre but "指定無し", in table order. False when the read fails.
bool readGenres(QList<Genre>& genres);
// Every artist name in table order, "指定無し" included. False when the
// read fails.
bool readArtists(QStringList& names);

// Which genres a genre text checks: each "/"-separated part checks the
// first genre of that name; a part that names none is ignored.
QList<bool> checkedGenres(const QString& janl, const QList<Genre>& genres);

// A check box's state for a flag's text: "True" checked, "False"
// unchecked, nothing for any other text.
std::optional<bool> flagState(const QString& text);

// What the editor's controls hold when OK is pressed.
struct Choices {
    QString filePath;
    QString title;
    QString artist;
    QList<Genre> checked; // in list order, at most kMaxGenres
    int volume = 0;
    int priority = 0;
    bool breakOut = false;
    bool trend = false;
};

// Writes the choices into the record: path, artist and its ID (kept
// when the artist cannot be read), title, the genres in list order
// (the "no genre" entry when none), volume, priority and flags.
void writeBack(const Choices& choices, Song& song);

// The song of a list key (or bare ID) as the editor starts from it: its
// genre text names all three genres, "指定無し" included. Nothing when the
// read fails or the song no longer exists; `removed` tells the latter.
std::optional<Song> loadSong(const QString& key, bool* removed = nullptr);

// Writes `edited` to the song of each key, as one change that is kept
// whole or not at all. A single edit (`bulk` false) writes every field; a
// bulk edit leaves each song its own title and file path. Either way each
// song keeps the play count the database holds: the editor never sets it.
// Songs removed meanwhile are passed over and their keys put in `removed`.
// On success `written` holds the record each song now has, keyed as in
// `keys`; on failure (shown by the connector) or when `progress` (songs
// done, total) returns false, nothing was changed and `written` is empty.
// Touches only the database, so it may run on a worker thread.
bool saveSongs(const Song& edited, const QStringList& keys, bool bulk, std::vector<Song>& written,
               QStringList& removed, const std::function<bool(int done, int total)>& progress = {});

// Rewrites the row of `key` from what the database holds; false when the
// song cannot be read.
bool restoreRow(const QString& key, SongListModel& list);

} // namespace songedit
