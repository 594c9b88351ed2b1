#include "base/filehelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
}

QStringList search(const QString& folder, bool recurse) {
    QStringList files;
    SearchFiles(folder, files, recurse);
    SearchFiles(QString(), files, recurse);
    return files;
}

} // namespace

class TestFileHelpers : public QObject {
    Q_OBJECT

private slots:
    void isMusicFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow(".Mp3") << "song.Mp3" << true;
        QTest::newRow(".aif") << "song.aif" << true;
        QTest::newRow(".AIFF") << "song.AIFF" << true;
        QTest::newRow(".mid") << "song.mid" << true;
        QTest::newRow(".midi") << "song.midi" << true;
        QTest::newRow(".wav") << "song.wav" << true;
        QTest::newRow("no dot") << "mymp3" << true;
        QTest::newRow("bare") << "WAV" << true;
        QTest::newRow("japanese") << QString::fromUtf16(u"曲.mp3") << true;
        QTest::newRow(".ogg") << "song.ogg" << false;
        QTest::newRow(".aiffx") << "song.aiffx" << false;
        QTest::newRow(".mp4") << "song.mp4" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("full-width") << QString::fromUtf16(u"song.ＭＰ３") << false;
    }

    void isMusicFile() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(IsMusicFile(name), accepted);
    }

    void getFileTitle_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("spaces kept") << "/music/Track 01.mp3"
                                     << "Track 01";
        QTest::newRow("first dot") << "/music/my.song.mp3"
                                   << "my";
        QTest::newRow("no folder") << "song.wav"
                                   << "song";
        QTest::newRow("no dot") << "/music/README"
                                << "README";
        QTest::newRow("dot in folder") << "/music/v1.2/take.mid"
                                       << "take";
        QTest::newRow("leading dot") << "/music/.hidden.mp3"
                                     << "";
        QTest::newRow("trailing separator") << "/music/"
                                            << "";
        QTest::newRow("japanese") << QString::fromUtf16(u"/音楽/さくら　ver2.mp3")
                                  << QString::fromUtf16(u"さくら　ver2");
    }

    void getFileTitle() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(GetFileTitle(path), title);
    }

    void recurseFindsSubfolders() {
        QTemporaryDir dir;
        const QString root = dir.path();
        touch(root + "/a.mp3");
        touch(root + "/notes.txt");
        touch(root + "/sub/b.wav");
        touch(root + "/sub/deeper/c.mid");

        QCOMPARE(search(root, false), QStringList({root + "/a.mp3"}));
        QCOMPARE(search(root, true),
                 QStringList({root + "/a.mp3", root + "/sub/b.wav", root + "/sub/deeper/c.mid"}));
    }

    void entriesComeInNameOrder() {
        QTemporaryDir dir;
        const QString root = dir.path();
        // Created out of order; the walk must not depend on directory order.
        for (const char* name : {"c.mp3", "B.mp3", "a.mp3", "b.mp3", "10.wav", "2.wav"})
            touch(root + "/" + name);
        touch(root + "/A folder/x.mp3");
        // Case is ignored first ("A folder" before "a.mp3": space sorts before
        // "."), then upper case goes first.
        const QStringList expected = {root + "/10.wav", root + "/2.wav", root + "/A folder/x.mp3",
                                      root + "/a.mp3",  root + "/B.mp3", root + "/b.mp3",
                                      root + "/c.mp3"};
        QCOMPARE(search(root, true), expected);
    }

    void dotFoldersAreNeverEntered() {
        QTemporaryDir dir;
        const QString root = dir.path();
        touch(root + "/.cache/hidden.mp3");
        touch(root + "/visible/.git/x.wav");
        touch(root + "/visible/y.wav");
        touch(root + "/.top.mp3"); // a dot file is still a file
        QCOMPARE(search(root, true), QStringList({root + "/.top.mp3", root + "/visible/y.wav"}));
    }

    void linkLoopIsNotFollowed() {
        QTemporaryDir dir;
        const QString root = dir.path();
        touch(root + "/sub/a.mp3");
        QVERIFY(QFile::link(root, root + "/sub/loop"));
        QVERIFY(QFile::link(root + "/sub/a.mp3", root + "/sub/z-link.mp3"));
        QCOMPARE(search(root, true), QStringList({root + "/sub/a.mp3", root + "/sub/z-link.mp3"}));
    }

    void unreadableFolderIsSkipped() {
        if (::geteuid() == 0)
            QSKIP("root reads every folder");
        QTemporaryDir dir;
        const QString root = dir.path();
        touch(root + "/a.mp3");
        touch(root + "/locked/b.mp3");
        QFile::setPermissions(root + "/locked", QFileDevice::WriteOwner);
        const QStringList found = search(root, true);
        QFile::setPermissions(root + "/locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner);
        QCOMPARE(found, QStringList({root + "/a.mp3"}));
    }

    void missingFolderLeavesArrayAlone() {
        QStringList files = {"kept"};
        SearchFiles("/no/such/folder", files, true);
        SearchFiles(QString(), files, true);
        QCOMPARE(files, QStringList({"kept"}));
    }

    void runningCountIsSharedUntilReset() {
        QTemporaryDir one;
        QTemporaryDir two;
        touch(one.path() + "/a.mp3");
        touch(two.path() + "/b.mp3");
        touch(two.path() + "/c.mp3");

        // Without a reset the second search continues at the running count.
        QStringList files = {"old 1", "old 2", "old 3"};
        SearchFiles(one.path(), files, false);
        QCOMPARE(files, QStringList({one.path() + "/a.mp3"}));
        SearchFiles(two.path(), files, false);
        QCOMPARE(files, QStringList(
                            {one.path() + "/a.mp3", two.path() + "/b.mp3", two.path() + "/c.mp3"}));

        // After the reset a new search starts at index 0 again.
        SearchFiles(QString(), files, false);
        SearchFiles(one.path(), files, false);
        QCOMPARE(files, QStringList({one.path() + "/a.mp3"}));
        SearchFiles(QString(), files, false);
    }

    void japaneseNamesRoundTrip() {
        QTemporaryDir dir;
        const QString root = dir.path();
        const QString path = root + QString::fromUtf16(u"/アルバム/さくら.mp3");
        touch(path);
        QCOMPARE(search(root, true), QStringList({path}));
        QVERIFY(QFile::exists(path));
    }

    // Events run during the walk; a search started from one of them must not
    // disturb the one in progress.
    void eventsRunDuringWalkWithoutReentry() {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (int i = 0; i < 20; ++i)
            touch(root + QString("/%1.mp3").arg(i, 2, 10, QChar('0')));

        const int previous = SetSearchFilesYieldInterval(0);
        int timerRuns = 0;
        QStringList nested;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++timerRuns;
            SearchFiles(root, nested, true);
        });
        timer.start(0);
        const QStringList files = search(root, true);
        timer.stop();
        SetSearchFilesYieldInterval(previous);

        QVERIFY(timerRuns > 0);
        QVERIFY(nested.isEmpty());
        QCOMPARE(files.size(), 20);
        QCOMPARE(files.front(), root + "/00.mp3");
        QCOMPARE(files.back(), root + "/19.mp3");
    }
};

QTEST_GUILESS_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
