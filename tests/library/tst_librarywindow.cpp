// The library window and its list rules against a real library database
// and real folders and playlists: adding, duplicates, registering all or
// nothing, deleting, menu states and the layout rule.

#include "base/modal.h"
#include "library/librarywindow.h"
#include "library/pickers.h"
#include "scriptedpresenter.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kMessage8 =
    QStringLiteral("選択された１つ以上のファイルが既にリストに追加されています。"
                   "\r\n追加されていないファイルのみをリストに追加します。");
const QString kMessage21 = QStringLiteral("選択中の曲をデータベースから削除します");

// Every registered song as "path|title", in ID order.
QStringList songs(TempLibrary& lib) {
    QStringList out;
    Recordset rs;
    lib.db().adoGetData(3, rs, "Q_SetList_ALL");
    for (; !rs.Eof(); rs.MoveNext())
        out << rs.text("ファイルパス") + "|" + rs.text("タイトル");
    return out;
}

int albumRows(TempLibrary& lib) {
    Recordset rs;
    lib.db().adoGetData(12, rs, "Best");
    return rs.RecordCount();
}

QStringList rows(const SongListModel& list) {
    QStringList out;
    for (int p = 0; p < list.count(); ++p)
        out << list.keyAt(p) + "=" + list.cell(list.keyAt(p), 0);
    return out;
}

} // namespace

class TestLibraryWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString root_;

    QString path(const QString& name) const { return root_ + "/" + name; }
    static void touch(const QString& path, const QByteArray& bytes = {}) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path));
    }

    // Answers the pickers the window opens: the folder picker walks
    // `folder` with its subfolders, the file picker selects every file
    // listed in `folder`; `cancel` cancels either.
    static void answerPickers(const QString& folder, bool cancel = false) {
        setModalHandler([folder, cancel](QDialog& dialog) {
            auto* picker = qobject_cast<PickerBase*>(&dialog);
            if (!picker)
                return 0;
            if (cancel) {
                picker->cmdCancel->click();
                return 0;
            }
            picker->setFolder(folder);
            if (auto* folders = qobject_cast<frmDirSelect*>(picker))
                folders->chkEXT->setChecked(true);
            if (auto* files = qobject_cast<frmFileSelect*>(picker))
                files->filFile->selectAll();
            picker->cmdOK->click();
            return 1;
        });
    }

private slots:
    void initTestCase() {
        root_ = dir_.path();
        for (const char* name : {"music/01.Intro.mp3", "music/b.wav", "music/sub/c.mid"})
            touch(path(name));
        touch(path("lists/one.m3u"),
              "#EXTM3U\r\n../music/b.wav\r\nmissing.mp3\r\n../music/01.Intro.mp3\r\n");
        touch(path("lists/two.m3u"), "\x00\x01\x02 not a playlist");
        touch(path("lists/three.m3u"), "../music/sub/c.mid\n../music/b.wav\n");
    }
    void cleanup() { setModalHandler({}); }

    // --- the list rules, without a window ---

    void loadListsEveryRegisteredFile() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());
        QCOMPARE(rows(list), QStringList({"Key_1=" + lib.folder() + "/music/a.mp3",
                                          "Key_2=" + lib.folder() + "/music/b.mp3"}));
        QCOMPARE(files.LoadCount(), 2);
        QCOMPARE(files.pendingCount(), 0);
        QVERIFY(!files.Registed());
    }

    // A path already listed, registered or pending, is skipped; message 8
    // once per call however many were skipped.
    void appendSkipsListedPaths() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        const QString registered = lib.folder() + "/music/a.mp3";
        lib.addSong("a");
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());

        QCOMPARE(files.append({"/n/1.mp3", registered, "/n/1.mp3", "/n/2.mp3", registered}), 2);
        QCOMPARE(rows(list),
                 QStringList({"Key_1=" + registered, "/n/1.mp3=/n/1.mp3", "/n/2.mp3=/n/2.mp3"}));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kMessage8);
        QCOMPARE(boxes.boxes()[0].style, 0);

        QCOMPARE(files.append({"/n/2.mp3"}), 0);
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(files.append({"/n/3.mp3"}), 1);
        QCOMPARE(files.append({}), 0);
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(files.LoadCount(), 1);
        QCOMPARE(files.pendingCount(), 3);

        // A reload forgets the pending files but still knows the registered.
        QVERIFY(files.load());
        QCOMPARE(files.append({"/n/1.mp3", registered}), 1);
        QCOMPARE(boxes.boxes().size(), 3);
    }

    // Titles are the file names up to their first dot; progress is heard
    // every 500 files and once at the end.
    void registerWritesEveryPendingFile() {
        TempLibrary lib;
        lib.addSong("a");
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());
        QStringList paths = {"/m/01.Intro.mp3", "/m/Track 2.wav"};
        for (int i = 0; i < 1199; ++i)
            paths << QString("/m/bulk/%1.mid").arg(i);
        QCOMPARE(files.append(paths), 1201);
        QList<int> heard;
        QVERIFY(files.registerPending([&](int done, int total) {
            heard << done;
            return total == 1201;
        }));
        QCOMPARE(heard, QList<int>({0, 500, 1000, 1201}));
        const QStringList all = songs(lib);
        QCOMPARE(all.size(), 1202);
        QCOMPARE(all[1], QStringLiteral("/m/01.Intro.mp3|01"));
        QCOMPARE(all[2], QStringLiteral("/m/Track 2.wav|Track 2"));
        QCOMPARE(all[1201], QStringLiteral("/m/bulk/1198.mid|1198"));
        QVERIFY(files.Registed());
        QCOMPARE(files.pendingCount(), 0);
        // Nothing is pending any more: a second OK writes nothing.
        QVERIFY(files.registerPending());
        QCOMPARE(songs(lib).size(), 1202);
    }

    void cancelledRegistrationWritesNothing() {
        TempLibrary lib;
        lib.addSong("a");
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());
        QStringList paths;
        for (int i = 0; i < 1200; ++i)
            paths << QString("/m/%1.mp3").arg(i);
        files.append(paths);
        QVERIFY(!files.registerPending([](int done, int) { return done < 1000; }));
        QCOMPARE(songs(lib).size(), 1);
        QCOMPARE(files.pendingCount(), 1200);
        QVERIFY(!files.Registed());
    }

    // A write that fails half-way leaves the library as it was, with one
    // message, whether a statement fails or the disk fills.
    void failedRegistrationLeavesTheLibrary_data() {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<int>("files");
        QTest::newRow("refused row") << "CREATE TRIGGER refuse BEFORE INSERT ON TM_曲情報"
                                        " WHEN NEW.ファイルパス LIKE '%/600.mp3'"
                                        " BEGIN SELECT RAISE(ABORT, 'refused'); END"
                                     << 1000;
        QTest::newRow("disk full") << "PRAGMA max_page_count = 1" << 5000;
    }
    void failedRegistrationLeavesTheLibrary() {
        QFETCH(QString, sabotage);
        QFETCH(int, files);
        TempLibrary lib;
        ScriptedPresenter boxes;
        lib.addSong("a");
        lib.db().adoSetData(46, {sabotage});
        QVERIFY(boxes.boxes().isEmpty());
        SongListModel list;
        LibraryFiles library(list);
        QVERIFY(library.load());
        QStringList paths;
        for (int i = 0; i < files; ++i)
            paths << QString("/m/long/folder/name/for/the/pages/%1.mp3").arg(i);
        library.append(paths);
        QVERIFY(!library.registerPending());
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("DBError"));
        QCOMPARE(songs(lib), QStringList({lib.folder() + "/music/a.mp3|a"}));
        QCOMPARE(library.pendingCount(), files);
        QVERIFY(!library.Registed());
    }

    void deleteRemovesSongsAndTheirAlbumRows() {
        TempLibrary lib;
        for (const char* t : {"a", "b", "c"})
            lib.addSong(t);
        lib.db().adoSetData(22, {"Best", "2", "1"});
        lib.db().adoSetData(22, {"Best", "3", "2"});
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());
        QVERIFY(files.deleteSongs({"Key_2", "/not/a/song.mp3"}));
        QCOMPARE(songs(lib),
                 QStringList({lib.folder() + "/music/a.mp3|a", lib.folder() + "/music/c.mp3|c"}));
        QCOMPARE(albumRows(lib), 1);
        QCOMPARE(rows(list), QStringList({"Key_1=" + lib.folder() + "/music/a.mp3",
                                          "Key_3=" + lib.folder() + "/music/c.mp3"}));
        QCOMPARE(files.LoadCount(), 2);
        QVERIFY(files.Registed());
    }

    void failedDeletionDeletesNothing() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        for (const char* t : {"a", "b", "c"})
            lib.addSong(t);
        lib.db().adoSetData(46, {"CREATE TRIGGER keep BEFORE DELETE ON TM_曲情報 WHEN OLD.ID = 3"
                                 " BEGIN SELECT RAISE(ABORT, 'kept'); END"});
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());
        QVERIFY(!files.deleteSongs({"Key_1", "Key_3", "Key_2"}));
        QCOMPARE(songs(lib).size(), 3);
        QCOMPARE(list.count(), 3);
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(files.Registed());
    }

    // --- the window ---

    void opensWithTheRegisteredFiles() {
        TempLibrary lib;
        lib.addSong("a");
        frmMelodara w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Melodara表示"));
        QCOMPARE(w.lvFileList->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("ファイルパス"));
        QCOMPARE(w.lvFileList->model()->columnCount(), 1);
        QCOMPARE(rows(w.lvFileList->songs()),
                 QStringList({"Key_1=" + lib.folder() + "/music/a.mp3"}));
        QCOMPARE(w.LoadCount(), 1);
        QStringList captions;
        for (QAction* a : w.mnuFile->actions()) {
            QVERIFY(a->isEnabled());
            captions << (a->isSeparator() ? "-" : a->text());
        }
        QCOMPARE(captions, QStringList({"ファイル選択(&A)", "フォルダ選択(&F)", "-",
                                        "m3uファイル選択(&M)", "-", "ファイル削除(&D)"}));
        QCOMPARE(w.cmdClose->text(), QStringLiteral("OK"));
        QCOMPARE(w.cmdCancel->text(), QStringLiteral("Cancel"));
        QVERIFY(!w.Registed());
    }

    // Adding a folder, then OK: the files are registered and the window
    // reports it. Deleting is disabled from the first add on.
    void addFolderThenOkRegisters() {
        TempLibrary lib;
        frmMelodara w;
        answerPickers(path("music"));
        w.mnuFile_AddDirectory->trigger();
        QCOMPARE(rows(w.lvFileList->songs()),
                 QStringList({path("music/01.Intro.mp3") + "=" + path("music/01.Intro.mp3"),
                              path("music/b.wav") + "=" + path("music/b.wav"),
                              path("music/sub/c.mid") + "=" + path("music/sub/c.mid")}));
        QVERIFY(!w.mnuFile_DeleteFile->isEnabled());
        QVERIFY(w.mnuFile_AddFile->isEnabled() && w.mnuFile_AddDirectory->isEnabled() &&
                w.mnuFile_AddM3u->isEnabled());
        w.show();
        w.cmdClose->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(w.Registed());
        QCOMPARE(songs(lib),
                 QStringList({path("music/01.Intro.mp3") + "|01", path("music/b.wav") + "|b",
                              path("music/sub/c.mid") + "|c"}));
    }

    // The same files picked twice are listed once, with message 8 once.
    void addFilesTwiceListsThemOnce() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        frmMelodara w;
        answerPickers(path("music"));
        w.mnuFile_AddFile->trigger();
        QCOMPARE(w.lvFileList->songs().count(), 2);
        QVERIFY(boxes.boxes().isEmpty());
        w.mnuFile_AddFile->trigger();
        QCOMPARE(w.lvFileList->songs().count(), 2);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kMessage8);
    }

    void cancelledPickerStillDisablesDelete() {
        TempLibrary lib;
        lib.addSong("a");
        frmMelodara w;
        answerPickers(path("music"), true);
        w.mnuFile_AddFile->trigger();
        QCOMPARE(w.lvFileList->songs().count(), 1);
        QVERIFY(!w.mnuFile_DeleteFile->isEnabled());
    }

    // Playlists add their existing entries in file order; one that is not
    // a playlist adds nothing and says nothing; entries already listed
    // give message 8.
    void addPlaylistsAppendsTheirEntries() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        frmMelodara w;
        QString pattern;
        setModalHandler([&](QDialog& dialog) {
            auto* picker = qobject_cast<frmFileSelect*>(&dialog);
            pattern = picker->pattern();
            picker->setFolder(path("lists"));
            picker->filFile->selectAll();
            picker->cmdOK->click();
            return 1;
        });
        w.mnuFile_AddM3u->trigger();
        QCOMPARE(pattern, QStringLiteral("*.m3u;*.m3u8"));
        QCOMPARE(rows(w.lvFileList->songs()),
                 QStringList({path("music/b.wav") + "=" + path("music/b.wav"),
                              path("music/01.Intro.mp3") + "=" + path("music/01.Intro.mp3"),
                              path("music/sub/c.mid") + "=" + path("music/sub/c.mid")}));
        QCOMPARE(boxes.boxes().size(), 1); // "three" names b.wav again
        QCOMPARE(boxes.boxes()[0].text, kMessage8);
        QVERIFY(!w.mnuFile_DeleteFile->isEnabled());
    }

    void cancelWritesNothingAndReportsNothing() {
        TempLibrary lib;
        frmMelodara w;
        answerPickers(path("music"));
        w.mnuFile_AddDirectory->trigger();
        w.show();
        w.cmdCancel->click();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Registed());
        QCOMPARE(songs(lib), QStringList());
    }

    void okWithNothingPendingWritesNothing() {
        TempLibrary lib;
        lib.addSong("a");
        frmMelodara w;
        w.show();
        w.cmdClose->click();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Registed());
        QCOMPARE(songs(lib).size(), 1);
    }

    // A confirmed deletion removes the selected songs, disables adding
    // files and folders but not playlists, and what a playlist adds after
    // it is registered on OK.
    void deletionThenPlaylistAdd() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        for (const char* t : {"a", "b", "c"})
            lib.addSong(t);
        frmMelodara w;
        w.lvFileList->selectKey("Key_1");
        w.lvFileList->selectKey("Key_3", true);
        boxes.answer(msgbox::Ok);
        w.mnuFile_DeleteFile->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kMessage21);
        QCOMPARE(boxes.boxes()[0].style, 1);
        QCOMPARE(rows(w.lvFileList->songs()),
                 QStringList({"Key_2=" + lib.folder() + "/music/b.mp3"}));
        QCOMPARE(w.LoadCount(), 1);
        QVERIFY(w.Registed());
        QVERIFY(!w.mnuFile_AddFile->isEnabled() && !w.mnuFile_AddDirectory->isEnabled());
        QVERIFY(w.mnuFile_AddM3u->isEnabled() && w.mnuFile_DeleteFile->isEnabled());

        setModalHandler([&](QDialog& dialog) {
            auto* picker = qobject_cast<frmFileSelect*>(&dialog);
            picker->setFolder(path("lists"));
            picker->filFile->selectionModel()->select(picker->filFile->model()->index(1, 0),
                                                      QItemSelectionModel::Select);
            picker->cmdOK->click();
            return 1;
        });
        w.mnuFile_AddM3u->trigger(); // "three.m3u": c.mid, b.wav
        QCOMPARE(w.lvFileList->songs().count(), 3);
        QVERIFY(!w.mnuFile_DeleteFile->isEnabled());
        w.cmdClose->click();
        QCOMPARE(songs(lib),
                 QStringList({lib.folder() + "/music/b.mp3|b", path("music/sub/c.mid") + "|c",
                              path("music/b.wav") + "|b"}));
    }

    void deletionAnsweredCancelChangesNothing() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        lib.addSong("a");
        frmMelodara w;
        w.lvFileList->selectKey("Key_1");
        boxes.answer(msgbox::Cancel);
        w.mnuFile_DeleteFile->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(songs(lib).size(), 1);
        QVERIFY(!w.Registed());
        QVERIFY(w.mnuFile_AddFile->isEnabled() && w.mnuFile_AddDirectory->isEnabled());
    }

    // With nothing selected the deletion still asks and reports a change;
    // the close box then acts as Cancel and keeps that report.
    void deletionWithoutSelectionThenCloseBox() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        lib.addSong("a");
        frmMelodara w;
        w.show();
        w.mnuFile_DeleteFile->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(songs(lib).size(), 1);
        QVERIFY(w.Registed());
        w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(w.Registed());
    }

    // Cancelling the progress writes nothing and keeps the window open with
    // the files pending; the next OK writes them.
    void cancelledProgressKeepsTheWindowOpen() {
        TempLibrary lib;
        QTemporaryDir many;
        for (int i = 0; i < 1500; ++i)
            touch(many.path() + QString("/%1.mp3").arg(i, 4, 10, QChar('0')));
        frmMelodara w;
        answerPickers(many.path());
        w.mnuFile_AddDirectory->trigger();
        QCOMPARE(w.lvFileList->songs().count(), 1500);
        w.show();
        bool progressSeen = false;
        QTimer::singleShot(0, &w, [&] {
            auto* progress = w.findChild<QProgressDialog*>("dlgRegistProgress");
            progressSeen = progress != nullptr;
            if (progress)
                progress->cancel();
        });
        w.cmdClose->click();
        QVERIFY(progressSeen);
        QVERIFY(w.isVisible());
        QCOMPARE(songs(lib), QStringList());
        QCOMPARE(w.lvFileList->songs().count(), 1500);
        QVERIFY(!w.Registed());

        w.cmdClose->click();
        QVERIFY(!w.isVisible());
        QVERIFY(w.Registed());
        const QStringList all = songs(lib);
        QCOMPARE(all.size(), 1500);
        QCOMPARE(all.back(), many.path() + "/1499.mp3|1499");
    }

    // The layout rule: below 434 x 330 nothing moves.
    void layoutFollowsTheClientSize() {
        TempLibrary lib;
        frmMelodara w;
        w.layoutControls(600, 400);
        QCOMPARE(w.lvFileList->geometry(), QRect(8, 28, 585, 320));
        QCOMPARE(w.lvFileList->columnWidth(0), 570);
        QCOMPARE(w.linLine->geometry().top(), 355);
        QCOMPARE(w.linLine->geometry().right() + 1, 593);
        QCOMPARE(w.cmdCancel->pos(), QPoint(500, 370));
        QCOMPARE(w.cmdClose->pos(), QPoint(400, 370));

        w.layoutControls(433, 500);
        w.layoutControls(700, 329);
        QCOMPARE(w.lvFileList->geometry(), QRect(8, 28, 585, 320));
        QCOMPARE(w.cmdCancel->pos(), QPoint(500, 370));

        w.layoutControls(434, 330);
        QCOMPARE(w.lvFileList->geometry(), QRect(8, 28, 419, 250));
        QCOMPARE(w.lvFileList->columnWidth(0), 404);
        QCOMPARE(w.linLine->geometry().top(), 285);
        QCOMPARE(w.linLine->geometry().right() + 1, 427);
        QCOMPARE(w.cmdCancel->pos(), QPoint(334, 300));
        QCOMPARE(w.cmdClose->pos(), QPoint(234, 300));
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
