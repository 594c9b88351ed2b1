#include "library/libraryfiles.h"

#include "base/messagecatalogue.h"
#include "data/adoconnector.h"
#include "data/songrecord.h"
#include "songlist/songlistmodel.h"

namespace {
// Songs deleted between two progress reports.
constexpr int kProgressStep = 500;

// A row of the one-column list, built without a list of cells.
SongListItem itemOf(const QString& key, const QString& path) {
    SongListItem item;
    item.key = key;
    item.appendCell(path);
    return item;
}
} // namespace

LibraryFiles::LibraryFiles(SongListModel& list) : list_(list) {}

int LibraryFiles::pendingCount() const {
    return list_.count() - loadCount_;
}

bool LibraryFiles::load() {
    std::vector<SongListItem> items;
    int id = -1;
    int path = -1;
    const bool read =
        gConnector->adoGetEachRow(Read::FilePaths, QString(), [&](const Recordset& row) {
            if (id < 0) {
                id = row.fieldIndex(QStringLiteral("ID"));
                path = row.fieldIndex(QStringLiteral("ファイルパス"));
            }
            qint64 songId = 0;
            row.integer(id, songId);
            items.push_back(itemOf(songrecord::keyOf(songId), row.text(path)));
        });
    if (read) {
        list_.setItems(std::move(items));
        paths_.clear();
        pathsKnown_ = false;
    }
    loadCount_ = list_.count();
    return read;
}

void LibraryFiles::rememberListedPaths() {
    if (pathsKnown_)
        return;
    paths_.reserve(list_.count());
    for (int row = 0; row < list_.count(); ++row)
        paths_.insert(list_.cell(list_.keyAt(row), 0));
    pathsKnown_ = true;
}

int LibraryFiles::append(const QStringList& paths) {
    rememberListedPaths();
    std::vector<SongListItem> items;
    items.reserve(size_t(paths.size()));
    bool duplicate = false;
    for (const QString& path : paths) {
        if (paths_.contains(path)) {
            duplicate = true;
            continue;
        }
        paths_.insert(path);
        items.push_back(itemOf(path, path));
    }
    const int added = list_.appendItems(std::move(items));
    if (duplicate)
        ShowMessage(Msg::FilesAlreadyListed, 0);
    return added;
}

QStringList LibraryFiles::pendingPaths() const {
    QStringList paths;
    paths.reserve(pendingCount());
    // A pending file's key is its path.
    for (int row = loadCount_; row < list_.count(); ++row)
        paths << list_.keyAt(row);
    return paths;
}

bool LibraryFiles::registerFiles(const QStringList& paths, const Progress& progress) {
    const int total = 2 * int(paths.size());
    QList<SongTags> tags;
    return tagging::readAll(paths, tags, progress, 0, total) &&
           tagging::insertSongs(paths, tags, progress, int(paths.size()), total);
}

void LibraryFiles::markRegistered(int count) {
    if (count <= 0)
        return;
    registed_ = true;
    loadCount_ = qMin(loadCount_ + count, list_.count());
}

bool LibraryFiles::registerPending(const Progress& progress) {
    const QStringList paths = pendingPaths();
    if (paths.isEmpty())
        return true;
    if (!registerFiles(paths, progress))
        return false;
    markRegistered(int(paths.size()));
    return true;
}

void LibraryFiles::registeredSongs(const QStringList& keys, QList<qint64>& ids,
                                   QStringList& paths) const {
    for (const QString& key : keys) {
        bool ok = false;
        const qint64 id = songrecord::isKey(key) ? songrecord::idOfKey(key).toLongLong(&ok) : 0;
        if (ok) {
            ids << id;
            paths << list_.cell(key, 0);
        }
    }
}

bool LibraryFiles::rereadTags(const QList<qint64>& ids, const QStringList& paths,
                              const Progress& progress) {
    const int total = 2 * int(ids.size());
    QList<SongTags> tags;
    return tagging::readAll(paths, tags, progress, 0, total) &&
           tagging::updateSongs(ids, tags, progress, int(ids.size()), total);
}

bool LibraryFiles::deleteSongs(const QStringList& keys, const Runner& run) {
    registed_ = true;
    // Touches the database only, so it may run on a worker thread.
    const auto write = [&keys](const Progress& progress) {
        const int total = int(keys.size());
        ADO_Connector::BulkWrite bulk(*gConnector);
        for (int i = 0; i < total; ++i) {
            if (progress && i % kProgressStep == 0 && !progress(i, total))
                return false;
            const QString& key = keys[i];
            if (songrecord::isKey(key) &&
                !gConnector->adoSetData(Write::DeleteSong, {songrecord::idOfKey(key)}))
                return false;
        }
        if (progress && !progress(total, total))
            return false;
        return bulk.commit();
    };
    const bool ok = run ? run(write) : write({});
    load();
    return ok;
}
