#pragma once

#include "library/tagreader.h"

#include <QList>
#include <QStringList>

#include <functional>

// Registering files as songs, and refreshing songs, with what their tags
// say. Each step may run on a worker thread; the connector is used by the
// calling thread alone.
namespace tagging {

// Called from the calling thread only, with the steps done so far and the
// total; false cancels.
using Progress = std::function<bool(int done, int total)>;

// The tags of `paths`, in order, read on up to one thread per core.
// Progress counts files (`offset` is added to done and total is `total`).
// False after a cancel.
bool readAll(const QStringList& paths, QList<SongTags>& tags, const Progress& progress = {},
             int offset = 0, int total = -1);

// Writes each file as a new song in one bulk write, all or nothing: the
// tags' title (the file title when there is none), artist and genres,
// reusing stored names equal when folded and adding the others. False
// after a cancel or a failure (the connector has shown why).
bool insertSongs(const QStringList& paths, const QList<SongTags>& tags,
                 const Progress& progress = {}, int offset = 0, int total = -1);

// Sets title, artist and genres of the songs `ids` from their tags in one
// bulk write, all or nothing; what the tags do not give stays as it is,
// and nothing else of a song is touched.
bool updateSongs(const QList<qint64>& ids, const QList<SongTags>& tags,
                 const Progress& progress = {}, int offset = 0, int total = -1);

} // namespace tagging
