// The main window's library commands: registering a folder from the menu
// and playing what was registered, reloading only when the library window
// reports a change, and exporting the list as an M3U playlist.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "audiofiles.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "library/librarywindow.h"
#include "library/pickers.h"
#include "playback/gstplayer.h"
#include "playback/playstate.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMessage23 = QStringLiteral("現在のセットリストをm3uファイルとして書き出します");
const QString kMessage24 = QStringLiteral("m3uファイル書き出しに失敗しました");

QStringList listedPaths(frmMain& w) {
    QStringList out;
    const SongListModel& list = w.lvSongList->songs();
    const int column = int(list.captions().indexOf(QStringLiteral("ﾌｧｲﾙﾊﾟｽ")));
    for (int p = 0; p < list.count(); ++p)
        out << list.cell(list.keyAt(p), column);
    return out;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Answers the file-name picker with `folder` and `name`; any other dialog
// is left unanswered.
void answerFileName(const QString& folder, const QString& name) {
    setModalHandler([folder, name](QDialog& dialog) {
        auto* picker = qobject_cast<frmFileNameSet*>(&dialog);
        if (!picker)
            return 0;
        picker->setFolder(folder);
        picker->txtFileName->setText(name);
        picker->cmdOK->click();
        return 1;
    });
}

} // namespace

class TestMainLibrary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void init() { gPlayState = kStopped; }
    void cleanup() { setModalHandler({}); }

    // A new user registers a folder from the menu and hears it play.
    void registeredFolderPlays() {
        QTemporaryDir music;
        const QString wav = music.path() + QString::fromUtf8("/曲.wav");
        QVERIFY(audiofiles::writeWav(wav, 1.0));
        TempLibrary lib;
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path(), new GstPlayer("fakesink sync=false"));
        QVERIFY(w.Form_Load());
        QCOMPARE(w.lvSongList->songs().count(), 0);

        bool libraryShown = false;
        setModalHandler([&](QDialog& dialog) {
            if (auto* library = qobject_cast<frmMelodara*>(&dialog)) {
                libraryShown = true;
                library->mnuFile_AddDirectory->trigger();
                library->cmdClose->click();
                return 1;
            }
            auto* picker = qobject_cast<frmDirSelect*>(&dialog);
            picker->setFolder(music.path());
            picker->cmdOK->click();
            return 1;
        });
        w.action("mnuFile_ShowMLP")->trigger();
        QVERIFY(libraryShown);
        QCOMPARE(listedPaths(w), QStringList({wav}));

        w.cboHowToPlay->setCurrentIndex(w.cboHowToPlay->findText("ﾌﾟﾛｸﾞﾗﾑ再生"));
        QSignalSpy ended(w.mpPlayer, &MediaPlayer::endOfStream);
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(w.currentSong());
        QCOMPARE(w.currentSong()->FilePath(), wav);
        QCOMPARE(w.currentSong()->Title(), QString::fromUtf8("曲"));
        QVERIFY2(qAbs(w.mpPlayer->length() - 1.0) < 0.1,
                 qPrintable(QString::number(w.mpPlayer->length())));
        QTRY_COMPARE_WITH_TIMEOUT(gPlayState, kStopped, 10000);
        QCOMPARE(ended.size(), 1);
        QVERIFY(boxes.boxes().isEmpty()); // no "曲の再生に失敗しました"
    }

    // Only a window that reports a change makes the list reload, which
    // stops the player.
    void reloadsOnlyWhenTheLibraryChanged() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        lib.close();
        ScriptedPresenter boxes;
        auto* player = new FakePlayer;
        player->lengths = {{lib.folder() + "/music/a.mp3", 100},
                           {lib.folder() + "/music/b.mp3", 100}};
        frmMain w(lib.path(), player);
        QVERIFY(w.Form_Load());
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);

        setModalHandler([](QDialog& dialog) {
            auto* library = qobject_cast<frmMelodara*>(&dialog);
            library->cmdCancel->click();
            return 0;
        });
        w.action("mnuFile_ShowMLP")->trigger();
        QCOMPARE(gPlayState, kPlaying);

        // A deletion, then the close box: the list reloads without the song.
        setModalHandler([](QDialog& dialog) {
            auto* library = qobject_cast<frmMelodara*>(&dialog);
            library->lvFileList->selectKey("Key_1");
            library->mnuFile_DeleteFile->trigger();
            library->close();
            return 0;
        });
        w.action("mnuFile_ShowMLP")->trigger();
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(listedPaths(w), QStringList({lib.folder() + "/music/b.mp3"}));
    }

    // The list is written in its sorted order, to exactly the name given.
    void exportWritesTheListAsShown() {
        TempLibrary lib;
        for (const char* t : {"b", "a", "c"})
            lib.addSong(t);
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        const int titleColumn = int(w.lvSongList->songs().captions().indexOf("曲名"));
        w.lvSongList->songs().setSort(true, titleColumn, 1); // titles descending

        QTemporaryDir out;
        answerFileName(out.path(), "list");
        w.action("mnuFile_ExportM3u")->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kMessage23);
        const QString m = lib.folder() + "/music/";
        QCOMPARE(contents(out.path() + "/list"),
                 (m + "c.mp3\r\n" + m + "b.mp3\r\n" + m + "a.mp3\r\n").toUtf8());
        QVERIFY(!QFile::exists(out.path() + "/list.m3u"));
    }

    void exportFailsOrIsCancelled() {
        TempLibrary lib;
        lib.addSong("a");
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        QTemporaryDir out;

        // A name in a folder that does not exist.
        answerFileName(out.path(), "no/such/list.m3u");
        w.action("mnuFile_ExportM3u")->trigger();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[1].text, kMessage24);

        // Cancel: the first message only, and no file.
        setModalHandler([](QDialog& dialog) {
            qobject_cast<PickerBase*>(&dialog)->cmdCancel->click();
            return 0;
        });
        w.action("mnuFile_ExportM3u")->trigger();
        QCOMPARE(boxes.boxes().size(), 3);
        QCOMPARE(boxes.boxes()[2].text, kMessage23);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // An empty list writes an empty file, and that is no failure.
    void exportOfAnEmptyListWritesAnEmptyFile() {
        TempLibrary lib;
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        QTemporaryDir out;
        QFile old(out.path() + "/empty.m3u");
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
        old.close();
        answerFileName(out.path(), "empty.m3u");
        w.action("mnuFile_ExportM3u")->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(contents(out.path() + "/empty.m3u"), QByteArray());
    }
};

QTEST_MAIN(TestMainLibrary)
#include "tst_mainlibrary.moc"
