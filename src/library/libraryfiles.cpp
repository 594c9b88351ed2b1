#include "library/libraryfiles.h"

#include "base/filehelpers.h"
#include "base/messagecatalogue.h"
#include "data/adoconnector.h"
#include "songlist/songlistmodel.h"
#include "songlist/songrows.h"

namespace {
constexpr int kProgressStep = 500;
const QString kKeyPrefix = QStringLiteral("Key_");

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
    const bool read = gConnector->adoGetEachRow(16, QString(), [&](const Recordset& row) {
        if (id < 0) {
            id = row.fieldIndex(QStringLiteral("ID"));
            path = row.fieldIndex(QStringLiteral("ファイルパス"));
        }
        qint64 songId = 0;
        row.integer(id, songId);
        items.push_back(itemOf(songrows::keyOf(songId), row.text(path)));
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
        ShowMessage(8, 0);
    return added;
}

bool LibraryFiles::registerPending(const Progress& progress) {
    const int total = pendingCount();
    if (total <= 0)
        return true;
    {
        ADO_Connector::BulkWrite bulk(*gConnector);
        for (int i = 0; i < total; ++i) {
            if (progress && i % kProgressStep == 0 && !progress(i, total))
                return false;
            // A pending file's key is its path.
            const QString path = list_.keyAt(loadCount_ + i);
            // The first failure has shown its box; going on would only
            // show the same box again for every file.
            if (!gConnector->adoSetData(31, {path, GetFileTitle(path)}))
                return false;
        }
        if (progress && !progress(total, total))
            return false;
        if (!bulk.commit())
            return false;
    }
    registed_ = true;
    loadCount_ = list_.count();
    return true;
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
            if (key.startsWith(kKeyPrefix) &&
                !gConnector->adoSetData(54, {key.mid(kKeyPrefix.size())}))
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
