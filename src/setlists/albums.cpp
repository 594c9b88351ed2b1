#include "setlists/albums.h"

#include "base/textfold.h"
#include "data/adoconnector.h"
#include "data/songrecord.h"
#include "songlist/songlistmodel.h"

namespace albums {

bool readNames(QStringList& names) {
    return gConnector->adoGetColumn(Read::Albums, QStringLiteral("アルバム名"), names);
}

bool nameTaken(const QStringList& names, const QString& name, const QString& editing) {
    // Keeping the edited album's name is no clash, even with an older album
    // whose name differs from it only in case or width.
    if (!editing.isEmpty() && name == editing)
        return false;
    for (const QString& n : names) {
        if (n != editing && text::equalsFolded(n, name))
            return true;
    }
    return false;
}

bool appendSongs(const SongListModel& library, const QStringList& keys, SongListModel& album) {
    std::vector<SongListItem> rows;
    rows.reserve(size_t(keys.size()));
    bool complete = true;
    for (const QString& key : keys) {
        if (album.position(key) >= 0) {
            complete = false;
            break;
        }
        SongListItem row = library.item(key);
        if (!row.key.isEmpty())
            rows.push_back(std::move(row));
    }
    album.appendItems(std::move(rows));
    return complete;
}

bool moveSong(SongListModel& album, const QString& key, int by) {
    const int from = album.position(key);
    return from >= 0 && album.moveItem(from, from + by);
}

int okMessage(const QString& name, int songCount, bool nameTaken) {
    if (name.isEmpty())
        return 4;
    if (songCount == 0)
        return 5;
    if (nameTaken)
        return 7;
    return 0;
}

QStringList songIds(const SongListModel& album) {
    QStringList ids;
    for (int i = 0; i < album.count(); ++i)
        ids << songrecord::idOfKey(album.keyAt(i));
    return ids;
}

bool save(const QString& oldName, const QString& name, const QStringList& songIds,
          const std::function<bool(int done, int total)>& progress) {
    ADO_Connector::BulkWrite bulk(*gConnector);
    if (!oldName.isEmpty() && !gConnector->adoSetData(Write::DeleteAlbum, {oldName}))
        return false;
    const int total = int(songIds.size());
    QStringList params = {name, QString(), QString()};
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total))
            return false;
        params[1] = songIds[i];
        params[2] = QString::number(i + 1);
        if (!gConnector->adoSetData(Write::AddAlbumSong, params))
            return false;
    }
    return bulk.commit();
}

bool remove(const QString& name) {
    return gConnector->adoSetData(Write::DeleteAlbum, {name});
}

} // namespace albums
