// Copying files into a folder: the streaming copy on real files, and the
// progress window over a copy running on its worker thread.

#include "../data/unprivileged.h"
#include "base/modal.h"
#include "diskfiles.h"
#include "export/copydialog.h"
#include "export/foldercopy.h"
#include "scriptedpresenter.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// Bytes that differ from position to position, so a chunk written twice
// or out of place shows.
QByteArray patterned(qint64 size, char seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) & 0xFF);
    return bytes;
}

} // namespace

class TestFolderCopy : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString src_;
    QString dst_;

private slots:
    void init() {
        src_ = dir_.path() + "/" + QTest::currentTestFunction() + "/src";
        dst_ = dir_.path() + "/" + QTest::currentTestFunction() + "/dst";
        QDir().mkpath(src_);
        QDir().mkpath(dst_);
    }
    void cleanup() { setModalHandler({}); }

    void copiesEachFileWholeAndInOrder() {
        // 2.5 MB and a byte spans three reads; the empty file none.
        const QByteArray big = patterned(5 * 512 * 1024 + 1, 3);
        QVERIFY(diskfiles::write(src_ + "/big.wav", big));
        QVERIFY(diskfiles::write(src_ + "/empty.mid", {}));
        QVERIFY(diskfiles::write(src_ + "/sub/small.mp3", "abc"));
        FolderCopy copy({src_ + "/big.wav", src_ + "/empty.mid", src_ + "/sub/small.mp3"}, dst_);
        QList<int> started;
        QVERIFY(copy.run([&](int i) { started << i; }));
        QCOMPARE(started, QList<int>({0, 1, 2}));
        QCOMPARE(copy.copied(), 3);
        QVERIFY(!copy.cancelled());
        QCOMPARE(copy.error(), QString());
        QCOMPARE(diskfiles::entries(dst_), QStringList({"big.wav", "empty.mid", "small.mp3"}));
        QCOMPARE(diskfiles::read(dst_ + "/big.wav"), big);
        QCOMPARE(diskfiles::read(dst_ + "/empty.mid"), QByteArray());
        QCOMPARE(diskfiles::read(dst_ + "/small.mp3"), QByteArray("abc"));
        // Sources stay as they were.
        QCOMPARE(diskfiles::read(src_ + "/big.wav"), big);
    }

    void theLaterOfTwoSameNamedFilesWins() {
        QVERIFY(diskfiles::write(src_ + "/a/song.mp3", "first"));
        QVERIFY(diskfiles::write(src_ + "/b/song.mp3", "second"));
        QVERIFY(diskfiles::write(dst_ + "/song.mp3", "already there, and longer"));
        FolderCopy copy({src_ + "/a/song.mp3", src_ + "/b/song.mp3"}, dst_);
        QVERIFY(copy.run());
        QCOMPARE(copy.copied(), 2);
        QCOMPARE(diskfiles::entries(dst_), QStringList({"song.mp3"}));
        QCOMPARE(diskfiles::read(dst_ + "/song.mp3"), QByteArray("second"));
    }

    void aMissingSourceStopsTheCopyThere() {
        QVERIFY(diskfiles::write(src_ + "/one.mp3", "1"));
        QVERIFY(diskfiles::write(src_ + "/three.mp3", "3"));
        FolderCopy copy({src_ + "/one.mp3", src_ + "/two.mp3", src_ + "/three.mp3"}, dst_);
        QList<int> started;
        QVERIFY(!copy.run([&](int i) { started << i; }));
        QCOMPARE(started, QList<int>({0, 1}));
        QCOMPARE(copy.copied(), 1);
        QVERIFY(!copy.cancelled());
        QCOMPARE(copy.error(), "ファイルが見つかりません。\n" + src_ + "/two.mp3");
        QCOMPARE(diskfiles::entries(dst_), QStringList({"one.mp3"}));
    }

    void aTargetThatCannotBeWrittenStopsTheCopy() {
        QVERIFY(diskfiles::write(src_ + "/song.mp3", "new"));
        // A folder where the file would go cannot be replaced by it.
        QVERIFY(QDir().mkpath(dst_ + "/song.mp3"));
        FolderCopy copy({src_ + "/song.mp3"}, dst_);
        QVERIFY(!copy.run());
        QCOMPARE(copy.copied(), 0);
        QVERIFY(copy.error().startsWith("コピー先に書き込めません。\n" + dst_ + "/song.mp3\n("));
        QVERIFY(QFileInfo(dst_ + "/song.mp3").isDir());
        QCOMPARE(diskfiles::entries(dst_), QStringList({"song.mp3"})); // no part-file left

        // The folder was removed after it was picked.
        FolderCopy gone({src_ + "/song.mp3"}, dst_ + "/gone");
        QVERIFY(!gone.run());
        QVERIFY(gone.error().startsWith("コピー先に書き込めません。\n" + dst_ + "/gone/song.mp3"));
    }

    void aReadOnlyFileIsNotReplaced() {
        QVERIFY(diskfiles::write(src_ + "/song.mp3", "new"));
        QVERIFY(diskfiles::write(dst_ + "/song.mp3", "kept"));
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                         QFile::WriteOther | QFile::ExeOther;
        // The unprivileged user reaches the folders and may write in dst.
        for (const QString& d :
             {dir_.path(), dir_.path() + "/" + QTest::currentTestFunction(), src_, dst_})
            QVERIFY(QFile::setPermissions(d, all));
        QVERIFY(QFile::setPermissions(dst_ + "/song.mp3", QFile::ReadOwner | QFile::ReadOther));
        FolderCopy copy({src_ + "/song.mp3"}, dst_);
        {
            Unprivileged user;
            if (!user.isActive())
                QSKIP("cannot act as an unprivileged user here");
            QVERIFY(!copy.run());
        }
        QVERIFY(copy.error().startsWith("コピー先に書き込めません。\n" + dst_ + "/song.mp3\n("));
        QCOMPARE(diskfiles::read(dst_ + "/song.mp3"), QByteArray("kept"));
        QCOMPARE(diskfiles::entries(dst_), QStringList({"song.mp3"}));
    }

    void aSourceThatIsAFolderStopsTheCopy() {
        QVERIFY(QDir().mkpath(src_ + "/folder.mp3"));
        FolderCopy copy({src_ + "/folder.mp3"}, dst_);
        QVERIFY(!copy.run());
        QVERIFY(copy.error().startsWith("ファイルを開けません。\n" + src_ + "/folder.mp3\n("));
        QCOMPARE(diskfiles::entries(dst_), QStringList());
    }

    void aCancelKeepsTheFilesCopiedSoFar() {
        QVERIFY(diskfiles::write(src_ + "/one.mp3", "1"));
        QVERIFY(diskfiles::write(src_ + "/two.mp3", "2"));
        QVERIFY(diskfiles::write(src_ + "/three.mp3", "3"));
        QVERIFY(diskfiles::write(dst_ + "/two.mp3", "old two"));
        FolderCopy copy({src_ + "/one.mp3", src_ + "/two.mp3", src_ + "/three.mp3"}, dst_);
        QVERIFY(!copy.run([&](int i) {
            if (i == 1)
                copy.cancel();
        }));
        QVERIFY(copy.cancelled());
        QCOMPARE(copy.copied(), 1);
        QCOMPARE(copy.error(), QString());
        // The file being copied keeps its old content, and nothing else is left.
        QCOMPARE(diskfiles::entries(dst_), QStringList({"one.mp3", "two.mp3"}));
        QCOMPARE(diskfiles::read(dst_ + "/two.mp3"), QByteArray("old two"));

        FolderCopy early({src_ + "/three.mp3"}, dst_);
        early.cancel();
        QVERIFY(!early.run());
        QVERIFY(early.cancelled());
        QCOMPARE(early.copied(), 0);
        QVERIFY(!QFileInfo::exists(dst_ + "/three.mp3"));
    }

    void copyingAFileOntoItselfKeepsIt() {
        const QByteArray bytes = patterned(3 * 1024 * 1024, 9);
        QVERIFY(diskfiles::write(src_ + "/song.wav", bytes));
        FolderCopy copy({src_ + "/song.wav"}, src_);
        QVERIFY(copy.run());
        QCOMPARE(diskfiles::read(src_ + "/song.wav"), bytes);
        QCOMPARE(diskfiles::entries(src_), QStringList({"song.wav"}));
    }

    void anEmptyListCopiesNothing() {
        FolderCopy copy({}, dst_);
        QVERIFY(copy.run());
        QCOMPARE(copy.copied(), 0);
        ScriptedPresenter boxes;
        int shown = 0;
        setModalHandler([&](QDialog&) { return ++shown; });
        CopyToFolder(nullptr, {}, dst_);
        QCOMPARE(shown, 0);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void theProgressWindowRunsUntilTheCopyEnds() {
        QVERIFY(diskfiles::write(src_ + "/one.mp3", "1"));
        QVERIFY(diskfiles::write(src_ + "/two.mp3", "2"));
        ScriptedPresenter boxes;
        QString title;
        setModalHandler([&](QDialog& d) {
            title = d.windowTitle();
            return d.exec();
        });
        CopyToFolder(nullptr, {src_ + "/one.mp3", src_ + "/two.mp3"}, dst_);
        QCOMPARE(title, QStringLiteral("指定フォルダへコピー"));
        QCOMPARE(diskfiles::entries(dst_), QStringList({"one.mp3", "two.mp3"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void aFailureIsDescribedInABox() {
        QVERIFY(diskfiles::write(src_ + "/one.mp3", "1"));
        ScriptedPresenter boxes;
        setModalHandler([](QDialog& d) { return d.exec(); });
        CopyToFolder(nullptr, {src_ + "/one.mp3", src_ + "/lost.mp3"}, dst_);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, "ファイルが見つかりません。\n" + src_ + "/lost.mp3");
        QCOMPARE(boxes.boxes()[0].style, 0);
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Melodara Player"));
        QCOMPARE(diskfiles::entries(dst_), QStringList({"one.mp3"}));
    }

    void cancelDuringTheCopy_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("キャンセル") << false;
        QTest::newRow("close box") << true;
    }

    void cancelDuringTheCopy() {
        QFETCH(bool, closeBox);
        // The second source is a pipe: opening it waits until the test
        // opens its other end, which holds the copy at that file.
        QVERIFY(diskfiles::write(src_ + "/one.mp3", "1"));
        QVERIFY(diskfiles::write(src_ + "/three.mp3", "3"));
        const QString pipe = src_ + "/two.mp3";
        QFile::remove(pipe);
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        ScriptedPresenter boxes;
        QString during;
        bool stillOpen = false;
        QString cancelling;
        setModalHandler([&](QDialog& d) {
            auto& progress = static_cast<frmCopyProgress&>(d);
            progress.show();
            if (!QTest::qWaitFor([&] { return progress.lblFile->text() == "two.mp3"; }, 60000))
                return -1;
            during = progress.lblProgress->text();
            if (closeBox)
                progress.close();
            else
                progress.cmdCancel->click();
            stillOpen = progress.isVisible() && !progress.cmdCancel->isEnabled();
            // A file reported late does not take the place of the cancel.
            progress.showFile(2, "three.mp3");
            cancelling = progress.lblProgress->text();
            // Opening the pipe's other end lets the copy open it; closing it
            // again without a byte (the copy may have let go already) ends
            // it. Were the cancel not seen, the empty file would be copied.
            QFile writer(pipe);
            writer.open(QIODevice::WriteOnly);
            writer.close();
            return progress.exec();
        });
        CopyToFolder(nullptr, {src_ + "/one.mp3", pipe, src_ + "/three.mp3"}, dst_);
        QCOMPARE(during, QStringLiteral("ファイルをコピーしています（2 / 3）"));
        QVERIFY(stillOpen);
        QCOMPARE(cancelling, QStringLiteral("キャンセルしています..."));
        QCOMPARE(diskfiles::entries(dst_), QStringList({"one.mp3"}));
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_MAIN(TestFolderCopy)
#include "tst_foldercopy.moc"
