// One running program per library, with real lock files and sockets: a
// second start on the same library hands its files to the first and ends,
// a library elsewhere runs beside, a lock left by a killed process is taken
// over, and a holder that does not answer is not waited on for ever.

#include "app/singleinstance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <unistd.h>

using Claim = SingleInstance::Claim;

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString library(const QString& folder = QStringLiteral("a")) const {
        return dir_.path() + u'/' + folder + QStringLiteral("/DataBase/MelodaraPlayer.db");
    }

    // The helper program on `args`, its first line read.
    static QString startHolder(QProcess& process, const QStringList& args) {
        process.start(QStringLiteral(INSTANCE_HOLDER), args);
        if (!process.waitForStarted() || !process.waitForReadyRead(10000))
            return QStringLiteral("<no answer>");
        return QString::fromUtf8(process.readLine()).trimmed();
    }
    // The helper run to its end (a first one is ended), its first line.
    static QString runHolder(const QStringList& args) {
        QProcess process;
        const QString line = startHolder(process, args);
        if (line == u"first")
            process.kill();
        process.waitForFinished(10000);
        return line;
    }

private slots:
    // In one process, the second start's blocking hand-over runs on a
    // thread of its own while the first serves it.
    void secondStartHandsOverItsFiles_data() {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("plain start: raise only") << QStringList();
        QTest::newRow("files") << QStringList{QStringLiteral("/m/a b.mp3"),
                                              QStringLiteral("/m/フォルダ"),
                                              QStringLiteral("/m/list.m3u")};
    }
    void secondStartHandsOverItsFiles() {
        QFETCH(QStringList, files);
        SingleInstance first(library());
        QCOMPARE(first.claim(), Claim::First);
        QVERIFY(QFile::exists(library() + QStringLiteral(".lock")));
        QSignalSpy requested(&first, &SingleInstance::requested);
        // The same file spelled another way is the same library.
        SingleInstance second(dir_.path() +
                              QStringLiteral("/a/DataBase/../DataBase/MelodaraPlayer.db"));
        QCOMPARE(second.claim(), Claim::Running);
        auto handed = std::async(std::launch::async, [&] { return second.handOver(files); });
        QVERIFY(requested.wait(5000));
        QCOMPARE(requested.first().first().toStringList(), files);
        QVERIFY(handed.get());
    }

    void anotherLibraryRunsBesideAndAnEndedOneIsFree() {
        auto first = std::make_unique<SingleInstance>(library());
        QCOMPARE(first->claim(), Claim::First);
        SingleInstance other(library(QStringLiteral("b")));
        QCOMPARE(other.claim(), Claim::First);
        QVERIFY(SingleInstance::serverName(library()) !=
                SingleInstance::serverName(library(QStringLiteral("b"))));
        first.reset();
        QVERIFY(!QFile::exists(library() + QStringLiteral(".lock")));
        SingleInstance next(library());
        QCOMPARE(next.claim(), Claim::First);
    }

    // Two real processes: the second prints that it handed over and ends;
    // the first prints what it got.
    void secondProcessHandsOverToTheFirst() {
        QProcess first;
        QCOMPARE(startHolder(first, {library(QStringLiteral("p"))}), QStringLiteral("first"));
        QCOMPARE(runHolder({library(QStringLiteral("p")), QStringLiteral("/m/x.mp3"),
                            QStringLiteral("/m/y")}),
                 QStringLiteral("handed"));
        QVERIFY(first.canReadLine() || first.waitForReadyRead(5000));
        QCOMPARE(QString::fromUtf8(first.readLine()).trimmed(),
                 QStringLiteral("files: /m/x.mp3|/m/y"));
        QCOMPARE(runHolder({library(QStringLiteral("q"))}), QStringLiteral("first"));
        first.kill();
        first.waitForFinished();
    }

    // A holder killed outright leaves its lock file; the next start finds
    // its process gone and takes the library.
    void lockOfAKilledProcessIsTakenOver() {
        QProcess holder;
        QCOMPARE(startHolder(holder, {library(QStringLiteral("k"))}), QStringLiteral("first"));
        holder.kill();
        QVERIFY(holder.waitForFinished());
        QVERIFY(QFile::exists(library(QStringLiteral("k")) + QStringLiteral(".lock")));
        SingleInstance next(library(QStringLiteral("k")));
        QCOMPARE(next.claim(), Claim::First);
        QSignalSpy requested(&next, &SingleInstance::requested);
        QProcess second;
        second.start(QStringLiteral(INSTANCE_HOLDER),
                     {library(QStringLiteral("k")), QStringLiteral("/m/z.mp3")});
        QVERIFY(requested.wait(5000));
        QCOMPARE(requested.first().first().toStringList(), QStringList{QStringLiteral("/m/z.mp3")});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()).trimmed(),
                 QStringLiteral("handed"));
    }

    // A lock held by a live process that does not answer: the hand-over
    // gives up after its time, and the lock's age never makes it stale.
    void silentHolderIsNotWaitedOnForEver() {
        QLockFile lock(library(QStringLiteral("s")) + QStringLiteral(".lock"));
        QVERIFY(QDir().mkpath(dir_.path() + QStringLiteral("/s/DataBase")));
        QVERIFY(lock.tryLock(0));
        QFile lockFile(library(QStringLiteral("s")) + QStringLiteral(".lock"));
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                     QFileDevice::FileModificationTime));
        lockFile.close();
        SingleInstance second(library(QStringLiteral("s")));
        QCOMPARE(second.claim(), Claim::Running);
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!second.handOver({QStringLiteral("/m/a.mp3")}, 300));
        QVERIFY(waited.elapsed() >= 300);
        QVERIFY(waited.elapsed() < 3000);
    }

    void readOnlyFolderRunsUnguarded() {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QVERIFY(QDir().mkpath(dir_.path() + QStringLiteral("/r/DataBase")));
        QVERIFY(QFile::setPermissions(dir_.path() + QStringLiteral("/r/DataBase"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        SingleInstance instance(library(QStringLiteral("r")));
        QCOMPARE(instance.claim(), Claim::Unguarded);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
