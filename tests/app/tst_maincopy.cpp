// The main window's copy command against a real library and real files:
// the notice, the folder picker, the list's file paths in display order,
// the failure box, and nothing copied when the picker is cancelled.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "export/copydialog.h"
#include "scriptedpresenter.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMessage26 = QStringLiteral("現在のセットリスト内のファイルをフォルダに書き出します");

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// What the dialogs of one copy saw.
struct Dialogs {
    int pickers = 0;
    int progress = 0;
};

// Answers the folder picker with `folder` (cancels it when empty) and runs
// the progress window.
void answerPicker(const QString& folder, Dialogs& seen) {
    setModalHandler([folder, &seen](QDialog& dialog) {
        if (qobject_cast<frmCopyProgress*>(&dialog)) {
            ++seen.progress;
            return dialog.exec();
        }
        auto* picker = qobject_cast<QFileDialog*>(&dialog);
        if (!picker)
            return -1;
        ++seen.pickers;
        if (folder.isEmpty())
            return 0;
        picker->setDirectory(folder);
        QMetaObject::invokeMethod(picker, "accept", Qt::DirectConnection);
        return 1;
    });
}

} // namespace

class TestMainCopy : public QObject {
    Q_OBJECT

    QTemporaryDir target_;

    // A library of songs "one/song", "two/song" and "three" (their files
    // are <library>/music/<title>.mp3), shown by title and file path.
    static void fill(TempLibrary& lib) {
        for (const char* t : {"one/song", "two/song", "three"})
            lib.addSong(t);
        lib.showColumns({"曲名", "ﾌｧｲﾙﾊﾟｽ"});
    }
    static QString music(TempLibrary& lib, const QString& title) {
        return lib.folder() + "/music/" + title + ".mp3";
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void init() {
        for (const QString& name : entries(target_.path()))
            QFile::remove(target_.path() + "/" + name);
    }
    void cleanup() { setModalHandler({}); }

    void copiesTheListInItsDisplayOrder() {
        TempLibrary lib;
        fill(lib);
        QVERIFY(writeFile(music(lib, "one/song"), "one"));
        QVERIFY(writeFile(music(lib, "two/song"), "two"));
        QVERIFY(writeFile(music(lib, "three"), "three"));
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        // two/song, three, one/song: one/song is further down, so it wins.
        w.lvSongList->songs().setSort(true, 0, 1);
        Dialogs seen;
        answerPicker(target_.path(), seen);
        w.action("mnuFile_CopySong")->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kMessage26);
        QCOMPARE(boxes.boxes()[0].style, 0);
        QCOMPARE(seen.pickers, 1);
        QCOMPARE(seen.progress, 1);
        QCOMPARE(entries(target_.path()), QStringList({"song.mp3", "three.mp3"}));
        QCOMPARE(readFile(target_.path() + "/song.mp3"), QByteArray("one"));
        QCOMPARE(readFile(target_.path() + "/three.mp3"), QByteArray("three"));
    }

    void aMissingFileStopsTheCopyWithItsDescription() {
        TempLibrary lib;
        fill(lib);
        QVERIFY(writeFile(music(lib, "one/song"), "one"));
        QVERIFY(writeFile(music(lib, "two/song"), "two"));
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        Dialogs seen;
        answerPicker(target_.path(), seen);
        // "three" is in the middle either way round.
        w.lvSongList->songs().setSort(true, 0, 0); // one/song, three, two/song
        w.mnuFile_CopySong_Click();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[1].text, "ファイルが見つかりません。\n" + music(lib, "three"));
        QCOMPARE(boxes.boxes()[1].style, 0);
        QCOMPARE(boxes.boxes()[1].title, QStringLiteral("Melodara Player"));
        QCOMPARE(entries(target_.path()), QStringList({"song.mp3"}));
        QCOMPARE(readFile(target_.path() + "/song.mp3"), QByteArray("one"));

        w.lvSongList->songs().setSort(true, 0, 1); // two/song, three, one/song
        boxes.clear();
        w.mnuFile_CopySong_Click();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(readFile(target_.path() + "/song.mp3"), QByteArray("two"));
    }

    void cancellingThePickerCopiesNothing() {
        TempLibrary lib;
        fill(lib);
        QVERIFY(writeFile(music(lib, "three"), "three"));
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        Dialogs seen;
        answerPicker(QString(), seen);
        w.mnuFile_CopySong_Click();
        QCOMPARE(seen.pickers, 1);
        QCOMPARE(seen.progress, 0);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(entries(target_.path()), QStringList());
    }

    void withoutAFilePathColumnNothingIsCopied() {
        TempLibrary lib;
        fill(lib);
        lib.showColumns({"曲名"});
        QVERIFY(writeFile(music(lib, "three"), "three"));
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        Dialogs seen;
        answerPicker(target_.path(), seen);
        w.mnuFile_CopySong_Click();
        QCOMPARE(seen.progress, 0);
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[1].text,
                 QStringLiteral("ﾌｧｲﾙﾊﾟｽの列が表示されていないため、コピーできません"));
        QCOMPARE(entries(target_.path()), QStringList());
    }

    void anEmptyListShowsNothingAfterThePicker() {
        TempLibrary lib;
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        QCOMPARE(w.lvSongList->songs().count(), 0);
        Dialogs seen;
        answerPicker(target_.path(), seen);
        w.mnuFile_CopySong_Click();
        QCOMPARE(seen.pickers, 1);
        QCOMPARE(seen.progress, 0);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kMessage26);
    }
};

QTEST_MAIN(TestMainCopy)
#include "tst_maincopy.moc"
