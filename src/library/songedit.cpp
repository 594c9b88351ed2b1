#include "library/songedit.h"

#include "data/adoconnector.h"
#include "data/songrecord.h"
#include "songlist/songlist.h"

namespace songedit {

namespace {
const QString kNone = songrecord::noneName();
const QString kNoneKey = songrecord::keyOf(1); // the "指定無し" row of every genre table
} // namespace

bool readGenres(QList<Genre>& genres) {
    genres.clear();
    Recordset rs;
    if (!gConnector->adoGetData(Read::Genres, rs))
        return false;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString name = rs.text(QStringLiteral("ジャンル名"));
        if (name != kNone)
            genres.append({songrecord::keyOf(rs.text(QStringLiteral("ID"))), name});
    }
    return true;
}

bool readArtists(QStringList& names) {
    return gConnector->adoGetColumn(Read::Artists, QStringLiteral("アーティスト名"), names);
}

QList<bool> checkedGenres(const QString& janl, const QList<Genre>& genres) {
    QList<bool> checked(genres.size(), false);
    for (const QString& part : janl.split(u'/')) {
        for (qsizetype i = 0; i < genres.size(); ++i) {
            if (genres[i].name == part) {
                checked[i] = true;
                break;
            }
        }
    }
    return checked;
}

std::optional<bool> flagState(const QString& text) {
    if (text == u"True")
        return true;
    if (text == u"False")
        return false;
    return std::nullopt;
}

void writeBack(const Choices& c, Song& song) {
    song.setFilePath(c.filePath);
    song.setArtist(c.artist);
    Recordset rs;
    if (gConnector->adoGetData(Read::ArtistId, rs, c.artist) && !rs.Eof())
        song.setArtistID(rs.text(QStringLiteral("ID")));
    song.setTitle(c.title);
    QString keys[kMaxGenres] = {kNoneKey, kNoneKey, kNoneKey};
    QStringList names;
    for (const Genre& genre : c.checked.first(std::min<qsizetype>(c.checked.size(), kMaxGenres))) {
        keys[names.size()] = genre.key;
        names << genre.name;
    }
    song.setJanlID_1(keys[0]);
    song.setJanlID_2(keys[1]);
    song.setJanlID_3(keys[2]);
    song.setJanl(names.isEmpty() ? kNone : names.join(u'/'));
    song.setVolume(c.volume);
    song.setPriority(c.priority);
    song.setBreakOut(c.breakOut ? QStringLiteral("True") : QStringLiteral("False"));
    song.setTrend(c.trend ? QStringLiteral("True") : QStringLiteral("False"));
}

std::optional<Song> loadSong(const QString& key) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::SongById, rs, songrecord::idOfKey(key)) || rs.Eof())
        return std::nullopt;
    Song song;
    songrecord::fillSong(rs, song, false);
    // The editor matches each genre by name, so all three are named.
    song.setJanl(rs.text(QStringLiteral("ジャンル1")) + u'/' +
                 rs.text(QStringLiteral("ジャンル2")) + u'/' +
                 rs.text(QStringLiteral("ジャンル3")));
    return song;
}

bool saveSongs(const Song& edited, const QStringList& keys, bool bulk, std::vector<Song>& written,
               QStringList& removed, const std::function<bool(int done, int total)>& progress) {
    written.clear();
    written.reserve(size_t(keys.size()));
    removed.clear();
    ADO_Connector::BulkWrite change(*gConnector);
    bool ok = true;
    for (qsizetype i = 0; ok && i < keys.size(); ++i) {
        if (progress && !progress(int(i), int(keys.size()))) {
            ok = false;
            break;
        }
        Recordset rs;
        ok = gConnector->adoGetData(Read::SongById, rs, songrecord::idOfKey(keys[i]));
        if (ok && rs.Eof())
            removed << keys[i];
        if (!ok || rs.Eof())
            continue;
        Song song = edited;
        song.setKeyString(keys[i]);
        song.setCount(rs.Field(QStringLiteral("カウント")).toInt());
        if (bulk) {
            song.setTitle(rs.text(QStringLiteral("タイトル")));
            song.setFilePath(rs.text(QStringLiteral("ファイルパス")));
        }
        // The first failure ends the change; the guard undoes what ran.
        ok = gConnector->adoSetData(bulk ? Write::UpdateSongKeepPath : Write::UpdateSong,
                                    songrecord::songParams(song));
        written.push_back(std::move(song));
    }
    if (ok && change.commit())
        return true;
    written.clear();
    return false;
}

bool restoreRow(const QString& key, SongListModel& list) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::SongById, rs, songrecord::idOfKey(key)) || rs.Eof())
        return false;
    Song song;
    songrecord::fillSong(rs, song, false);
    lvSetSongItem(song, list, false);
    return true;
}

} // namespace songedit
