// The M3U reader and writer on real playlists and files in a temporary
// folder: every encoding and line end, each kind of entry, hostile files,
// and the writer's exact bytes.

#include "export/m3ufile.h"
#include "songlist/songlistmodel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

class TestM3uFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString root_;

    QString path(const QString& name) const { return root_ + "/" + name; }
    static bool write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    QStringList readM3u(const QString& name, bool expectOk = true) {
        QStringList entries = {"stale"};
        const bool ok = ReadM3uFile(path(name), entries);
        if (ok != expectOk)
            return {"<result " + QString::number(ok) + ">"};
        return entries;
    }

private slots:
    void initTestCase() {
        root_ = dir_.path();
        // The files the playlists name; "pl" holds the playlists.
        for (const char* name : {"pl/曲1.mp3", "pl/sub/曲 2.wav", "pl/.hidden.mp3", "abs/Ａ.mid",
                                 "abs/space name.aif", "pl/back\\slash.mp3"}) {
            const QString p = path(QString::fromUtf8(name));
            QDir().mkpath(QFileInfo(p).path());
            QVERIFY(write(p, "x"));
        }
        QDir().mkpath(path("pl/folder.mp3"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pl/fifo.mp3")).constData(), 0600), 0);
    }

    // One playlist naming every kind of entry, in each encoding and line end.
    void readsEveryEncodingAndLineEnd_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("lineEnd");
        QTest::newRow("utf-8 crlf") << "a.m3u"
                                    << "UTF-8"
                                    << "\r\n";
        QTest::newRow("utf-8 lf") << "b.m3u"
                                  << "UTF-8"
                                  << "\n";
        QTest::newRow("utf-8 cr") << "c.m3u"
                                  << "UTF-8"
                                  << "\r";
        QTest::newRow("utf-8 bom") << "d.m3u"
                                   << "UTF-8 BOM"
                                   << "\r\n";
        QTest::newRow("utf-16le bom") << "e.m3u"
                                      << "UTF-16LE"
                                      << "\r\n";
        QTest::newRow("utf-16be bom") << "f.m3u"
                                      << "UTF-16BE"
                                      << "\n";
        QTest::newRow("shift-jis") << "g.m3u"
                                   << "Shift_JIS"
                                   << "\r\n";
        QTest::newRow("m3u8 utf-8") << "h.M3U8"
                                    << "UTF-8"
                                    << "\n";
    }
    void readsEveryEncodingAndLineEnd() {
        QFETCH(QString, name);
        QFETCH(QString, encoding);
        QFETCH(QString, lineEnd);
        const QStringList lines = {
            "#EXTM3U",
            "#EXTINF:123,Artist - Title",
            QString::fromUtf8("曲1.mp3"),             // relative to the playlist
            QString::fromUtf8("  sub\\曲 2.wav  "),   // "\" joints, spaces around
            root_ + QString::fromUtf8("/abs/Ａ.mid"), // absolute
            "file://" +
                QString::fromUtf8(QUrl::toPercentEncoding(root_ + "/abs/space name.aif", "/")),
            "missing.mp3",
            ".hidden.mp3",
            "folder.mp3",
            "fifo.mp3",
            "",
            "http://example.com/stream.mp3",
            "../pl/sub/../曲1.mp3", // the same file again, written another way
        };
        const QString text = lines.join(lineEnd) + lineEnd;
        QByteArray bytes;
        if (encoding == "UTF-8 BOM")
            bytes = "\xEF\xBB\xBF" + text.toUtf8();
        else if (encoding == "UTF-16LE")
            bytes = QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE).encode(text);
        else if (encoding == "UTF-16BE")
            bytes = QByteArray("\xFE\xFF") + QStringEncoder(QStringEncoder::Utf16BE).encode(text);
        else if (encoding == "Shift_JIS")
            bytes = QStringEncoder("Shift_JIS").encode(text);
        else
            bytes = text.toUtf8();
        QVERIFY(write(path("pl/" + name), bytes));

        const QStringList expected = {
            root_ + QString::fromUtf8("/pl/曲1.mp3"), root_ + QString::fromUtf8("/pl/sub/曲 2.wav"),
            root_ + QString::fromUtf8("/abs/Ａ.mid"), root_ + "/abs/space name.aif",
            root_ + QString::fromUtf8("/pl/曲1.mp3"),
        };
        QCOMPARE(readM3u("pl/" + name), expected);
    }

    // Text that is not valid UTF-8 is Shift-JIS, except in a ".m3u8" file.
    void invalidUtf8IsShiftJisUnlessM3u8() {
        const QByteArray sjis =
            QStringEncoder("Shift_JIS").encode(QString::fromUtf8("曲1.mp3\r\n"));
        QVERIFY(write(path("pl/sjis.m3u"), sjis));
        QVERIFY(write(path("pl/sjis.m3u8"), sjis));
        QCOMPARE(readM3u("pl/sjis.m3u"), QStringList({root_ + QString::fromUtf8("/pl/曲1.mp3")}));
        QCOMPARE(readM3u("pl/sjis.m3u8"), QStringList());
    }

    // A name with "\" is first taken as written: on this system it may be
    // a character of the name.
    void backslashNameAsWrittenComesFirst() {
        QVERIFY(write(path("pl/bs.m3u"), "back\\slash.mp3\n"));
        QCOMPARE(readM3u("pl/bs.m3u"), QStringList({root_ + "/pl/back\\slash.mp3"}));
    }

    // A name found neither absolute nor beside the playlist is tried in the
    // current folder, and kept as an absolute path.
    void currentFolderIsTheLastResort() {
        QVERIFY(write(path("pl/cwd.m3u"), "space name.aif\n曲1.mp3\n"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path("abs")));
        const QStringList entries = readM3u("pl/cwd.m3u");
        QDir::setCurrent(previous);
        QCOMPARE(entries, QStringList({root_ + "/abs/space name.aif",
                                       root_ + QString::fromUtf8("/pl/曲1.mp3")}));
    }

    void emptyOrCommentOnlyPlaylistGivesNoEntries() {
        QVERIFY(write(path("pl/empty.m3u"), ""));
        QVERIFY(write(path("pl/header.m3u"), "#EXTM3U\r\n\r\n   \r\n"));
        QCOMPARE(readM3u("pl/empty.m3u"), QStringList());
        QCOMPARE(readM3u("pl/header.m3u"), QStringList());
    }

    void playlistThatIsNotAFileIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "pl/none.m3u";
        QTest::newRow("folder") << "pl/folder.mp3";
        QTest::newRow("fifo") << "pl/fifo.mp3"; // must not wait for a writer
        QTest::newRow("device") << "/dev/null";
        QTest::newRow("empty name") << "";
    }
    void playlistThatIsNotAFileIsRefused() {
        QFETCH(QString, name);
        QStringList entries = {"stale"};
        QVERIFY(!ReadM3uFile(name.startsWith("/") || name.isEmpty() ? name : path(name), entries));
        QCOMPARE(entries, QStringList());
    }

    // Random bytes and a 10 MB line read to a result, quickly.
    void hostilePlaylistsEndWithoutEntries() {
        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(write(path("pl/noise.m3u"), noise));
        QVERIFY(write(path("pl/long.m3u"), QByteArray(10 * 1024 * 1024, 'a') + "\n曲1.mp3\n"));
        QVERIFY(write(path("pl/nul.m3u"), QByteArray("曲1.mp3\0junk\n", 14)));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(readM3u("pl/noise.m3u"), QStringList());
        QCOMPARE(readM3u("pl/long.m3u"), QStringList({root_ + QString::fromUtf8("/pl/曲1.mp3")}));
        // A NUL would cut the name short when it is looked up.
        QCOMPARE(readM3u("pl/nul.m3u"), QStringList());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    void writesExactBytes_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("three") << QStringList({"/m/a.mp3", "/m/b.wav", "/m/c.mid"})
                               << QByteArray("/m/a.mp3\r\n/m/b.wav\r\n/m/c.mid\r\n");
        QTest::newRow("japanese") << QStringList({QString::fromUtf8("/音楽/曲.mp3")})
                                  << QByteArray("/\xE9\x9F\xB3\xE6\xA5\xBD/\xE6\x9B\xB2.mp3\r\n");
        QTest::newRow("one") << QStringList({"x"}) << QByteArray("x\r\n");
        QTest::newRow("empty") << QStringList() << QByteArray();
    }
    void writesExactBytes() {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        // No extension is added, and an older, longer file is replaced.
        const QString target = path("out/list");
        QDir().mkpath(path("out"));
        QVERIFY(write(target, QByteArray(100, 'z')));
        QVERIFY(WriteM3uFile(target, lines));
        QCOMPARE(read(target), bytes);
        QVERIFY(!QFile::exists(target + ".m3u"));
    }

    void writeFailuresKeepTheOldFile() {
        QDir().mkpath(path("keep"));
        QVERIFY(write(path("keep/old.m3u"), "old\r\n"));
        QVERIFY(!WriteM3uFile(path("no/such/folder/x.m3u"), {"a"}));
        QVERIFY(!QFileInfo::exists(path("no/such/folder")));
        QVERIFY(!WriteM3uFile(path("keep"), {"a"}));        // a folder
        QVERIFY(!WriteM3uFile(path("pl/fifo.mp3"), {"a"})); // a pipe: never waits
        QVERIFY(!WriteM3uFile(QString(), {"a"}));
        QCOMPARE(read(path("keep/old.m3u")), QByteArray("old\r\n"));
        const QFileInfo fifo(path("pl/fifo.mp3"));
        QVERIFY(fifo.exists() && !fifo.isFile());
    }

    // What the writer writes, the reader reads back.
    void roundTrip() {
        const QStringList files = {root_ + "/abs/space name.aif",
                                   root_ + QString::fromUtf8("/pl/曲1.mp3")};
        QVERIFY(WriteM3uFile(path("pl/round.m3u"), files));
        QCOMPARE(readM3u("pl/round.m3u"), files);
    }

    void linesFollowTheDisplayOrder() {
        SongListModel list;
        list.setColumns({"曲名", "ﾌｧｲﾙﾊﾟｽ"});
        list.setItems({SongListItem("Key_1", {"b", "/m/1.mp3"}),
                       SongListItem("Key_2", {"c", "/m/2.mp3"}),
                       SongListItem("Key_3", {"a", "/m/3.mp3"})});
        QStringList lines = {"stale"};
        QVERIFY(M3uLinesOf(list, lines));
        QCOMPARE(lines, QStringList({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}));
        list.setSort(true, 0, 1); // by title, descending
        QVERIFY(M3uLinesOf(list, lines));
        QCOMPARE(lines, QStringList({"/m/2.mp3", "/m/1.mp3", "/m/3.mp3"}));

        SongListModel empty;
        empty.setColumns({"ﾌｧｲﾙﾊﾟｽ"});
        QVERIFY(M3uLinesOf(empty, lines));
        QCOMPARE(lines, QStringList());

        SongListModel noPath;
        noPath.setColumns({"曲名"});
        QVERIFY(!M3uLinesOf(noPath, lines));
    }
};

QTEST_GUILESS_MAIN(TestM3uFile)
#include "tst_m3ufile.moc"
