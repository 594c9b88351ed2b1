#include "library/tagging.h"

#include "base/filehelpers.h"
#include "data/adoconnector.h"
#include "data/requests.h"
#include "library/songnames.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <numeric>
#include <vector>

namespace tagging {

namespace {

// Songs read, and then written, between two progress reports: small
// enough for a cancel to answer at once, large enough to keep every core
// busy.
constexpr int kBatch = 256;

// The IDs written for a song's tags: three genre IDs and the artist ID;
// genres beyond the tags' are "指定無し". False when a name could not be
// added.
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

// Reads the tags of one batch of files on the pool while the caller
// writes the batch before; always waits for the reading still under way
// before it goes.
class Reader {
public:
    Reader(const QStringList& paths, bool read)
        : paths_(paths), tags_(read ? paths.size() : 0), out_(read ? tags_.data() : nullptr),
          order_(read ? paths.size() : 0) {
        std::iota(order_.begin(), order_.end(), 0);
        pool_.setMaxThreadCount(QThread::idealThreadCount());
    }
    ~Reader() {
        reading_.cancel();
        reading_.waitForFinished();
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Starts reading the batch from `start` on.
    void start(int start) {
        if (start >= int(order_.size()))
            return;
        const auto begin = order_.begin() + start;
        const auto end = order_.begin() + qMin(start + kBatch, int(order_.size()));
        reading_ = QtConcurrent::map(&pool_, begin, end,
                                     [this](int i) { out_[i] = tagreader::read(paths_[i]); });
    }
    // The tags of the batch started last, once read; each song's are taken
    // once, by the writer.
    void wait() { reading_.waitForFinished(); }
    SongTags take(int i) { return out_ ? std::move(out_[i]) : SongTags(); }

private:
    const QStringList& paths_;
    QList<SongTags> tags_;
    SongTags* out_; // each thread fills its own elements; null when not read
    std::vector<int> order_;
    QThreadPool pool_;
    QFuture<void> reading_;
};

// One bulk write, all or nothing, of the songs of `paths`: `writeOne`
// writes song i with the row of names its tags resolve to. The first
// failure has shown its box; going on would only show the same box again
// for every song.
bool writeEach(const QStringList& paths, const Progress& progress, Tags tags,
               const std::function<bool(int i, const SongTags& song, const Row& row)>& writeOne) {
    const int count = int(paths.size());
    ADO_Connector::BulkWrite bulk(*gConnector);
    SongNames names;
    if (!names.load())
        return false;
    Reader reader(paths, tags == Tags::Read);
    reader.start(0);
    for (int start = 0; start < count; start += kBatch) {
        reader.wait();
        reader.start(start + kBatch); // read on while this batch is written
        if (progress && !progress(start, count))
            return false;
        for (int i = start; i < qMin(start + kBatch, count); ++i) {
            const SongTags song = reader.take(i);
            Row row;
            if (!rowOf(names, song, row) || !writeOne(i, song, row))
                return false;
        }
    }
    return (!progress || progress(count, count)) && bulk.commit();
}

} // namespace

bool insertSongs(const QStringList& paths, const Progress& progress, Tags tags) {
    return writeEach(paths, progress, tags, [&paths](int i, const SongTags& song, const Row& row) {
        return gConnector->adoSetData(Write::InsertTaggedSong,
                                      {paths[i],
                                       song.title.isEmpty() ? GetFileTitle(paths[i]) : song.title,
                                       number(row.genres[0]), number(row.genres[1]),
                                       number(row.genres[2]), number(row.artist)});
    });
}

bool updateSongs(const QList<qint64>& ids, const QStringList& paths, const Progress& progress) {
    return writeEach(
        paths, progress, Tags::Read, [&ids](int i, const SongTags& song, const Row& row) {
            // 0 keeps a column: genres only when the tags name
            // any, the artist only when they name one.
            const bool genres = !song.genres.isEmpty();
            const auto keep = [](bool given, qint64 id) { return number(given ? id : 0); };
            return gConnector->adoSetData(Write::UpdateTaggedSong,
                                          {song.title, keep(genres, row.genres[0]),
                                           keep(genres, row.genres[1]), keep(genres, row.genres[2]),
                                           keep(!song.artist.isEmpty(), row.artist),
                                           number(ids[i])});
        });
}

} // namespace tagging
