#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class SongListModel;

// Albums: named, hand-ordered song lists, one database row per song. The
// album windows' rules and writes, reachable without showing a window.
namespace albums {

// The album names in listing order; false when the read fails.
bool readNames(QStringList& names);

// Whether `name` belongs to an album of `names` other than `editing` (the
// album being edited, empty when adding). Names are compared ignoring case
// and width: the database keeps "Zed" and "zed" as one album, so such a
// name would merge two albums.
bool nameTaken(const QStringList& names, const QString& name, const QString& editing = {});

// Appends the rows of `keys` from `library` to the end of `album`, in
// order, stopping before the first song the album already holds (the rows
// before it stay). False when it stopped there.
bool appendSongs(const SongListModel& library, const QStringList& keys, SongListModel& album);

// Moves the row of `key` one place up (`by` -1) or down (+1). False, with
// nothing moved, for the first row up, the last row down or an unknown key.
bool moveSong(SongListModel& album, const QString& key, int by);

// The message OK shows instead of saving, or 0 when the album may be
// saved: 4 without a name, then 5 without songs, then 7 for a taken name.
int okMessage(const QString& name, int songCount, bool nameTaken);

// The song IDs of the album list's rows, top to bottom.
QStringList songIds(const SongListModel& album);

// Writes album `name` with these songs numbered from 1, replacing album
// `oldName` when it is given; a song deleted meanwhile gets no row. All or
// nothing: on a failure (the connector has shown why) or when `progress`
// (songs done, total) returns false, the database is as it was. Touches
// only the database, so it may run on a worker thread.
bool save(const QString& oldName, const QString& name, const QStringList& songIds,
          const std::function<bool(int done, int total)>& progress = {});

// Deletes every row of album `name`.
bool remove(const QString& name);

} // namespace albums
