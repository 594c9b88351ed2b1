// Songs named by their files' tags: the legacy text rule, the MIDI name
// reader, genre values as names, the tags read from files written by
// TagLib and from raw bytes, and the rows that registering and re-reading
// them write into a real library.

#include "audiofiles.h"
#include "diskfiles.h"
#include "library/legacytext.h"
#include "library/libraryfiles.h"
#include "library/midiname.h"
#include "library/tagreader.h"
#include "librarytest.h"
#include "songlist/songlistmodel.h"
#include "taggedfiles.h"

#include <QTemporaryDir>

#include <sys/stat.h>

using taggedfiles::Fields;
using taggedfiles::Text;

namespace {

QByteArray hex(const char* digits) {
    return QByteArray::fromHex(digits);
}

// Shift-JIS (CP932) bytes of a few Japanese texts.
const QByteArray kSakura = hex("82b382ad82e7");         // さくら
const QByteArray kYamada = hex("8e529363");             // 山田
const QByteArray kPops = hex("837c836283768358");       // ポップス
const QByteArray kHyouji = hex("955c8ea6");             // 表示: a trail byte is "\"
const QByteArray kYoruni = hex("96e982c98bec82af82e9"); // 夜に駆ける
const QByteArray kEnka = hex("898989cc");               // 演歌

// What tags say, as "title|artist|genre/genre".
QString shown(const SongTags& tags) {
    return tags.title + u'|' + tags.artist + u'|' + tags.genres.join(u'/');
}

} // namespace

class TestTagReader : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    ScriptedPresenter presenter_;

    QString path(const QString& name) const { return dir_.path() + QStringLiteral("/") + name; }

    // Every song as "title|artist|genre1/genre2/genre3" in ID order, with
    // "-" for "指定無し".
    static QStringList songRows(TempLibrary& lib) {
        return librarytest::rows(
                   lib, QStringLiteral(
                            "SELECT s.タイトル || '|' || a.アーティスト名 || '|' || g1.ジャンル名"
                            " || '/' || g2.ジャンル名 || '/' || g3.ジャンル名"
                            " FROM TM_曲情報 s JOIN TM_アーティスト a ON s.アーティストID = a.ID"
                            " JOIN TM_ジャンル_1 g1 ON s.ジャンルID1 = g1.ID"
                            " JOIN TM_ジャンル_2 g2 ON s.ジャンルID2 = g2.ID"
                            " JOIN TM_ジャンル_3 g3 ON s.ジャンルID3 = g3.ID ORDER BY s.ID"))
            .replaceInStrings(QStringLiteral("指定無し"), QStringLiteral("-"));
    }

    // The files of the tag table, each written the way its row says.
    bool writeFile(const QString& name) {
        const QString p = path(QStringLiteral("files/") + name);
        const auto raw = [&](const QByteArray& bytes) { return diskfiles::write(p, bytes); };
        const QByteArray mp3 = taggedfiles::silentMp3();
        if (name == QStringLiteral("v23 utf16.mp3"))
            return taggedfiles::writeMp3(p,
                                         {QStringLiteral("夜に駆ける"),
                                          QStringLiteral("ＹＯＡＳＯＢＩ"),
                                          {QStringLiteral("J-Pop")}},
                                         3, Text::Utf16);
        if (name == QStringLiteral("v24 utf8.mp3"))
            return taggedfiles::writeMp3(p,
                                         {QStringLiteral("Ünïcödé ☆"),
                                          QStringLiteral("Björk"),
                                          {QStringLiteral("Drum/Bass"), QStringLiteral("Jazz;Soul"),
                                           QStringLiteral("Funk")}},
                                         4, Text::Utf8);
        if (name == QStringLiteral("v23 latin1.mp3"))
            return taggedfiles::writeMp3(
                p, {QStringLiteral("Café"), QStringLiteral("Noël"), {QStringLiteral("(17)")}}, 3,
                Text::Latin1);
        if (name == QStringLiteral("v24 numeric.mp3"))
            return taggedfiles::writeMp3(
                p,
                {QStringLiteral("Numbers"),
                 QStringLiteral(""),
                 {QStringLiteral("17"), QStringLiteral("8"), QStringLiteral("Rock")}},
                4, Text::Utf8);
        if (name == QStringLiteral("v23 cp932.mp3"))
            return raw(taggedfiles::id3v23Latin1(
                           {{"TIT2", kSakura}, {"TPE1", kYamada}, {"TCON", kPops + ";" + kEnka}}) +
                       mp3);
        if (name == QStringLiteral("v23 pokemon.mp3"))
            return raw(taggedfiles::id3v23Latin1({{"TIT2", "Pok\xE9mon"}}) + mp3);
        if (name == QStringLiteral("v1 cp932.mp3"))
            return raw(mp3 + taggedfiles::id3v1(kYoruni, kHyouji, 8));
        if (name == QStringLiteral("v1 latin1.mp3"))
            return raw(mp3 + taggedfiles::id3v1("Cr\xE8me br\xFBl\xE9\x65", "Mot\xF6rhead", 17));
        if (name == QStringLiteral("v2 over v1.mp3")) // the ID3v2 title wins; ID3v1 fills the rest
            return raw(taggedfiles::id3v23Latin1({{"TIT2", "Two"}}) + mp3 +
                       taggedfiles::id3v1("One", "Artist One", 8));
        // An APE tag before the ID3v1 tag: trusted after ID3v2, before
        // ID3v1; alone, after audio without an ID3v2 tag.
        if (name == QStringLiteral("v2 ape v1.mp3"))
            return raw(taggedfiles::id3v23Latin1({{"TIT2", "Two"}}) + mp3 +
                       taggedfiles::id3v1("One", "Artist One", 8)) &&
                   taggedfiles::tagApe(
                       p, {QString(), QStringLiteral("Ape Artist"), {QStringLiteral("Soul")}});
        if (name == QStringLiteral("ape.mp3"))
            return raw(mp3) && taggedfiles::tagApe(p, {QStringLiteral("Ape"),
                                                       QStringLiteral("Ape Artist"),
                                                       {QStringLiteral("Soul; Funk")}});
        if (name == QStringLiteral("info.wav"))
            return audiofiles::writeWav(p, 0.1) && taggedfiles::tagWav(p,
                                                                       {QStringLiteral("Morning"),
                                                                        QStringLiteral("Trio"),
                                                                        {QStringLiteral("Jazz")}},
                                                                       false);
        // TagLib writes INFO text as UTF-8: CP932 bytes replace ASCII
        // placeholders of the same length.
        if (name == QStringLiteral("info cp932.wav")) {
            if (!audiofiles::writeWav(p, 0.1) ||
                !taggedfiles::tagWav(p, {QStringLiteral("@@@@@@"), QStringLiteral("####"), {}},
                                     false))
                return false;
            return raw(diskfiles::read(p).replace("@@@@@@", kSakura).replace("####", kYamada));
        }
        if (name == QStringLiteral("id3.wav")) // the ID3 chunk before RIFF INFO
            return audiofiles::writeWav(p, 0.1) &&
                   taggedfiles::tagWav(
                       p, {QStringLiteral("Evening"), QStringLiteral(""), {QStringLiteral("Soul")}},
                       true) &&
                   taggedfiles::tagWav(p,
                                       {QStringLiteral("Morning"),
                                        QStringLiteral("Trio"),
                                        {QStringLiteral("Jazz")}},
                                       false);
        if (name == QStringLiteral("id3.aiff"))
            return audiofiles::writeAiff(p, 0.1) &&
                   taggedfiles::tagAiff(p, {QStringLiteral("ジャズ・トリオ"),
                                            QStringLiteral("山田"),
                                            {QStringLiteral("Jazz"), QStringLiteral("演歌")}});
        if (name == QStringLiteral("cp932.mid"))
            return raw(taggedfiles::midi(kSakura));
        if (name == QStringLiteral("ascii.MIDI"))
            return raw(taggedfiles::midi("Song of MIDI"));
        // Tags read past the first window: a tag longer than the window,
        // one ending just past it, and an ID3v1 tag far behind both.
        if (name == QStringLiteral("long tag.mp3"))
            return raw(
                taggedfiles::id3v23Latin1({{"PRIV", QByteArray(40000, 'p')}, {"TIT2", "Long"}}) +
                mp3 + QByteArray(40000, '\0') + taggedfiles::id3v1("One", "Far", 8));
        if (name == QStringLiteral("window edge.mp3")) // the tag's body: 16,376 bytes from byte 10
            return raw(
                taggedfiles::id3v23Latin1({{"PRIV", QByteArray(16350, 'p')}, {"TIT2", "Edge"}}) +
                mp3);
        if (name == QStringLiteral("no tag.mp3"))
            return raw(mp3);
        // A tag and a frame claiming far more than the file holds.
        if (name == QStringLiteral("truncated.mp3"))
            return raw(QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7FTIT2\x7F\xFF\xFF\xFF\x00\x00\x00"
                                  "Half",
                                  22));
        // UTF-16 without a byte-order mark and cut in a character, and a
        // title far longer than any needs.
        if (name == QStringLiteral("hostile.mp3")) {
            const QByteArray bad("TIT2\x00\x00\x00\x04\x00\x00\x01\xFF\xFE\x41", 14);
            const QByteArray tag = taggedfiles::id3v23Latin1({{"TPE1", QByteArray(300, 'x')}});
            return raw(tag.left(6) + QByteArray("\x00\x00\x02\x45", 4) + tag.mid(10) + bad + mp3);
        }
        return false;
    }

private slots:
    void init() { presenter_.clear(); }

    // The rule for text declared Latin-1 or not declared at all.
    void legacyText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Hello") << "Hello";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("latin-1 Café") << QByteArray("Caf\xE9") << "Café";
        QTest::newRow("latin-1 Noël") << QByteArray("No\xEBl") << "Noël";
        // Valid CP932 (E9 6D), but no byte a Latin-1 text never holds.
        QTest::newRow("latin-1 Pokémon") << QByteArray("Pok\xE9mon") << "Pokémon";
        QTest::newRow("cp932 kana") << kSakura << "さくら";
        QTest::newRow("cp932 with ascii") << "AB " + kSakura + "!"
                                          << "AB さくら!";
        QTest::newRow("cp932 trail byte 5C") << kHyouji << "表示";
        QTest::newRow("cp932 level-2 kanji") << hex("e09f") << "燹";
        // The rule's one miss: level-2 kanji whose bytes avoid 80-9F.
        QTest::newRow("cp932 level-2 kanji read as latin-1") << hex("e0a0") << "à\u00A0";
        QTest::newRow("utf-8") << QStringLiteral("さくら").toUtf8() << "さくら";
        QTest::newRow("utf-8 latin") << QStringLiteral("Café").toUtf8() << "Café";
        // No double-byte character: Latin-1, as the rule says.
        QTest::newRow("half-width kana only") << hex("c3bdc4") << "Ã½Ä";
        QTest::newRow("lead byte at the end") << hex("82b382") << "\u0082³\u0082";
        QTest::newRow("user-defined area") << hex("f04082a0") << "ð@\u0082\u00A0";
        QTest::newRow("unassigned pair") << hex("8540") << "\u0085@";
    }
    void legacyText() {
        QFETCH(QByteArray, bytes);
        QTEST(legacytext::decode(bytes), "text");
    }

    // The first FF 03 of the first track; lengths are never trusted.
    void midiName_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("name");
        const QByteArray header("MThd\x00\x00\x00\x06\x00\x01\x00\x02\x00\x60", 14);
        const auto track = [](const QByteArray& events) {
            const int n = int(events.size());
            const char size[] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
            return "MTrk" + QByteArray(size, 4) + events;
        };
        const QByteArray end("\x00\xFF\x2F\x00", 4);
        QTest::newRow("ascii") << taggedfiles::midi("Prelude") << QByteArray("Prelude");
        QTest::newRow("cp932") << taggedfiles::midi(kSakura) << kSakura;
        QTest::newRow("after other events, running status")
            << header +
                   track(QByteArray("\x00\xFF\x51\x03\x07\xA1\x20\x00\x90\x3C\x64\x10\x3E\x64"
                                    "\x00\xF0\x02\x7E\xF7\x00\xFF\x03\x04Late",
                                    29) +
                         end) +
                   track(QByteArray("\x00\xFF\x03\x05Other", 9) + end)
            << QByteArray("Late");
        QTest::newRow("only the first track")
            << header + track(end) + track(QByteArray("\x00\xFF\x03\x05Other", 9) + end)
            << QByteArray();
        QTest::newRow("unknown chunk first")
            << header + "XTRA" + QByteArray("\x00\x00\x00\x02zz", 6) +
                   track(QByteArray("\x00\xFF\x03\x02Hi", 6))
            << QByteArray("Hi");
        QTest::newRow("track cut short") << header + "MTrk" +
                                                QByteArray("\x7F\xFF\xFF\xFF\x00\xFF\x03\x03"
                                                           "Cut\x00\x90",
                                                           13)
                                         << QByteArray("Cut");
        QTest::newRow("name longer than the track")
            << header + track(QByteArray("\x00\xFF\x03\x8F\xFF\xFF\x7FName", 11)) << QByteArray();
        QTest::newRow("header length past the end")
            << QByteArray("MThd\xFF\xFF\xFF\xF0\x00\x01", 10) << QByteArray();
        QTest::newRow("header too short") << QByteArray("MThd\x00\x00\x00\x02\x00\x01", 10) +
                                                 track(QByteArray("\x00\xFF\x03\x01X", 5))
                                          << QByteArray();
        QTest::newRow("chunk length past the end")
            << header + "XTRA" + QByteArray("\xFF\xFF\xFF\xFFzz", 6) << QByteArray();
        QTest::newRow("endless delta time")
            << header + track(QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF", 6)) << QByteArray();
        QTest::newRow("data byte without status")
            << header + track(QByteArray("\x00\x3C\x64", 3)) << QByteArray();
        QTest::newRow("not midi") << QByteArray("RIFF....") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void midiName() {
        QFETCH(QByteArray, file);
        QTEST(midiname::trackName(file), "name");
    }

    void genreNames_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("reference") << L{QStringLiteral("(17)")} << L{QStringLiteral("Rock")};
        QTest::newRow("number") << L{QStringLiteral("17")} << L{QStringLiteral("Rock")};
        QTest::newRow("references")
            << L{QStringLiteral("(17)(8)")} << L{QStringLiteral("Rock"), QStringLiteral("Jazz")};
        QTest::newRow("refinement")
            << L{QStringLiteral("(17)Rock & Roll")} << L{QStringLiteral("Rock & Roll")};
        QTest::newRow("remix and cover")
            << L{QStringLiteral("(RX)(CR)")} << L{QStringLiteral("Remix"), QStringLiteral("Cover")};
        QTest::newRow("literal parenthesis")
            << L{QStringLiteral("((Live))")} << L{QStringLiteral("(Live))")};
        QTest::newRow("not a reference")
            << L{QStringLiteral("(Live)")} << L{QStringLiteral("(Live)")};
        QTest::newRow("unknown number")
            << L{QStringLiteral("255"), QStringLiteral("Pop")} << L{QStringLiteral("Pop")};
        QTest::newRow("split") << L{QStringLiteral("Pop; J-Pop"), QStringLiteral("Drum/Bass")}
                               << L{QStringLiteral("Pop"), QStringLiteral("J-Pop"),
                                    QStringLiteral("Drum/Bass")};
        QTest::newRow("nul") << L{QStringLiteral("A") + QChar(0) + QStringLiteral("B")}
                             << L{QStringLiteral("A"), QStringLiteral("B")};
        QTest::newRow("at most three")
            << L{QStringLiteral("a;b;c;d")}
            << L{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QTest::newRow("repeats folded")
            << L{QStringLiteral("Rock"), QStringLiteral("17"), QStringLiteral("ＲＯＣＫ"),
                 QStringLiteral(" ;; "), QStringLiteral("rock")}
            << L{QStringLiteral("Rock")};
        QTest::newRow("none") << L{} << L{};
    }
    void genreNames() {
        QFETCH(QStringList, values);
        QTEST(tagreader::genreNames(values), "names");
    }

    // Files tagged by TagLib and by hand, read as "title|artist|genres".
    void readsTags_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("tags");
        QTest::newRow("ID3v2.3 UTF-16") << "v23 utf16.mp3"
                                        << "夜に駆ける|ＹＯＡＳＯＢＩ|J-Pop";
        QTest::newRow("ID3v2.4 UTF-8, several genres") << "v24 utf8.mp3"
                                                       << "Ünïcödé ☆|Björk|Drum/Bass/Jazz/Soul";
        QTest::newRow("ID3v2.3 Latin-1") << "v23 latin1.mp3"
                                         << "Café|Noël|Rock";
        QTest::newRow("ID3v2.4 numeric genres") << "v24 numeric.mp3"
                                                << "Numbers||Rock/Jazz";
        QTest::newRow("ID3v2.3 CP932 declared Latin-1") << "v23 cp932.mp3"
                                                        << "さくら|山田|ポップス/演歌";
        QTest::newRow("ID3v2.3 Latin-1 that is also CP932") << "v23 pokemon.mp3"
                                                            << "Pokémon||";
        QTest::newRow("ID3v1 CP932") << "v1 cp932.mp3"
                                     << "夜に駆ける|表示|Jazz";
        QTest::newRow("ID3v1 Latin-1") << "v1 latin1.mp3"
                                       << "Crème brûlée|Motörhead|Rock";
        QTest::newRow("ID3v2 before ID3v1") << "v2 over v1.mp3"
                                            << "Two|Artist One|Jazz";
        QTest::newRow("ID3v2, APE, ID3v1")
            << QStringLiteral("v2 ape v1.mp3") << QStringLiteral("Two|Ape Artist|Soul");
        QTest::newRow("APE alone")
            << QStringLiteral("ape.mp3") << QStringLiteral("Ape|Ape Artist|Soul/Funk");
        QTest::newRow("WAV INFO") << "info.wav"
                                  << "Morning|Trio|Jazz";
        QTest::newRow("WAV INFO CP932") << "info cp932.wav"
                                        << "さくら|山田|";
        QTest::newRow("WAV ID3 before INFO") << "id3.wav"
                                             << "Evening|Trio|Soul";
        QTest::newRow("AIFF ID3") << "id3.aiff"
                                  << "ジャズ・トリオ|山田|Jazz/演歌";
        QTest::newRow("MIDI CP932") << "cp932.mid"
                                    << "さくら||";
        QTest::newRow("MIDI ASCII") << "ascii.MIDI"
                                    << "Song of MIDI||";
        QTest::newRow("tag longer than a read") << "long tag.mp3"
                                                << "Long|Far|Jazz";
        QTest::newRow("tag ending past a read") << "window edge.mp3"
                                                << "Edge||";
        QTest::newRow("no tag") << "no tag.mp3"
                                << "||";
        QTest::newRow("truncated tag") << "truncated.mp3"
                                       << "||";
        QTest::newRow("hostile tag")
            << "hostile.mp3" << QStringLiteral("|") + QString(255, u'x') + QStringLiteral("|");
        QTest::newRow("missing file") << "gone.mp3"
                                      << "||";
    }
    void readsTags() {
        QFETCH(QString, file);
        QVERIFY(file == QStringLiteral("gone.mp3") || writeFile(file));
        QTEST(shown(tagreader::read(path(QStringLiteral("files/") + file))), "tags");
    }

    // A pipe, a folder or a device named like music is never read: reading
    // the pipe would wait for a writer for ever, a device may never end.
    void readsRegularFilesOnly() {
        QVERIFY(QDir().mkpath(path(QStringLiteral("odd/folder.mp3"))));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(path(QStringLiteral("odd/pipe.mp3"))).constData(), 0600), 0);
        const QString zero = QStringLiteral("/dev/zero");
        QVERIFY(QFile::link(zero, path(QStringLiteral("odd/zero.mp3"))));
        QVERIFY(QFile::link(zero, path(QStringLiteral("odd/zero.mid"))));
        for (const char* name : {"pipe.mp3", "folder.mp3", "zero.mp3", "zero.mid"}) {
            const QString file = path(QStringLiteral("odd/") + QLatin1String(name));
            QCOMPARE(shown(tagreader::read(file)), QStringLiteral("||"));
        }
    }

    // Registering the folder: titles from the tags (the file title when
    // they have none), artists and genres reused when equal folded, added
    // otherwise, all in one write. A cancel writes nothing.
    void registersWithTags() {
        TempLibrary lib;
        lib.addArtist(QStringLiteral("ＹＯＡＳＯＢＩ")); // ID 2: full-width, like the tag
        lib.addArtist(QStringLiteral("noël"));           // ID 3: another case
        lib.addGenre(QStringLiteral("rock"));            // ID 2
        const L files = {QStringLiteral("v23 utf16.mp3"), QStringLiteral("v23 latin1.mp3"),
                         QStringLiteral("v23 cp932.mp3"), QStringLiteral("v24 numeric.mp3"),
                         QStringLiteral("cp932.mid"),     QStringLiteral("no tag.mp3"),
                         QStringLiteral("truncated.mp3"), QStringLiteral("info.wav")};
        QStringList paths;
        for (const QString& file : files) {
            QVERIFY(QFileInfo::exists(path(QStringLiteral("files/") + file)) || writeFile(file));
            paths << path(QStringLiteral("files/") + file);
        }
        SongListModel list;
        LibraryFiles library(list);
        QVERIFY(library.load());
        QCOMPARE(library.append(paths), 8);
        QList<int> steps;
        QVERIFY(!library.registerPending([&](int done, int total) {
            steps << done << total;
            return done < 8; // the last step before the commit
        }));
        QCOMPARE(steps, QList<int>({0, 8, 8, 8}));
        QCOMPARE(songRows(lib), L());
        QCOMPARE(librarytest::names(lib, false), QStringLiteral("指定無し|ＹＯＡＳＯＢＩ|noël"));
        QVERIFY(!library.Registed());

        QVERIFY(library.registerPending());
        QCOMPARE(
            songRows(lib),
            L({QStringLiteral("夜に駆ける|ＹＯＡＳＯＢＩ|J-Pop/-/-"),
               QStringLiteral("Café|noël|rock/-/-"), QStringLiteral("さくら|山田|ポップス/演歌/-"),
               QStringLiteral("Numbers|-|rock/Jazz/-"), QStringLiteral("さくら|-|-/-/-"),
               QStringLiteral("no tag|-|-/-/-"), QStringLiteral("truncated|-|-/-/-"),
               QStringLiteral("Morning|Trio|Jazz/-/-")}));
        QCOMPARE(librarytest::names(lib, false),
                 QStringLiteral("指定無し|ＹＯＡＳＯＢＩ|noël|山田|Trio"));
        QCOMPARE(librarytest::names(lib), QStringLiteral("指定無し|rock|J-Pop|ポップス|演歌|Jazz"));
        QCOMPARE(librarytest::genreRows(lib, 3), librarytest::genreRows(lib, 1));
        QCOMPARE(librarytest::rows(
                     lib, QStringLiteral("SELECT COUNT(*) FROM TM_曲情報 WHERE ファイルパス = ''")),
                 L{QStringLiteral("0")});
        QVERIFY(library.Registed() && library.pendingCount() == 0);
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // Re-reading sets title, artist and genres from the tags and nothing
    // else; what the tags do not say stays as the user left it.
    void rereadChangesOnlyWhatTagsSay() {
        TempLibrary lib;
        QVERIFY(QFileInfo::exists(path(QStringLiteral("files/v23 cp932.mp3"))) ||
                writeFile(QStringLiteral("v23 cp932.mp3")));
        QVERIFY(QFileInfo::exists(path(QStringLiteral("files/no tag.mp3"))) ||
                writeFile(QStringLiteral("no tag.mp3")));
        const int jazz = lib.addGenre(QStringLiteral("Jazz"));
        const int bob = lib.addArtist(QStringLiteral("Bob"));
        TempLibrary::Fields fields;
        fields.priority = 90;
        fields.genres[0] = jazz;
        fields.artist = bob;
        fields.breakOut = true;
        fields.volume = -300;
        fields.count = 7;
        for (const char* file : {"v23 cp932.mp3", "no tag.mp3"}) {
            const int id = lib.addSong(QStringLiteral("old"), fields);
            lib.db().adoSetData(
                Write::RunSql,
                {QStringLiteral("UPDATE TM_曲情報 SET ファイルパス = '%1' WHERE ID = %2")
                     .arg(path(QStringLiteral("files/") + QString::fromUtf8(file)))
                     .arg(id)});
        }
        lib.db().adoSetData(Write::AddAlbumSong,
                            {QStringLiteral("Best"), QStringLiteral("2"), QStringLiteral("1")});
        const QString rest =
            QStringLiteral("SELECT カウント, 優先度, ブレークアウト, トレンド, ボリューム補正"
                           " FROM TM_曲情報 ORDER BY ID");
        const QStringList before = librarytest::rows(lib, rest);

        SongListModel list;
        LibraryFiles library(list);
        QVERIFY(library.load());
        QList<qint64> ids;
        QStringList paths;
        library.registeredSongs(
            {QStringLiteral("Key_2"), path(QStringLiteral("pending.mp3")), QStringLiteral("Key_1")},
            ids, paths);
        QCOMPARE(ids, QList<qint64>({2, 1}));
        QCOMPARE(paths, L({path(QStringLiteral("files/no tag.mp3")),
                           path(QStringLiteral("files/v23 cp932.mp3"))}));
        QVERIFY(!LibraryFiles::rereadTags(ids, paths, [](int done, int) { return done < 2; }));
        QCOMPARE(songRows(lib),
                 L({QStringLiteral("old|Bob|Jazz/-/-"), QStringLiteral("old|Bob|Jazz/-/-")}));
        QVERIFY(LibraryFiles::rereadTags(ids, paths));
        QCOMPARE(songRows(lib), L({QStringLiteral("さくら|山田|ポップス/演歌/-"),
                                   QStringLiteral("old|Bob|Jazz/-/-")}));
        QCOMPARE(librarytest::rows(lib, rest), before);
        QCOMPARE(before.first(), QStringLiteral("7:90:1:0:-300"));
        QCOMPARE(librarytest::rows(lib, QStringLiteral("SELECT 曲ID FROM TM_アルバム")),
                 L{QStringLiteral("2")});
    }
};

QTEST_MAIN(TestTagReader)
#include "tst_tagreader.moc"
