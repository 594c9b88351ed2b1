#include "playback/selectsong.h"

#include "base/random.h"
#include "data/adoconnector.h"
#include "data/song.h"
#include "songlist/songrows.h"

#include <cfenv>
#include <cmath>

int drawnRow(float r, int rows) {
    if (rows <= 1)
        return 0;
    // nearbyint rounds as the current mode says; make sure it is to even.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const int row = int(std::nearbyint(double(r * float(rows - 1))));
    std::fesetround(mode);
    return row;
}

namespace {
// The ID of a name through read `kind` (19 artists, 20 genres), or "1",
// the "none" entry, when the name is unknown.
QString idOfName(int kind, const QString& name) {
    Recordset rs;
    if (!gConnector->adoGetData(kind, rs, name) || rs.Eof())
        return QStringLiteral("1");
    return rs.text(QStringLiteral("ID"));
}
} // namespace

void fillSong(const Recordset& row, Song& song, bool programPlay) {
    song.setArtist(row.text(QStringLiteral("アーティスト名")));
    song.setBreakOut(row.text(QStringLiteral("ブレークアウト")));
    song.setJanl(songrows::genreText(row.text(QStringLiteral("ジャンル1")),
                                     row.text(QStringLiteral("ジャンル2")),
                                     row.text(QStringLiteral("ジャンル3"))));
    song.setCount(row.Field(QStringLiteral("カウント")).toInt());
    song.setFilePath(row.text(QStringLiteral("ファイルパス")));
    const QString id = row.text(QStringLiteral("ID"));
    song.setKeyString(programPlay ? songrows::keyOf(id) : id);
    song.setPriority(row.Field(QStringLiteral("優先度")).toInt());
    song.setTitle(row.text(QStringLiteral("タイトル")));
    song.setTrend(row.text(QStringLiteral("トレンド")));
    song.setVolume(row.Field(QStringLiteral("ボリューム補正")).toInt());
    // The rows carry names only; without their IDs, writing the play count
    // back would reset the song's genres and artist to "none".
    song.setArtistID(idOfName(19, song.Artist()));
    song.setJanlID_1(idOfName(20, row.text(QStringLiteral("ジャンル1"))));
    song.setJanlID_2(idOfName(20, row.text(QStringLiteral("ジャンル2"))));
    song.setJanlID_3(idOfName(20, row.text(QStringLiteral("ジャンル3"))));
}

bool SelectSong(const QString& setListName, QString& playMode, Song& song, QString& key) {
    key = key.mid(4);
    if (!key.isEmpty())
        playMode = kProgramPlay;
    Recordset rs;
    if (playMode == kProgramPlay) {
        if (gConnector->adoGetData(10, rs, key) && !rs.Eof())
            fillSong(rs, song, true);
        return true;
    }
    // Only the drawn row is read: a set list may hold 100,000 songs, and
    // this runs at every change of song.
    const QString query = QStringLiteral("Q_SetList_") + setListName;
    const int rows = gConnector->adoQueryRowCount(query);
    if (rows < 0)
        return true;
    if (rows == 0)
        return false;
    if (gConnector->adoGetQueryRow(query, drawRow(rows), rs) && !rs.Eof())
        fillSong(rs, song, false);
    return true;
}

int drawRow(int rows) {
    // Single precision below 1: 24 random bits over 2^24.
    const float r = float(songRandom().bounded(1u << 24)) / float(1u << 24);
    return drawnRow(r, rows);
}

bool readSong(qint64 id, Song& song) {
    Recordset rs;
    if (!gConnector->adoGetData(10, rs, QString::number(id)) || rs.Eof())
        return false;
    fillSong(rs, song, false);
    return true;
}

bool readSetListSongs(const QString& setListName, std::vector<SetListSong>& songs) {
    songs.clear();
    int idColumn = -1;
    int priorityColumn = -1;
    return gConnector->adoGetEachRow(
        3, QStringLiteral("Q_SetList_") + setListName, [&](const Recordset& row) {
            if (idColumn < 0) {
                idColumn = row.fieldIndex(QStringLiteral("ID"));
                priorityColumn = row.fieldIndex(QStringLiteral("優先度"));
            }
            qint64 id = 0;
            qint64 priority = 0;
            if (!row.integer(idColumn, id))
                return;
            row.integer(priorityColumn, priority);
            songs.push_back({id, int(priority)});
        });
}
