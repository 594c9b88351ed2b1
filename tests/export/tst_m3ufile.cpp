// The M3U reader and writer on real playlists and files in a temporary
// folder: every encoding and line end, each kind of entry, hostile files,
// and the writer's exact bytes.

#include "diskfiles.h"
#include "export/m3ufile.h"

#include <QElapsedTimer>
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
    // The entries read from `file` when the read returns `ok`, else a mark.
    static QStringList readM3u(const QString& file, bool ok = true) {
        QStringList entries = {"stale"};
        if (ReadM3uFile(file, entries) != ok)
            return {"<" + file + " read " + (ok ? "failed>" : "succeeded>")};
        return entries;
    }

private slots:
    void initTestCase() {
        root_ = dir_.path();
        // The files the playlists name; "pl" holds the playlists.
        for (const char* name : {"pl/曲1.mp3", "pl/sub/曲 2.wav", "pl/.hidden.mp3", "abs/Ａ.mid",
                                 "abs/space name.aif", "pl/back\\slash.mp3"})
            QVERIFY(diskfiles::write(path(QString::fromUtf8(name)), "x"));
        QDir().mkpath(path("pl/folder.mp3"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pl/fifo.mp3")).constData(), 0600), 0);
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
            {"m3u8 utf-8", "h.M3U8", "", "UTF-8", "\n"},
        };
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QByteArray(r[2]) << QByteArray(r[3])
                                << QString(r[4]);
    }
    void readsEveryEncodingAndLineEnd() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bom);
        QFETCH(QByteArray, encoding);
        QFETCH(QString, lineEnd);
        // Entries relative to the playlist, with "\" joints and spaces
        // around, absolute and a URI; then entries that do not count; then
        // the first file again, written another way.
        const QString uri = "file://" + QUrl::toPercentEncoding(root_ + "/abs/space name.aif", "/");
        QString text = "#EXTM3U\n#EXTINF:123,Artist - Title\n曲1.mp3\n  sub\\曲 2.wav  \n" + root_ +
                       "/abs/Ａ.mid\n" + uri +
                       "\nmissing.mp3\n.hidden.mp3\nfolder.mp3\nfifo.mp3\n\nhttp://example.com/"
                       "stream.mp3\n../pl/sub/../曲1.mp3\n";
        QStringEncoder encoder(encoding.constData());
        QVERIFY(encoder.isValid());
        QVERIFY(diskfiles::write(path("pl/" + name),
                                 bom + encoder.encode(text.replace("\n", lineEnd))));
        const QStringList expected = {root_ + "/pl/曲1.mp3", root_ + "/pl/sub/曲 2.wav",
                                      root_ + "/abs/Ａ.mid", root_ + "/abs/space name.aif",
                                      root_ + "/pl/曲1.mp3"};
        QCOMPARE(readM3u(path("pl/" + name)), expected);
    }

    void whereEntriesAreLookedFor() {
        // A ".m3u8" file is UTF-8 even when its text is not.
        QVERIFY(diskfiles::write(path("pl/sjis.m3u8"),
                                 QStringEncoder("Shift_JIS").encode(u"曲1.mp3\n")));
        QCOMPARE(readM3u(path("pl/sjis.m3u8")), QStringList());
        // A name with "\" is first taken as written: on this system it may be
        // a character of the name.
        QVERIFY(diskfiles::write(path("pl/bs.m3u"), "back\\slash.mp3\n"));
        QCOMPARE(readM3u(path("pl/bs.m3u")), QStringList({root_ + "/pl/back\\slash.mp3"}));
        // A name found neither absolute nor beside the playlist is tried in
        // the current folder, and kept as an absolute path.
        QVERIFY(diskfiles::write(path("pl/cwd.m3u"), "space name.aif\n曲1.mp3\n"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path("abs")));
        const QStringList entries = readM3u(path("pl/cwd.m3u"));
        QDir::setCurrent(previous);
        QCOMPARE(entries, QStringList({root_ + "/abs/space name.aif", root_ + "/pl/曲1.mp3"}));
    }

    // A playlist that is not a file is refused at once (a pipe must not wait
    // for a writer); empty, random and huge ones read to a
    // result, quickly.
    void hostilePlaylists() {
        for (const QString& name : {path("pl/none.m3u"), path("pl/folder.mp3"), path("pl/fifo.mp3"),
                                    QString("/dev/null"), QString()})
            QCOMPARE(readM3u(name, false), QStringList());
        QByteArray noise(1 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(diskfiles::write(path("pl/noise.m3u"), noise));
        QVERIFY(diskfiles::write(path("pl/long.m3u"),
                                 QByteArray(10 * 1024 * 1024, 'a') + "\n曲1.mp3\n"));
        QVERIFY(diskfiles::write(path("pl/nul.m3u"), QByteArray("曲1.mp3\0junk\n", 14)));
        QVERIFY(diskfiles::write(path("pl/empty.m3u"), ""));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(readM3u(path("pl/noise.m3u")), QStringList());
        QCOMPARE(readM3u(path("pl/long.m3u")), QStringList({root_ + "/pl/曲1.mp3"}));
        // A NUL would cut the name short when it is looked up.
        QCOMPARE(readM3u(path("pl/nul.m3u")), QStringList());
        QCOMPARE(readM3u(path("pl/empty.m3u")), QStringList());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    // UTF-8 without a byte-order mark, each line ended by CR LF, to exactly
    // the name given, replacing an older, longer file; an empty list
    // writes an empty file.
    void writesExactBytes() {
        const QString target = path("out/list");
        QVERIFY(diskfiles::write(target, QByteArray(100, 'z')));
        QVERIFY(WriteM3uFile(target, {"/m/a.mp3", "/音楽/曲.mp3"}));
        QCOMPARE(diskfiles::read(target),
                 QByteArray("/m/a.mp3\r\n/\xE9\x9F\xB3\xE6\xA5\xBD/\xE6\x9B\xB2.mp3\r\n"));
        QVERIFY(WriteM3uFile(target, {}));
        QCOMPARE(diskfiles::read(target), QByteArray());
        QVERIFY(!QFile::exists(target + ".m3u"));
    }

    void writeFailuresKeepTheOldFile() {
        QVERIFY(diskfiles::write(path("keep/old.m3u"), "old\r\n"));
        QVERIFY(!WriteM3uFile(path("no/such/folder/x.m3u"), {"a"}));
        QVERIFY(!QFileInfo::exists(path("no/such/folder")));
        QVERIFY(!WriteM3uFile(path("keep"), {"a"}));        // a folder
        QVERIFY(!WriteM3uFile(path("pl/fifo.mp3"), {"a"})); // a pipe: never waits
        QVERIFY(!WriteM3uFile(QString(), {"a"}));
        QCOMPARE(diskfiles::read(path("keep/old.m3u")), QByteArray("old\r\n"));
        const QFileInfo fifo(path("pl/fifo.mp3"));
        QVERIFY(fifo.exists() && !fifo.isFile());
    }
};

QTEST_GUILESS_MAIN(TestM3uFile)
#include "tst_m3ufile.moc"
