// The M3U reader and writer on real playlists and files in a temporary
// folder: every encoding and line end, each kind of entry, hostile files,
// and the writer's exact bytes.

#include "../data/unprivileged.h"
#include "diskfiles.h"
#include "playlists/m3ufile.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <optional>

#include <sys/stat.h>

class TestM3uFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString root_;

    QString path(const QString& name) const { return root_ + QStringLiteral("/") + name; }
    // The entries read from `file` when the read returns `ok`, else a mark.
    static QStringList readM3u(const QString& file, bool ok = true) {
        QStringList entries = {QStringLiteral("stale")};
        if (ReadM3uFile(file, entries) != ok)
            return {QStringLiteral("<") + file + QStringLiteral(" read ") +
                    (ok ? QStringLiteral("failed>") : QStringLiteral("succeeded>"))};
        return entries;
    }

private slots:
    void initTestCase() {
        root_ = dir_.path();
        // The files the playlists name; "pl" holds the playlists.
        for (const char* name :
             {"pl/曲1.mp3", "pl/sub/曲 2.wav", "pl/.hidden.mp3", "abs/Ａ.mid", "abs/space name.aif",
              "pl/back\\slash.mp3", "pl/café.mp3", "pl/#曲.mp3"})
            QVERIFY(diskfiles::write(path(QString::fromUtf8(name)), "x"));
        QDir().mkpath(path(QStringLiteral("pl/folder.mp3")));
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pl/fifo.mp3"))).constData(), 0600),
                 0);
    }

    // One playlist naming every kind of entry, in each encoding and line end.
    void readsEveryEncodingAndLineEnd_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bom");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QString>("lineEnd");
        const char* rows[][5] = {
            {"utf-8 crlf", "a.m3u", "", "UTF-8", "\r\n"},
            {"utf-8 lf", "b.m3u", "", "UTF-8", "\n"},
            {"utf-8 cr", "c.m3u", "", "UTF-8", "\r"},
            {"utf-8 bom", "d.m3u", "\xEF\xBB\xBF", "UTF-8", "\r\n"},
            {"utf-16le bom", "e.m3u", "\xFF\xFE", "UTF-16LE", "\r\n"},
            {"utf-16be bom", "f.m3u", "\xFE\xFF", "UTF-16BE", "\n"},
            {"shift-jis", "g.m3u", "", "Shift_JIS", "\r\n"},
            // Its lines are valid code page 932 too: UTF-8 must win.
            {"m3u8 in capitals", "LIST.M3U8", "", "UTF-8", "\n"},
        };
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString::fromUtf8(r[1]) << QByteArray(r[2]) << QByteArray(r[3])
                                << QString::fromUtf8(r[4]);
    }
    void readsEveryEncodingAndLineEnd() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bom);
        QFETCH(QByteArray, encoding);
        QFETCH(QString, lineEnd);
        // Entries relative to the playlist, with "\" joints and spaces
        // around, absolute and a URI; then entries that do not count; then
        // the first file again, written another way.
        const QString uri =
            QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(
                                            root_ + QStringLiteral("/abs/space name.aif"), "/"));
        QString text =
            QStringLiteral("#EXTM3U\n#EXTINF:123,Artist - Title\n曲1.mp3\n  sub\\曲 2.wav  \n") +
            root_ + QStringLiteral("/abs/Ａ.mid\n") + uri +
            QStringLiteral("\nmissing.mp3\n.hidden.mp3\nfolder.mp3\nfifo.mp3\n\nhttp://example.com/"
                           "stream.mp3\n../pl/sub/../曲1.mp3\n");
        QStringEncoder encoder(encoding.constData());
        QVERIFY(encoder.isValid());
        QVERIFY(
            diskfiles::write(path(QStringLiteral("pl/") + name),
                             bom + encoder.encode(text.replace(QStringLiteral("\n"), lineEnd))));
        const QStringList expected = {
            root_ + QStringLiteral("/pl/曲1.mp3"), root_ + QStringLiteral("/pl/sub/曲 2.wav"),
            root_ + QStringLiteral("/abs/Ａ.mid"), root_ + QStringLiteral("/abs/space name.aif"),
            root_ + QStringLiteral("/pl/曲1.mp3")};
        QCOMPARE(readM3u(path(QStringLiteral("pl/") + name)), expected);
    }

    void whereEntriesAreLookedFor() {
        // A name with "\" is first taken as written: on this system it may be
        // a character of the name.
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/bs.m3u")), "back\\slash.mp3\n"));
        QCOMPARE(readM3u(path(QStringLiteral("pl/bs.m3u"))),
                 QStringList({root_ + QStringLiteral("/pl/back\\slash.mp3")}));
        // A name found neither absolute nor beside the playlist is tried in
        // the current folder, and kept as an absolute path; one found in
        // both is the playlist's.
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/cwd.m3u")), "space name.aif\n曲1.mp3\n"));
        QVERIFY(diskfiles::write(path(QStringLiteral("abs/曲1.mp3")), "x"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path(QStringLiteral("abs"))));
        const QStringList entries = readM3u(path(QStringLiteral("pl/cwd.m3u")));
        QDir::setCurrent(previous);
        QCOMPARE(entries, QStringList({root_ + QStringLiteral("/abs/space name.aif"),
                                       root_ + QStringLiteral("/pl/曲1.mp3")}));
    }

    // Each line is decoded on its own (UTF-8, else code page 932, else
    // Windows-1252), whatever the playlist's name; "file://localhost/" is
    // this machine; a line naming a file is an entry even when it begins
    // with "#"; lines that are not comments and name no file are counted,
    // the first five named (a long one cut short).
    void linesAndWhatIsMissing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("entries"); // below the test's folder
        QTest::addColumn<int>("missing");
        QTest::addColumn<QStringList>("shown");
        const QByteArray sjis = QStringEncoder("Shift_JIS").encode(u"sub\\曲 2.wav");
        const QByteArray root = QFile::encodeName(root_);
        QTest::newRow("mixed encodings")
            << "#EXTINF:1,Caf\xE9 Ol\xE9\n" + QStringLiteral("曲1.mp3\n").toUtf8() + sjis +
                   "\ncaf\xE9.mp3\n"
            << QStringList({QStringLiteral("pl/曲1.mp3"), QStringLiteral("pl/sub/曲 2.wav"),
                            QStringLiteral("pl/café.mp3")})
            << 0 << QStringList();
        QTest::newRow("code page 932 in .m3u8")
            << sjis + "\n"
            << QStringList({QStringLiteral("pl/sub/曲 2.wav")}) << 0 << QStringList();
        QTest::newRow("localhost")
            << "file://localhost" + root + "/abs/space%20name.aif\r\nFILE://LocalHost" + root +
                   "/abs/%EF%BC%A1.mid\r\nfile://elsewhere" + root + "/abs/%EF%BC%A1.mid\r\n"
            << QStringList({QStringLiteral("abs/space name.aif"), QStringLiteral("abs/Ａ.mid")})
            << 1
            << QStringList({QStringLiteral("file://elsewhere") + root_ +
                            QStringLiteral("/abs/%EF%BC%A1.mid")});
        QTest::newRow("no final line break")
            << QStringLiteral("#EXTM3U\r\n曲1.mp3\r\nsub/曲 2.wav").toUtf8()
            << QStringList({QStringLiteral("pl/曲1.mp3"), QStringLiteral("pl/sub/曲 2.wav")}) << 0
            << QStringList();
        QTest::newRow("hash names a file")
            << QByteArray("#EXTM3U\n#曲.mp3\n# comment\n#\n")
            << QStringList({QStringLiteral("pl/#曲.mp3")}) << 0 << QStringList();
        QTest::newRow("missing, five named")
            << QByteArray("gone1.mp3\nC:\\Music\\a.mp3\n\n  \n#c\ngone3.mp3\n\xFF\xFE\x81\n"
                          "http://example.com/s.mp3\ngone5.mp3\n曲1.mp3\n")
            << QStringList({QStringLiteral("pl/曲1.mp3")}) << 6
            << QStringList({QStringLiteral("gone1.mp3"), QStringLiteral("C:\\Music\\a.mp3"),
                            QStringLiteral("gone3.mp3"), QStringLiteral("ÿþ\u0081"),
                            QStringLiteral("http://example.com/s.mp3")});
        QTest::newRow("long line cut short")
            << QByteArray(5000, 'a') + "\n"
            << QStringList() << 1 << QStringList({QString(120, u'a') + QStringLiteral("…")});
    }
    void linesAndWhatIsMissing() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, entries);
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/lines.m3u8")), content));
        M3uRead read;
        QStringList found;
        QVERIFY(ReadM3uFile(path(QStringLiteral("pl/lines.m3u8")), found, &read));
        QCOMPARE(found.replaceInStrings(root_ + QStringLiteral("/"), QStringLiteral("")), entries);
        QTEST(read.missing, "missing");
        QTEST(read.missingShown, "shown");
    }

    // A long read reports every 4,096 lines with the bytes read and the
    // size; told to stop, it fails with nothing read.
    void longReadsReportAndStop_data() {
        QTest::addColumn<int>("stopAt"); // the report answered false; 0 none
        QTest::addColumn<bool>("ok");
        QTest::newRow("read through") << 0 << true;
        QTest::newRow("stopped") << 2 << false;
    }
    void longReadsReportAndStop() {
        QFETCH(int, stopAt);
        QFETCH(bool, ok);
        // 9,999 lines of 6 bytes and one of 5: line 4,096 ends at byte 24,575.
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/long10k.m3u")),
                                 QByteArray("x.mp3\n").repeated(9999) +
                                     QStringLiteral("曲1\n").toUtf8()));
        QList<QPair<qint64, qint64>> reports;
        M3uRead read;
        read.progress = [&](qint64 done, qint64 total) {
            reports << qMakePair(done, total);
            return int(reports.size()) != stopAt;
        };
        QStringList entries;
        QCOMPARE(ReadM3uFile(path(QStringLiteral("pl/long10k.m3u")), entries, &read), ok);
        QCOMPARE(reports, (QList<QPair<qint64, qint64>>{{24575, 59999}, {49151, 59999}}));
        QCOMPARE(entries, QStringList());
        QCOMPARE(read.missing, ok ? 10000 : 8191);
    }

    // A playlist that is not a file is refused at once (a pipe must not wait
    // for a writer); empty, random and huge ones read to a result.
    void hostilePlaylists() {
        for (const QString& name :
             {path(QStringLiteral("pl/none.m3u")), path(QStringLiteral("pl/folder.mp3")),
              path(QStringLiteral("pl/fifo.mp3")), QStringLiteral("/dev/null"), QString()})
            QCOMPARE(readM3u(name, false), QStringList());
        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/noise.m3u")), noise));
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/long.m3u")),
                                 QByteArray(10 * 1024 * 1024, 'a') + "\n曲1.mp3\n"));
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/nul.m3u")),
                                 QByteArray("曲1.mp3\0junk\n", 14)));
        QVERIFY(diskfiles::write(path(QStringLiteral("pl/empty.m3u")), ""));
        QCOMPARE(readM3u(path(QStringLiteral("pl/noise.m3u"))), QStringList());
        QCOMPARE(readM3u(path(QStringLiteral("pl/long.m3u"))),
                 QStringList({root_ + QStringLiteral("/pl/曲1.mp3")}));
        // A NUL would cut the name short when it is looked up.
        QCOMPARE(readM3u(path(QStringLiteral("pl/nul.m3u"))), QStringList());
        QCOMPARE(readM3u(path(QStringLiteral("pl/empty.m3u"))), QStringList());
    }

    // UTF-8 without a byte-order mark, each line ended by CR LF, to exactly
    // the name given, replacing an older, longer file; an empty list
    // writes an empty file. A playlist the user may write is replaced also
    // where they may not create files beside it.
    void writesExactBytes_data() {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("own folder") << false;
        QTest::newRow("read-only folder, unprivileged user") << true;
    }
    void writesExactBytes() {
        QFETCH(bool, readOnlyFolder);
        const QString folder = path(readOnlyFolder ? QStringLiteral("ro") : QStringLiteral("out")),
                      target = folder + QStringLiteral("/list");
        QVERIFY(diskfiles::write(target, QByteArray(100, 'z')));
        std::optional<Unprivileged> user;
        if (readOnlyFolder) {
            QVERIFY(QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther));
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ReadOther | QFile::WriteOther));
            user.emplace();
            if (!user->isActive())
                QSKIP("cannot act as an unprivileged user here");
        }
        QVERIFY(WriteM3uFile(target, {QStringLiteral("/m/a.mp3"), QStringLiteral("/音楽/曲.mp3")}));
        QCOMPARE(diskfiles::read(target),
                 QByteArray("/m/a.mp3\r\n/\xE9\x9F\xB3\xE6\xA5\xBD/\xE6\x9B\xB2.mp3\r\n"));
        QVERIFY(WriteM3uFile(target, {}));
        QCOMPARE(diskfiles::read(target), QByteArray());
        user.reset();
        QCOMPARE(diskfiles::entries(folder), QStringList({QStringLiteral("list")}));
        QVERIFY(
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // An export adds ".m3u" to a name without an extension, and leaves out
    // the paths a line cannot hold.
    void exportNames_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        const char* rows[][2] = {
            {"/d/list", "/d/list.m3u"},       {"/d/list.m3u", "/d/list.m3u"},
            {"/d/list.M3U8", "/d/list.M3U8"}, {"/d/my.list", "/d/my.list"},
            {"/d/list.", "/d/list.m3u"},      {"/d/.hidden", "/d/.hidden.m3u"},
            {"/d.e/list", "/d.e/list.m3u"},   {"/d/お気に入り", "/d/お気に入り.m3u"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]);
    }
    void exportNames() {
        QFETCH(QString, chosen);
        QTEST(M3uFileName(chosen), "written");
    }
    void exportLeavesOutLineBreaks() {
        QStringList lines = {QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b\nc.mp3"),
                             QStringLiteral("/m/d\re.mp3"), QStringLiteral("/m/f.mp3"),
                             QStringLiteral("/m/\r\n")};
        QCOMPARE(RemoveUnwritableLines(lines), 3);
        QCOMPARE(lines, QStringList({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/f.mp3")}));
    }

    void writeFailuresKeepTheOldFile() {
        QVERIFY(diskfiles::write(path(QStringLiteral("keep/old.m3u")), "old\r\n"));
        QVERIFY(!WriteM3uFile(path(QStringLiteral("no/such/folder/x.m3u")), {QStringLiteral("a")}));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("no/such/folder"))));
        QVERIFY(!WriteM3uFile(path(QStringLiteral("keep")), {QStringLiteral("a")})); // a folder
        QVERIFY(!WriteM3uFile(path(QStringLiteral("pl/fifo.mp3")),
                              {QStringLiteral("a")})); // a pipe: never waits
        QVERIFY(!WriteM3uFile(QString(), {QStringLiteral("a")}));
        QCOMPARE(diskfiles::read(path(QStringLiteral("keep/old.m3u"))), QByteArray("old\r\n"));
        const QFileInfo fifo(path(QStringLiteral("pl/fifo.mp3")));
        QVERIFY(fifo.exists() && !fifo.isFile());
    }
};

QTEST_GUILESS_MAIN(TestM3uFile)
#include "tst_m3ufile.moc"
