#include "library/tagging.h"

#include "base/filehelpers.h"
#include "data/adoconnector.h"
#include "data/requests.h"
#include "library/songnames.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

namespace tagging {

namespace {

// Files read between two progress reports: small enough for a cancel to
// answer at once, large enough to keep every core busy.
constexpr int kReadBatch = 256;
// Rows written between two progress reports.
constexpr int kWriteStep = 500;

bool report(const Progress& progress, int done, int offset, int total) {
    return !progress || progress(offset + done, total);
}

// The IDs written for a song's tags: title text, three genre IDs and the
// artist ID; genres beyond the tags' are "指定無し". False when a name
// could not be added.
struct Row {
    qint64 genres[tagreader::kMaxGenres] = {SongNames::kNone, SongNames::kNone, SongNames::kNone};
    qint64 artist = SongNames::kNone;
};

bool rowOf(SongNames& names, const SongTags& tags, Row& row) {
    for (int i = 0; i < tags.genres.size() && i < tagreader::kMaxGenres; ++i) {
        row.genres[i] = names.genreId(tags.genres[i]);
        if (row.genres[i] == 0)
            return false;
    }
    row.artist = names.artistId(tags.artist);
    return row.artist != 0;
}

QString number(qint64 n) {
    return QString::number(n);
}

} // namespace

bool readAll(const QStringList& paths, QList<SongTags>& tags, const Progress& progress, int offset,
             int total) {
    const int count = int(paths.size());
    if (total < 0)
        total = count;
    tags = QList<SongTags>(count);
    SongTags* out = tags.data(); // each thread fills its own elements
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    for (int start = 0; start < count; start += kReadBatch) {
        if (!report(progress, start, offset, total))
            return false;
        QList<int> batch(qMin(kReadBatch, count - start));
        std::iota(batch.begin(), batch.end(), start);
        QtConcurrent::blockingMap(&pool, batch, [&](int i) { out[i] = tagreader::read(paths[i]); });
    }
    return report(progress, count, offset, total);
}

namespace {

// One bulk write, all or nothing, of `count` songs: `writeOne` writes song
// i with the row of names its tags resolve to. The first failure has shown
// its box; going on would only show the same box again for every song.
bool writeEach(int count, const QList<SongTags>& tags, const Progress& progress, int offset,
               int total,
               const std::function<bool(int i, const SongTags& song, const Row& row)>& writeOne) {
    if (total < 0)
        total = count;
    ADO_Connector::BulkWrite bulk(*gConnector);
    SongNames names;
    if (!names.load())
        return false;
    for (int i = 0; i < count; ++i) {
        if (i % kWriteStep == 0 && !report(progress, i, offset, total))
            return false;
        const SongTags& song = tags.value(i);
        Row row;
        if (!rowOf(names, song, row) || !writeOne(i, song, row))
            return false;
    }
    return report(progress, count, offset, total) && bulk.commit();
}

} // namespace

bool insertSongs(const QStringList& paths, const QList<SongTags>& tags, const Progress& progress,
                 int offset, int total) {
    return writeEach(int(paths.size()), tags, progress, offset, total,
                     [&paths](int i, const SongTags& song, const Row& row) {
                         return gConnector->adoSetData(
                             Write::InsertTaggedSong,
                             {paths[i], song.title.isEmpty() ? GetFileTitle(paths[i]) : song.title,
                              number(row.genres[0]), number(row.genres[1]), number(row.genres[2]),
                              number(row.artist)});
                     });
}

bool updateSongs(const QList<qint64>& ids, const QList<SongTags>& tags, const Progress& progress,
                 int offset, int total) {
    return writeEach(int(ids.size()), tags, progress, offset, total,
                     [&ids](int i, const SongTags& song, const Row& row) {
                         // 0 keeps a column: genres only when the tags name
                         // any, the artist only when they name one.
                         const bool genres = !song.genres.isEmpty();
                         const auto keep = [](bool given, qint64 id) {
                             return number(given ? id : 0);
                         };
                         return gConnector->adoSetData(
                             Write::UpdateTaggedSong,
                             {song.title, keep(genres, row.genres[0]), keep(genres, row.genres[1]),
                              keep(genres, row.genres[2]), keep(!song.artist.isEmpty(), row.artist),
                              number(ids[i])});
                     });
}

} // namespace tagging
