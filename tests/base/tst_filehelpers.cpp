#include "base/filehelpers.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
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

    // A pipe or a broken link named like music is no song: playing a pipe
    // would wait for ever.
    void onlyOrdinaryFilesAreTaken() {
        QTemporaryDir dir;
        const QString root = dir.path();
        touch(root + "/a.mp3");
        QCOMPARE(::mkfifo(QFile::encodeName(root + "/pipe.mp3").constData(), 0600), 0);
        QVERIFY(QFile::link(root + "/missing.wav", root + "/broken.wav"));
        QCOMPARE(search(root, true), QStringList({root + "/a.mp3"}));
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

    // The watch hears the running count at every yield and can stop the
    // walk at once.
    void watchFollowsAndStopsTheWalk() {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (int i = 0; i < 10; ++i)
            touch(root + QString("/%1.mp3").arg(i));
        touch(root + "/notes.txt");

        const int previous = SetSearchFilesYieldInterval(0);
        QList<int> heard;
        SearchWatch all;
        all.progress = [&](int found) {
            heard << found;
            return true;
        };
        QStringList files;
        SearchFiles(root, files, true, &all);
        SearchFiles(QString(), files, true);
        QCOMPARE(files.size(), 10);
        QVERIFY(!all.cancelled);
        // One yield per entry: ten files, then the text file.
        QCOMPARE(heard, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10}));

        SearchWatch stop;
        stop.progress = [](int found) { return found < 3; };
        files.clear();
        SearchFiles(root, files, true, &stop);
        SearchFiles(QString(), files, true);
        SetSearchFilesYieldInterval(previous);
        QVERIFY(stop.cancelled);
        QCOMPARE(files, QStringList({root + "/0.mp3", root + "/1.mp3", root + "/2.mp3"}));
    }

    // Names whose bytes are not valid text are left out and counted, music
    // files and folders alike; other files with such names are ignored.
    void undecodableNamesAreLeftOut() {
        QTemporaryDir dir;
        const QString root = dir.path();
        const QByteArray raw = QFile::encodeName(root);
        // QTemporaryDir cannot remove names it cannot read as text.
        const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(raw.constData()); });
        touch(root + "/good.mp3");
        for (const QByteArray& name : {QByteArray("/bad\xff.mp3"), QByteArray("/bad\xfe.txt")}) {
            const int fd = ::open((raw + name).constData(), O_CREAT | O_WRONLY, 0600);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        QVERIFY(::mkdir((raw + "/dir\xfe").constData(), 0700) == 0);
        QVERIFY(::mkdir((raw + "/dir\xfe/inner").constData(), 0700) == 0);
        const int fd = ::open((raw + "/dir\xfe/in.mp3").constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);

        SearchWatch flat;
        QStringList files;
        SearchFiles(root, files, false, &flat);
        SearchFiles(QString(), files, false);
        QCOMPARE(files, QStringList({root + "/good.mp3"}));
        QCOMPARE(flat.undecodable, 1); // the folder is not entered without recursion
        QCOMPARE(flat.undecodableShown, QStringList({root + "/bad\uFFFD.mp3"}));

        SearchWatch deep;
        files.clear();
        SearchFiles(root, files, true, &deep);
        SearchFiles(QString(), files, true);
        QCOMPARE(files, QStringList({root + "/good.mp3"}));
        QCOMPARE(deep.undecodable, 2);
        QCOMPARE(deep.unreadableFolders, 0);
    }

    // A folder that disappears while the walk is under way is skipped and
    // counted; the rest of the walk goes on.
    void vanishingFolderIsCounted() {
        QTemporaryDir dir;
        const QString root = dir.path();
        touch(root + "/a/1.mp3");
        touch(root + "/b/2.mp3");
        touch(root + "/c/3.mp3");
        const int previous = SetSearchFilesYieldInterval(0);
        SearchWatch watch;
        watch.progress = [&](int) {
            QDir(root + "/b").removeRecursively();
            return true;
        };
        QStringList files;
        SearchFiles(root, files, true, &watch);
        SearchFiles(QString(), files, true);
        SetSearchFilesYieldInterval(previous);
        QCOMPARE(files, QStringList({root + "/a/1.mp3", root + "/c/3.mp3"}));
        QCOMPARE(watch.unreadableFolders, 1);
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
