#pragma once

#include "library/tagreader.h"

#include <QList>
#include <QStringList>

#include <functional>

// Registering files as songs, and refreshing songs, with what their tags
// say. The tags are read on up to one worker thread per core while the
// calling thread writes the songs read before them; the connector is used
// by the calling thread alone, and each write is one bulk write, all or
// nothing.
namespace tagging {

// Called from the calling thread only, with the songs written so far and
// the total; false cancels.
using Progress = std::function<bool(int done, int total)>;

// Whether registration reads the files' tags. Without them every song gets
// its file title and no names, as a reference for what the tags cost.
enum class Tags { Read, Skip };

// Writes each file as a new song: the tags' title (the file title when
// there is none), artist and genres, reusing stored names equal when
// folded and adding the others. False after a cancel or a failure (the
// connector has shown why).
bool insertSongs(const QStringList& paths, const Progress& progress = {}, Tags tags = Tags::Read);

// Sets title, artist and genres of the songs `ids` (their files at
// `paths`) from their tags; what the tags do not give stays as it is, and
// nothing else of a song is touched.
bool updateSongs(const QList<qint64>& ids, const QStringList& paths, const Progress& progress = {});

} // namespace tagging
