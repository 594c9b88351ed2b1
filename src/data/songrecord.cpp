#include "data/songrecord.h"

#include "base/textfold.h"
#include "data/adoconnector.h"
#include "data/song.h"

#include <charconv>

namespace songrecord {

namespace {

const QString kKeyPrefix = QStringLiteral("Key_");
const QString kNone = QStringLiteral("指定無し");

// The ID of a name through read `kind` (19 artists, 20 genres), or "1",
// the "none" entry, when the name is unknown.
QString idOfName(int kind, const QString& name) {
    Recordset rs;
    if (!gConnector->adoGetData(kind, rs, name) || rs.Eof())
        return QStringLiteral("1");
    return rs.text(QStringLiteral("ID"));
}

QString yesNo(const QString& flag) {
    return flag.compare(u"True", Qt::CaseInsensitive) == 0 ? QStringLiteral("Yes")
                                                           : QStringLiteral("No");
}

} // namespace

QString keyOf(const QString& id) {
    return kKeyPrefix + id;
}

QString keyOf(qint64 id) {
    QString key(kKeyUnits, Qt::Uninitialized);
    key.truncate(writeKey(key.data(), id) - key.constData());
    return key;
}

QChar* writeKey(QChar* out, qint64 id) {
    char digits[kKeyUnits];
    const char* end = std::to_chars(digits, digits + sizeof digits, id).ptr;
    for (QChar c : kKeyPrefix)
        *out++ = c;
    for (const char* d = digits; d < end; ++d)
        *out++ = QLatin1Char(*d);
    return out;
}

bool isKey(const QString& key) {
    return key.startsWith(kKeyPrefix);
}

QString listKey(const QString& key) {
    return isKey(key) ? key : keyOf(key);
}

QString idOfKey(const QString& key) {
    return isKey(key) ? key.mid(kKeyPrefix.size()) : key;
}

QString noneName() {
    return kNone;
}

bool NoneCheck::operator()(const QString& name) {
    if (name == kNone)
        return true;
    const auto found = known_.constFind(name);
    if (found != known_.constEnd())
        return *found;
    const bool none = text::equalsFolded(name, kNone);
    known_.insert(name, none);
    return none;
}

QString genreText(const QString& g1, const QString& g2, const QString& g3) {
    NoneCheck isNone;
    const QString* names[] = {&g1, &g2, &g3};
    QString text;
    writeGenres(
        text, [&](int g) { return isNone(*names[g]); }, [&](int g) { text += *names[g]; });
    return text;
}

void fillSong(const Recordset& row, Song& song, bool programPlay) {
    song.setArtist(row.text(QStringLiteral("アーティスト名")));
    song.setBreakOut(row.text(QStringLiteral("ブレークアウト")));
    song.setJanl(genreText(row.text(QStringLiteral("ジャンル1")),
                           row.text(QStringLiteral("ジャンル2")),
                           row.text(QStringLiteral("ジャンル3"))));
    song.setCount(row.Field(QStringLiteral("カウント")).toInt());
    song.setFilePath(row.text(QStringLiteral("ファイルパス")));
    const QString id = row.text(QStringLiteral("ID"));
    song.setKeyString(programPlay ? keyOf(id) : id);
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

QStringList songParams(const Song& song) {
    return {song.FilePath(),
            song.Title(),
            QString::number(song.Priority()),
            idOfKey(song.JanlID_1()),
            idOfKey(song.JanlID_2()),
            idOfKey(song.JanlID_3()),
            song.ArtistID(),
            yesNo(song.BreakOut()),
            yesNo(song.Trend()),
            QString::number(song.Volume()),
            idOfKey(song.KeyString()),
            QString::number(song.Count())};
}

} // namespace songrecord
