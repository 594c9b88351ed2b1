// The main window's copy command against a real library and real files:
// the notice, the folder picker, the list's file paths in display order,
// the failure box, and nothing copied when the picker is cancelled.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "diskfiles.h"
#include "export/copydialog.h"
#include "library/pickers.h"
#include "scriptedpresenter.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMessage26 = QStringLiteral("現在のセットリスト内のファイルをフォルダに書き出します");

// What the dialogs of one copy saw.
struct Dialogs {
    int pickers = 0;
    int progress = 0;
    QString pickerOpenedAt;
};

// Answers the folder picker with `folder` (cancels it when empty) and runs
// the progress window; any other dialog is left unanswered.
void answerPicker(const QString& folder, Dialogs& seen) {
    setModalHandler([folder, &seen](QDialog& dialog) {
        if (qobject_cast<frmCopyProgress*>(&dialog)) {
            ++seen.progress;
            return dialog.exec();
        }
        auto* picker = qobject_cast<frmDirSelectBas*>(&dialog);
        if (!picker)
            return -1;
        ++seen.pickers;
        seen.pickerOpenedAt = picker->folder();
        if (folder.isEmpty()) {
            picker->cmdCancel->click();
            return 0;
        }
        picker->setFolder(folder);
        picker->cmdOK->click();
        return 1;
    });
}

} // namespace

class TestMainCopy : public QObject {
    Q_OBJECT

    QTemporaryDir target_;

    static QString music(TempLibrary& lib, const QString& title) {
        return lib.folder() + "/music/" + title + ".mp3";
    }
    // A library of songs "one/song", "two/song" and "three" shown by title
    // and file path (<library>/music/<title>.mp3); the files of `present`
    // exist and hold their titles.
    static bool fill(TempLibrary& lib, const QStringList& present) {
        for (const char* t : {"one/song", "two/song", "three"})
            lib.addSong(t);
        lib.showColumns({"曲名", "ﾌｧｲﾙﾊﾟｽ"});
        for (const QString& title : present) {
            if (!diskfiles::write(music(lib, title), title.toUtf8()))
                return false;
        }
        return true;
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void init() {
        for (const QString& name : diskfiles::entries(target_.path()))
            QFile::remove(target_.path() + "/" + name);
    }
    void cleanup() { setModalHandler({}); }

    void copiesTheListInItsDisplayOrder() {
        TempLibrary lib;
        QVERIFY(fill(lib, {"one/song", "two/song", "three"}));
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
        QCOMPARE(diskfiles::entries(target_.path()), QStringList({"song.mp3", "three.mp3"}));
        QCOMPARE(diskfiles::read(target_.path() + "/song.mp3"), QByteArray("one/song"));
        QCOMPARE(diskfiles::read(target_.path() + "/three.mp3"), QByteArray("three"));

        // The next picker opens where this one was left.
        answerPicker(QString(), seen);
        w.mnuFile_CopySong_Click();
        QCOMPARE(seen.pickers, 2);
        QCOMPARE(QDir(seen.pickerOpenedAt), QDir(target_.path()));
    }

    void aMissingFileStopsTheCopyWithItsDescription() {
        TempLibrary lib;
        QVERIFY(fill(lib, {"one/song", "two/song"}));
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
        QCOMPARE(diskfiles::entries(target_.path()), QStringList({"song.mp3"}));
        QCOMPARE(diskfiles::read(target_.path() + "/song.mp3"), QByteArray("one/song"));

        w.lvSongList->songs().setSort(true, 0, 1); // two/song, three, one/song
        boxes.clear();
        w.mnuFile_CopySong_Click();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(diskfiles::read(target_.path() + "/song.mp3"), QByteArray("two/song"));
    }

    void cancellingThePickerCopiesNothing() {
        TempLibrary lib;
        QVERIFY(fill(lib, {"three"}));
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
        QCOMPARE(diskfiles::entries(target_.path()), QStringList());
    }

    void withoutAFilePathColumnNothingIsCopied() {
        TempLibrary lib;
        QVERIFY(fill(lib, {"three"}));
        lib.showColumns({"曲名"});
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
        QCOMPARE(diskfiles::entries(target_.path()), QStringList());
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
