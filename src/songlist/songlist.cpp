#include "songlist/songlist.h"

#include "base/textfold.h"
#include "data/adoconnector.h"
#include "data/schema.h"
#include "data/song.h"
#include "data/songrecord.h"
#include "songlist/songlistmodel.h"
#include "songlist/songrows.h"

QString gLastKey;

void lvResetLastKey() {
    gLastKey.clear();
}

void lvSetLastKey(const QString& key) {
    gLastKey = key;
}

bool lvGetNextKey(const SongListModel& list, QString& key) {
    int wanted = 0;
    if (!gLastKey.isEmpty()) {
        // A song hidden by the filter still marks the place to go on from.
        wanted = list.positionAfter(gLastKey);
        if (wanted < 0)
            return false;
    }
    if (wanted >= list.count())
        return false;
    key = list.keyAt(wanted);
    return true;
}

bool lvSetSongList(int mode, const QString& name, SongListModel& list) {
    songrows::RowBuilder rows(list.captions());
    const auto add = [&rows](const Recordset& row) { rows.add(row); };
    // Rows are made here while the next ones are read.
    const bool read = mode == 1 ? gConnector->adoGetEachRowAhead(Read::AlbumSongs, name, add)
                                : gConnector->adoGetEachRowAhead(Read::StoredQuery,
                                                                 schema::setListQuery(name), add);
    if (!read)
        return false;
    list.setRows(rows.take());
    return true;
}

void lvSortList(SongListModel& list, int column) {
    int key = list.sortKey();
    int order = list.sortOrder();
    if (column != -1) {
        order = order == 0 ? 1 : 0;
        if (column >= 0 && column < list.captions().size())
            key = column;
        list.setSort(true, key, order);
        return;
    }
    Recordset rs;
    if (gConnector->adoGetData(Read::SortSettings, rs)) {
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString value = rs.text(QStringLiteral("設定値"));
            if (text::equalsFolded(rs.text(QStringLiteral("設定情報")),
                                   QStringLiteral("ソート種別"))) {
                // The stored pairing: "昇順" restores order 1, "降順" order 0.
                if (value == u"昇順")
                    order = 1;
                else if (value == u"降順")
                    order = 0;
            } else {
                bool ok = false;
                const int n = value.trimmed().toShort(&ok);
                if (ok && n >= 0 && n < list.captions().size())
                    key = n;
            }
        }
    }
    list.setSort(true, key, order);
}

namespace {
// The columns a rewrite leaves alone.
QList<int> skippedColumns(const SongListModel& list, bool skipTitleAndPath) {
    QList<int> skip;
    if (skipTitleAndPath) {
        for (int c = 0; c < list.captions().size(); ++c) {
            const songrows::Cell cell = songrows::cellOf(list.captions()[c]);
            if (cell == songrows::Cell::Title || cell == songrows::Cell::FilePath)
                skip << c;
        }
    }
    return skip;
}
} // namespace

void lvSetSongItem(const Song& song, SongListModel& list, bool skipTitleAndPath) {
    list.setCells(songrecord::listKey(song.KeyString()),
                  songrows::cellsOfSong(song, list.captions()),
                  skippedColumns(list, skipTitleAndPath));
}

void lvSetSongItems(const std::vector<Song>& songs, SongListModel& list, bool skipTitleAndPath) {
    const QList<songrows::Cell> columns = songrows::cellsOf(list.captions());
    std::vector<std::pair<QString, QStringList>> rows;
    rows.reserve(songs.size());
    for (const Song& song : songs)
        rows.emplace_back(songrecord::listKey(song.KeyString()),
                          songrows::cellsOfSong(song, columns));
    list.setCellsOfRows(rows, skippedColumns(list, skipTitleAndPath));
}
