#include "playback/selectsong.h"

#include "base/random.h"
#include "data/adoconnector.h"
#include "data/schema.h"
#include "data/song.h"
#include "data/songrecord.h"

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

bool SelectSong(const QString& setListName, QString& playMode, Song& song, QString& key) {
    key = songrecord::idOfKey(key);
    if (!key.isEmpty())
        playMode = kProgramPlay;
    Recordset rs;
    if (playMode == kProgramPlay) {
        if (gConnector->adoGetData(Read::SongById, rs, key) && !rs.Eof())
            songrecord::fillSong(rs, song, true);
        return true;
    }
    // Only the drawn row is read: a set list may hold 100,000 songs, and
    // this runs at every change of song.
    const QString query = schema::setListQuery(setListName);
    const int rows = gConnector->adoQueryRowCount(query);
    if (rows < 0)
        return true;
    if (rows == 0)
        return false;
    if (gConnector->adoGetQueryRow(query, drawRow(rows), rs) && !rs.Eof())
        songrecord::fillSong(rs, song, false);
    return true;
}

int drawRow(int rows) {
    // Single precision below 1: 24 random bits over 2^24.
    const float r = float(songRandom().bounded(1u << 24)) / float(1u << 24);
    return drawnRow(r, rows);
}

bool readSong(qint64 id, Song& song) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::SongById, rs, QString::number(id)) || rs.Eof())
        return false;
    songrecord::fillSong(rs, song, false);
    return true;
}

bool readSetListSongs(const QString& setListName, std::vector<SetListSong>& songs) {
    songs.clear();
    int idColumn = -1;
    int priorityColumn = -1;
    return gConnector->adoGetEachRow(
        Read::StoredQuery, schema::setListQuery(setListName), [&](const Recordset& row) {
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
