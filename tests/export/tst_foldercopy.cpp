// Copying files into a folder: the streaming copy on real files, full
// disks included, and the copy command behind the shared progress dialog.

#include "../data/unprivileged.h"
#include "base/longwork.h"
#include "diskfiles.h"
#include "export/copydialog.h"
#include "export/foldercopy.h"
#include "scriptedpresenter.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

class TestFolderCopy : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString src_;
    QString dst_;
    int rowsRun_ = 0;

    // Writes these files in src, each holding its own name; their paths.
    QStringList sources(const QStringList& names) const {
        QStringList paths;
        for (const QString& name : names) {
            paths << src_ + QStringLiteral("/") + name;
            diskfiles::write(paths.last(), name.toUtf8()); // a file not written fails the copy
        }
        return paths;
    }
    // What the target folder holds: folders marked "/", files with their
    // bytes when they are short.
    QString contents() const {
        QStringList out;
        for (const QString& name : diskfiles::entries(dst_)) {
            const QFileInfo file(dst_ + QStringLiteral("/") + name);
            out << name + (file.isDir() ? QStringLiteral("/")
                           : file.size() <= 64
                               ? QStringLiteral("=") +
                                     QString::fromUtf8(diskfiles::read(file.filePath()))
                               : QString());
        }
        return out.join(u',');
    }
    // Runs the copy, cancelled as file `cancelAt` starts: whether it ended
    // well, failed or was cancelled, the files it started, how many it
    // copied, its error (the folders as "src" and "dst", the system's
    // reason as "(...)") and what the target folder then holds.
    QString run(FolderCopy& copy, int cancelAt = -1, bool cancelFirst = false) {
        QStringList started;
        bool cancel = cancelFirst;
        const bool ok = copy.run(
            [&](int i) {
                started << QString::number(i);
                cancel = cancel || i == cancelAt;
            },
            [&] { return cancel; });
        QString error = copy.error();
        error.replace(src_, QStringLiteral("src")).replace(dst_, QStringLiteral("dst"));
        error.replace(QRegularExpression(QStringLiteral("\\n\\(.+\\)$")), QStringLiteral(" (...)"));
        const char* end = ok ? "ok" : copy.cancelled() ? "cancelled" : "failed";
        return QStringList{QString::fromUtf8(end), started.join(u','),
                           QString::number(copy.copied()), error, contents()}
            .join(QStringLiteral(" | "));
    }
    // What `work` returns when run in a child process, which may change
    // its limits and mounts without touching this one; "skip" when the
    // child exits with 77.
    static QString inChild(const std::function<QString()>& work) {
        int out[2];
        if (pipe(out) != 0)
            return QStringLiteral("<no pipe>");
        const pid_t child = fork();
        if (child == 0) {
            close(out[0]);
            const QByteArray result = work().toUtf8();
            const bool sent = ::write(out[1], result.constData(), size_t(result.size())) ==
                              ssize_t(result.size());
            _exit(sent ? 0 : 1);
        }
        close(out[1]);
        QFile pipeEnd;
        pipeEnd.open(out[0], QIODevice::ReadOnly, QFile::AutoCloseHandle);
        const QString result = QString::fromUtf8(pipeEnd.readAll());
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            return QStringLiteral("skip");
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result
                                                             : QStringLiteral("<child failed>");
    }

private slots:
    void init() {
        // Each row of a table has folders of its own.
        const QString folder = dir_.path() + QStringLiteral("/") +
                               QString::fromUtf8(QTest::currentTestFunction()) +
                               QStringLiteral("/") + QString::number(++rowsRun_);
        src_ = folder + QStringLiteral("/src");
        dst_ = folder + QStringLiteral("/dst");
        QVERIFY(QDir().mkpath(src_) && QDir().mkpath(dst_));
    }

    void copiesEachFileWholeAndInOrder() {
        // 2.5 MB and a byte spans three reads; the empty file none. Bytes
        // differ from place to place, so a chunk written twice or out of
        // place shows.
        QByteArray big(5 * 512 * 1024 + 1, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char((i * 7 + 3) & 0xFF);
        QVERIFY(diskfiles::write(src_ + QStringLiteral("/big.wav"), big));
        QVERIFY(diskfiles::write(src_ + QStringLiteral("/empty.mid"), {}));
        QVERIFY(diskfiles::write(src_ + QStringLiteral("/sub/small.mp3"), "abc"));
        FolderCopy copy({src_ + QStringLiteral("/big.wav"), src_ + QStringLiteral("/empty.mid"),
                         src_ + QStringLiteral("/sub/small.mp3")},
                        dst_);
        QCOMPARE(run(copy), QStringLiteral("ok | 0,1,2 | 3 |  | big.wav,empty.mid=,small.mp3=abc"));
        QCOMPARE(diskfiles::read(dst_ + QStringLiteral("/big.wav")), big);
        QCOMPARE(diskfiles::read(src_ + QStringLiteral("/big.wav")),
                 big); // sources stay as they were
        // A file copied onto itself keeps its bytes.
        FolderCopy onto({dst_ + QStringLiteral("/big.wav")}, dst_);
        QVERIFY(onto.run());
        QCOMPARE(diskfiles::read(dst_ + QStringLiteral("/big.wav")), big);
    }

    void theLaterOfTwoSameNamedFilesWins() {
        QVERIFY(diskfiles::write(dst_ + QStringLiteral("/song.mp3"), "already there, and longer"));
        FolderCopy copy(sources({QStringLiteral("a/song.mp3"), QStringLiteral("b/song.mp3")}),
                        dst_);
        QCOMPARE(run(copy), QStringLiteral("ok | 0,1 | 2 |  | song.mp3=b/song.mp3"));
    }

    void theFirstFailureEndsTheCopy() {
        FolderCopy missing(sources({QStringLiteral("one.mp3")})
                               << src_ + QStringLiteral("/two.mp3")
                               << sources({QStringLiteral("three.mp3")}),
                           dst_);
        QCOMPARE(
            run(missing),
            QStringLiteral(
                "failed | 0,1 | 1 | ファイルが見つかりません。\nsrc/two.mp3 | one.mp3=one.mp3"));
        // A folder where the file would go cannot be replaced by it, and no
        // part-file is left beside it.
        QVERIFY(QDir().mkpath(dst_ + QStringLiteral("/song.mp3")));
        FolderCopy blocked(sources({QStringLiteral("song.mp3")}), dst_);
        QCOMPARE(run(blocked),
                 QStringLiteral("failed | 0 | 0 | コピー先に書き込めません。\ndst/song.mp3 (...) | "
                                "one.mp3=one.mp3,song.mp3/"));
        // The folder was removed after it was picked.
        FolderCopy gone(sources({QStringLiteral("song.mp3")}), dst_ + QStringLiteral("/gone"));
        QCOMPARE(
            run(gone),
            QStringLiteral("failed | 0 | 0 | コピー先に書き込めません。\ndst/gone/song.mp3 (...) | "
                           "one.mp3=one.mp3,song.mp3/"));
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/folder.mp3")));
        FolderCopy folder({src_ + QStringLiteral("/folder.mp3")}, dst_);
        QCOMPARE(run(folder),
                 QStringLiteral("failed | 0 | 0 | ファイルを開けません。\nsrc/folder.mp3 (...) | "
                                "one.mp3=one.mp3,song.mp3/"));
        FolderCopy none({}, dst_);
        QCOMPARE(run(none), QStringLiteral("ok |  | 0 |  | one.mp3=one.mp3,song.mp3/"));
    }

    // By its permission bits, also for the superuser, who may write it.
    void aReadOnlyFileIsNotReplaced_data() {
        QTest::addColumn<bool>("root");
        QTest::newRow("unprivileged user") << false;
        QTest::newRow("superuser") << true;
    }
    void aReadOnlyFileIsNotReplaced() {
        QFETCH(bool, root);
        if (root && geteuid() != 0)
            QSKIP("the tests do not run as the superuser here");
        QVERIFY(diskfiles::write(dst_ + QStringLiteral("/song.mp3"), "kept"));
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                         QFile::WriteOther | QFile::ExeOther;
        // The unprivileged user reaches the folders and may write in dst.
        for (const QString& d : {dir_.path(), QFileInfo(QFileInfo(src_).path()).path(),
                                 QFileInfo(src_).path(), src_, dst_})
            QVERIFY(QFile::setPermissions(d, all));
        QVERIFY(QFile::setPermissions(dst_ + QStringLiteral("/song.mp3"),
                                      QFile::ReadOwner | QFile::ReadOther));
        FolderCopy copy(sources({QStringLiteral("song.mp3")}), dst_);
        QString outcome;
        if (root) {
            outcome = run(copy);
        } else {
            Unprivileged user;
            if (!user.isActive())
                QSKIP("cannot act as an unprivileged user here");
            outcome = run(copy);
        }
        QCOMPARE(outcome,
                 QStringLiteral("failed | 0 | 0 | コピー先に書き込めません。\ndst/song.mp3 (...) | "
                                "song.mp3=kept"));
    }

    // A name near the system's limit of 255 bytes is copied, new or
    // replacing a file of that name.
    void aNameNearTheLimitIsCopied() {
        const QString name = QString(246, u'n') + QStringLiteral(".mp3"); // 250 bytes
        FolderCopy fresh(sources({name}), dst_);
        QCOMPARE(run(fresh),
                 QStringLiteral("ok | 0 | 1 |  | ") + name); // too long to show its bytes
        QVERIFY(diskfiles::write(src_ + QStringLiteral("/") + name, "newer"));
        FolderCopy replacing({src_ + QStringLiteral("/") + name}, dst_);
        QCOMPARE(run(replacing), QStringLiteral("ok | 0 | 1 |  | %1=newer").arg(name));
    }

    // A replaced file keeps its mode; a new one gets rw-r--r--.
    void theTargetKeepsItsMode_data() {
        QTest::addColumn<int>("before"); // -1: no file there
        QTest::addColumn<int>("after");
        QTest::newRow("new file") << -1 << 0644;
        QTest::newRow("rw-r-----") << 0640 << 0640;
        QTest::newRow("rw-rw-rw-") << 0666 << 0666;
        QTest::newRow("rwxr-x---") << 0750 << 0750;
    }
    void theTargetKeepsItsMode() {
        QFETCH(int, before);
        const QString target = dst_ + QStringLiteral("/song.mp3");
        if (before >= 0) {
            QVERIFY(diskfiles::write(target, "old"));
            QCOMPARE(chmod(QFile::encodeName(target).constData(), mode_t(before)), 0);
        }
        FolderCopy copy(sources({QStringLiteral("song.mp3")}), dst_);
        QCOMPARE(run(copy), QStringLiteral("ok | 0 | 1 |  | song.mp3=song.mp3"));
        struct stat st {};
        QCOMPARE(stat(QFile::encodeName(target).constData(), &st), 0);
        QTEST(int(st.st_mode & 07777), "after");
    }

    // The disk fills, or the file grows past what the system allows, part
    // way through a file: the copy fails naming the file, and no part of it
    // is left. A full disk is a small file system of its own, mounted where
    // the machine lets the tests do so, the size limit a limit of the
    // process; both in a child process.
    void aFailingWriteFailsTheCopy_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("outcome");
        const QString full = QStringLiteral(
            "failed | 0 | 0 | コピー先の空き容量が足りません。\ndst/big.wav (...) | ");
        // A source on the same file system is copied by the kernel.
        QTest::newRow("disk fills, copied by the kernel") << "full, source beside" << full;
        QTest::newRow("disk fills, copied through the buffer") << "full, source elsewhere" << full;
        QTest::newRow("file size limit")
            << "size limit"
            << "failed | 0 | 0 | コピー先に書き込めません。\ndst/big.wav (...) | ";
    }
    void aFailingWriteFailsTheCopy() {
        QFETCH(QString, fault);
        const QString folder = QFileInfo(src_).path();
        QByteArray big(3 * 1024 * 1024 + 5, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 13);
        // On the machine's own disk, outside the small file system.
        const QString outside = folder + QStringLiteral("/../outside/big.wav");
        QVERIFY(diskfiles::write(outside, big));
        const QString outcome = inChild([&] {
            if (fault == QStringLiteral("size limit")) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{1024 * 1024 + 1000, RLIM_INFINITY};
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    return QStringLiteral("<no limit>");
            } else {
                // 4 MB for both folders; the source beside takes 3 of them.
                if (unshare(CLONE_NEWNS) != 0 ||
                    mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                    mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=4m") !=
                        0)
                    _exit(77);
                QDir().mkpath(src_);
                QDir().mkpath(dst_);
            }
            QString source = outside;
            if (fault == QStringLiteral("full, source beside")) {
                source = src_ + QStringLiteral("/big.wav");
                if (!diskfiles::write(source, big))
                    return QStringLiteral("<no source>");
            } else if (fault == QStringLiteral("full, source elsewhere")) {
                // Fills the disk up to 2 MB free.
                if (!diskfiles::write(folder + QStringLiteral("/filler"),
                                      QByteArray(2 * 1024 * 1024, 'f')))
                    return QStringLiteral("<no filler>");
            }
            FolderCopy copy({source}, dst_);
            return run(copy);
        });
        if (outcome == QStringLiteral("skip"))
            QSKIP("cannot mount a small file system here");
        QTEST(outcome, "outcome");
    }

    // A copy killed part-way never leaves part of a file under its name:
    // the target is absent or whole, whenever the kill came.
    void aKilledCopyLeavesNoPartOfAFile() {
        QByteArray big(48 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); i += 4096)
            big[i] = char(i / 4096);
        QVERIFY(diskfiles::write(src_ + QStringLiteral("/big.wav"), big));
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            FolderCopy copy({src_ + QStringLiteral("/big.wav")}, dst_);
            copy.run();
            _exit(0);
        }
        // Killed as soon as anything shows in the folder.
        QVERIFY(QTest::qWaitFor(
            [&] { return !QDir(dst_).entryList(QDir::Files | QDir::Hidden).isEmpty(); }, 10000));
        kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        const QFileInfo target(dst_ + QStringLiteral("/big.wav"));
        QVERIFY2(!target.exists() || target.size() == big.size(),
                 qPrintable(QString::number(target.size())));
    }

    void aCancelKeepsTheFilesCopiedSoFar() {
        QVERIFY(diskfiles::write(dst_ + QStringLiteral("/two.mp3"), "old two"));
        FolderCopy copy(sources({QStringLiteral("one.mp3"), QStringLiteral("two.mp3"),
                                 QStringLiteral("three.mp3")}),
                        dst_);
        // The file being copied keeps its old bytes, and nothing else is left.
        QCOMPARE(run(copy, 1),
                 QStringLiteral("cancelled | 0,1 | 1 |  | one.mp3=one.mp3,two.mp3=old two"));
        FolderCopy early(sources({QStringLiteral("three.mp3")}), dst_);
        QCOMPARE(run(early, -1, true),
                 QStringLiteral("cancelled |  | 0 |  | one.mp3=one.mp3,two.mp3=old two"));
    }

    // Files of the same name there: asked once, to replace them, keep them
    // or copy nothing; with none there nothing is asked.
    void askedOnceBeforeReplacing_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("contents");
        QTest::newRow("replace") << int(msgbox::Yes)
                                 << "one.mp3=one.mp3,three.mp3=three.mp3,two.mp3=two.mp3";
        QTest::newRow("keep") << int(msgbox::No)
                              << "one.mp3=one.mp3,three.mp3=old three,two.mp3=old two";
        QTest::newRow("cancel") << int(msgbox::Cancel) << "three.mp3=old three,two.mp3=old two";
    }
    void askedOnceBeforeReplacing() {
        QFETCH(int, answer);
        QVERIFY(diskfiles::write(dst_ + QStringLiteral("/two.mp3"), "old two"));
        QVERIFY(diskfiles::write(dst_ + QStringLiteral("/three.mp3"), "old three"));
        ScriptedPresenter boxes;
        boxes.answer(answer);
        CopyToFolder(nullptr,
                     sources({QStringLiteral("one.mp3"), QStringLiteral("two.mp3"),
                              QStringLiteral("three.mp3")}),
                     dst_);
        QTEST(contents(), "contents");
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text,
                 QStringLiteral("コピー先に同じ名前のファイルが 2 個あります。\n"
                                "置き換えますか？（「いいえ」でそれらのファイルを残します）"));
        QCOMPARE(boxes.boxes()[0].style, 0x23);
        CopyToFolder(nullptr, sources({QStringLiteral("four.mp3")}), dst_);
        QCOMPARE(boxes.boxes().size(), 1);
    }

    // A pipe or a socket among the sources is passed over at once, a pipe
    // with or without a writer at its other end, and both are named
    // afterwards; the files around them are copied.
    void aPipeIsSkippedWithANote() {
        const QStringList files = sources({QStringLiteral("one.mp3"), QStringLiteral("four.mp3")});
        const QString pipe = src_ + QStringLiteral("/two.mp3");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString socketPath = src_ + QStringLiteral("/three.mp3");
        const int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socketPath).constData(),
                 sizeof address.sun_path);
        QCOMPARE(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        // Were the copy waiting on the pipe, a writer lets it go on at last.
        bool waited = false;
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, [&] {
            waited = true;
            QFile writer(pipe);
            writer.open(QIODevice::WriteOnly);
        });
        rescue.start(10000);
        ScriptedPresenter boxes;
        CopyToFolder(nullptr, {files[0], pipe, socketPath, files[1]}, dst_);
        close(socketFd);
        QVERIFY(!waited);
        QCOMPARE(contents(), QStringLiteral("four.mp3=four.mp3,one.mp3=one.mp3"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(
            boxes.boxes()[0].text,
            QStringLiteral("通常のファイルではないため、次のファイルはコピーしませんでした。\n") +
                pipe + QStringLiteral("\n") + socketPath);
    }

    void cancelDuringTheCopy_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("キャンセル") << false;
        QTest::newRow("close box") << true;
    }
    void cancelDuringTheCopy() {
        QFETCH(bool, closeBox);
        // The copy is held as the second file starts, until the test has
        // cancelled; were the cancel not seen, the rest would be copied.
        QSemaphore reached, go;
        FolderCopy::setFileHook([&](int index) {
            if (index == 1) {
                reached.release();
                go.acquire();
            }
        });
        QString shown;
        bool stillOpen = false;
        bool cancelEnabled = true;
        QTimer poll;
        setLongWorkWatcher([&](QDialog& dialog, WorkProgress&) {
            auto* label = dialog.findChild<QLabel*>(QStringLiteral("lblLongWork"));
            auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("cmdLongWorkCancel"));
            QObject::connect(&poll, &QTimer::timeout, [&, label, cancel] {
                if (!label->text().endsWith(QStringLiteral("two.mp3")) || !reached.tryAcquire())
                    return;
                poll.stop();
                shown = label->text();
                if (closeBox)
                    dialog.close();
                else
                    cancel->click();
                stillOpen = dialog.isVisible();
                cancelEnabled = cancel->isEnabled();
                go.release();
            });
            poll.start(10);
        });
        ScriptedPresenter boxes;
        CopyToFolder(nullptr,
                     sources({QStringLiteral("one.mp3"), QStringLiteral("two.mp3"),
                              QStringLiteral("three.mp3")}),
                     dst_);
        setLongWorkWatcher({});
        FolderCopy::setFileHook({});
        QCOMPARE(shown, QStringLiteral("ファイルをコピーしています（2 / 3）\ntwo.mp3"));
        QVERIFY(stillOpen);
        QVERIFY(!cancelEnabled);
        QCOMPARE(contents(), QStringLiteral("one.mp3=one.mp3"));
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_MAIN(TestFolderCopy)
#include "tst_foldercopy.moc"
