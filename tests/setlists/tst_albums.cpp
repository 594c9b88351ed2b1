// Albums on a real library: the rules without windows, the album list and
// editor driven headless, saving all or nothing, and an album's set list
// playing in the main window.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "playback/playstate.h"
#include "playback/selectsong.h"
#include "scriptedpresenter.h"
#include "setlists/albumdialog.h"
#include "setlists/albums.h"
#include "setlists/albumwizard.h"
#include "setlists/setlistsave.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

class TestAlbums : public QObject {
    Q_OBJECT

    static QStringList keys(const SongListModel& list) {
        QStringList out;
        for (int p = 0; p < list.count(); ++p)
            out << list.keyAt(p);
        return out;
    }
    static QStringList titles(const SongListModel& list) {
        QStringList out;
        for (int p = 0; p < list.count(); ++p)
            out << list.cell(list.keyAt(p), 0);
        return out;
    }
    static QStringList names(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    // Every album row as "name:song ID:position", by name and position.
    static QStringList rows(TempLibrary& lib) {
        const QString view = "Q_test_albumrows";
        if (!lib.db().queryExists(view))
            lib.db().adoxCreateQuery("SELECT アルバム名, 曲ID, 曲順 FROM TM_アルバム"
                                     " ORDER BY アルバム名, 曲順",
                                     view);
        QStringList out;
        Recordset rs;
        lib.db().adoGetData(3, rs, view);
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.text("アルバム名") + ":" + rs.text("曲ID") + ":" + rs.text("曲順");
        return out;
    }
    // Songs a, b, c, d (IDs 1 to 4), and album "Old" holding b then a.
    static void fill(TempLibrary& lib) {
        for (const char* t : {"a", "b", "c", "d"})
            lib.addSong(t);
        lib.db().adoSetData(22, {"Old", "2", "1"});
        lib.db().adoSetData(22, {"Old", "1", "2"});
    }
    static void select(SongListView* view, const QStringList& keys) {
        view->clearSelection();
        for (const QString& key : keys)
            QVERIFY(view->selectKey(key, true));
    }
    // The editor for `state` (and album `name`) as the album list opens it.
    static std::unique_ptr<frmAlbumWizard> editor(frmAlbumList& list, int state,
                                                  const QString& name = {}) {
        auto w = std::make_unique<frmAlbumWizard>();
        w->setNameCheck([&list](const QString& n, const QString& editing) {
            return list.frmAlmLst_ChkSameName(n, editing);
        });
        w->State = state;
        if (state == 1)
            w->setAlbumName(name);
        w->frmAlw_InitForm(name);
        return w;
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void init() { gPlayState = kStopped; }
    void cleanup() { setModalHandler({}); }

    void nameTaken_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("editing");
        QTest::addColumn<bool>("taken");
        const QStringList two = {"Zed", "Best"};
        const QString adding; // no album is being edited
        const QString zed = "Zed";
        QTest::newRow("new name") << two << "New" << adding << false;
        QTest::newRow("same text") << two << "Zed" << adding << true;
        QTest::newRow("other case") << two << "zED" << adding << true;
        QTest::newRow("full width") << two << QString::fromUtf16(u"ＢＥＳＴ") << adding << true;
        QTest::newRow("trailing blank differs") << two << "Zed " << adding << false;
        QTest::newRow("keep own name") << two << "Zed" << zed << false;
        QTest::newRow("own name in other case") << two << "zed" << zed << false;
        QTest::newRow("onto another album") << two << "best" << zed << true;
        QTest::newRow("empty list") << QStringList() << "Zed" << adding << false;
        // An older album that differs only in width does not stop keeping
        // the name, but does stop moving onto it.
        const QStringList wide = {"Zed", QString::fromUtf16(u"Ｚｅｄ")};
        QTest::newRow("keep name beside a twin") << wide << "Zed" << zed << false;
        QTest::newRow("onto the twin") << wide << QString::fromUtf16(u"Ｚｅｄ") << "Zed" << true;
    }
    void nameTaken() {
        QFETCH(QStringList, names);
        QFETCH(QString, name);
        QFETCH(QString, editing);
        QFETCH(bool, taken);
        QCOMPARE(albums::nameTaken(names, name, editing), taken);
    }

    void okMessageOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("songs");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("message");
        QTest::newRow("nothing at all") << "" << 0 << false << 4;
        QTest::newRow("no name, taken, songs") << "" << 3 << true << 4;
        QTest::newRow("no songs, taken") << "A" << 0 << true << 5;
        QTest::newRow("one song, taken") << "A" << 1 << true << 7;
        QTest::newRow("one song, free") << "A" << 1 << false << 0;
        QTest::newRow("10000 songs, free") << "A" << 10000 << false << 0;
    }
    void okMessageOrder() {
        QFETCH(QString, name);
        QFETCH(int, songs);
        QFETCH(bool, taken);
        QFETCH(int, message);
        QCOMPARE(albums::okMessage(name, songs, taken), message);
    }

    void addAnAlbum() {
        TempLibrary lib;
        fill(lib);
        ScriptedPresenter boxes;
        QStringList libraryShown, albumShown;
        bool sameColumns = false;
        setModalHandler([&](QDialog& dialog) {
            auto* w = qobject_cast<frmAlbumWizard*>(&dialog);
            libraryShown = titles(w->lvSongList->songs());
            albumShown = titles(w->lvAlbumSongList->songs());
            sameColumns =
                w->lvSongList->songs().captions() == w->lvAlbumSongList->songs().captions();
            select(w->lvSongList, {"Key_4", "Key_3"}); // taken in list order
            w->cmdAdd->click();
            w->txtAlbumName->setText(QString::fromUtf16(u"新しいアルバム"));
            w->cmdOK->click();
            return w->result();
        });
        frmAlbumList list;
        QCOMPARE(list.windowTitle(), QStringLiteral("アルバム一覧"));
        QCOMPARE(names(list.lstAlbum), QStringList({"Old"}));
        list.cmdAdd->click();
        // Every song of the library, none in the album yet.
        QCOMPARE(libraryShown, QStringList({"a", "b", "c", "d"}));
        QVERIFY(albumShown.isEmpty());
        QVERIFY(sameColumns);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(names(list.lstAlbum), QStringList({"Old", QString::fromUtf16(u"新しいアルバム")}));
        QCOMPARE(list.lstAlbum->currentRow(), 0);
        QCOMPARE(rows(lib),
                 QStringList({"Old:2:1", "Old:1:2", QString::fromUtf16(u"新しいアルバム:3:1"),
                              QString::fromUtf16(u"新しいアルバム:4:2")}));
    }

    void editRenamesKeepsOrRefusesTheName() {
        TempLibrary lib;
        fill(lib);
        lib.db().adoSetData(22, {"Other", "4", "1"});
        ScriptedPresenter boxes;
        frmAlbumList list;
        list.lstAlbum->setCurrentRow(0);
        QCOMPARE(list.lstAlbum->currentItem()->text(), QStringLiteral("Old"));
        {
            auto w = editor(list, 1, "Old");
            QCOMPARE(w->txtAlbumName->text(), QStringLiteral("Old"));
            QCOMPARE(titles(w->lvAlbumSongList->songs()), QStringList({"b", "a"}));
            w->txtAlbumName->setText("other"); // another album's name, in other case
            w->cmdOK->click();
            QCOMPARE(boxes.boxes().size(), 1);
            QCOMPARE(boxes.boxes()[0].text, QStringLiteral("同じ名前のアルバムが既に存在します"));
            QCOMPARE(w->result(), int(QDialog::Rejected));
            // Keeping the name is fine; a reorder is saved numbered from 1.
            w->txtAlbumName->setText("Old");
            w->lvAlbumSongList->selectKey("Key_1");
            w->cmdUP->click();
            w->cmdOK->click();
            QCOMPARE(boxes.boxes().size(), 1);
            QCOMPARE(w->result(), int(QDialog::Accepted));
        }
        QCOMPARE(rows(lib), QStringList({"Old:1:1", "Old:2:2", "Other:4:1"}));
        {
            // Renaming: the old name is gone, the new one holds the edited songs.
            auto w = editor(list, 1, "Old");
            select(w->lvSongList, {"Key_3"});
            w->cmdAdd->click();
            w->txtAlbumName->setText("Renamed");
            w->cmdOK->click();
            QCOMPARE(w->result(), int(QDialog::Accepted));
        }
        QCOMPARE(rows(lib),
                 QStringList({"Other:4:1", "Renamed:1:1", "Renamed:2:2", "Renamed:3:3"}));
        {
            // Only the letter case changes: the album's own name is no clash.
            auto w = editor(list, 1, "Other");
            w->txtAlbumName->setText("OTHER");
            w->cmdOK->click();
            QCOMPARE(w->result(), int(QDialog::Accepted));
        }
        QCOMPARE(rows(lib),
                 QStringList({"OTHER:4:1", "Renamed:1:1", "Renamed:2:2", "Renamed:3:3"}));
        QCOMPARE(boxes.boxes().size(), 1);
    }

    void okChecksInOrder() {
        TempLibrary lib;
        lib.addSong("a");
        ScriptedPresenter boxes;
        frmAlbumList list; // no album at all
        QCOMPARE(list.lstAlbum->count(), 0);
        auto w = editor(list, 0);
        w->cmdOK->click();
        w->txtAlbumName->setText("Mine");
        w->cmdOK->click();
        select(w->lvSongList, {"Key_1"});
        w->cmdAdd->click();
        w->cmdOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[0].text, QStringLiteral("アルバム名称を入力して下さい"));
        QCOMPARE(boxes.boxes()[1].text, QStringLiteral("曲をアルバムリストに追加して下さい"));
        QCOMPARE(boxes.boxes()[1].style, 0);

        // Adding "mine" beside "Mine" would merge two albums.
        frmAlbumList again;
        auto second = editor(again, 0);
        second->txtAlbumName->setText("mine");
        second->cmdOK->click(); // no songs is said first
        select(second->lvSongList, {"Key_1"});
        second->cmdAdd->click();
        second->cmdOK->click();
        QCOMPARE(boxes.boxes().size(), 4);
        QCOMPARE(boxes.boxes()[2].text, QStringLiteral("曲をアルバムリストに追加して下さい"));
        QCOMPARE(boxes.boxes()[3].text, QStringLiteral("同じ名前のアルバムが既に存在します"));
        QCOMPARE(second->result(), int(QDialog::Rejected));
        QCOMPARE(rows(lib), QStringList({"Mine:1:1"}));
    }

    void duplicateStopsTheAdd() {
        TempLibrary lib;
        fill(lib);
        ScriptedPresenter boxes;
        frmAlbumList list;
        auto w = editor(list, 0);
        select(w->lvSongList, {"Key_2"});
        w->cmdAdd->click();
        QVERIFY(boxes.boxes().isEmpty());
        // a, b, c selected, b already there: a is appended, c is not.
        select(w->lvSongList, {"Key_3", "Key_2", "Key_1"});
        w->cmdAdd->click();
        QCOMPARE(keys(w->lvAlbumSongList->songs()), QStringList({"Key_2", "Key_1"}));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, QStringLiteral("選択中の曲は既に追加されています"));
        QCOMPARE(boxes.boxes()[0].style, 0);
        // The first selected already there: nothing is appended.
        select(w->lvSongList, {"Key_1", "Key_4"});
        w->cmdAdd->click();
        QCOMPARE(w->lvAlbumSongList->songs().count(), 2);
        QCOMPARE(boxes.boxes().size(), 2);
        select(w->lvSongList, {"Key_4", "Key_3"});
        w->cmdAdd->click();
        QCOMPARE(keys(w->lvAlbumSongList->songs()),
                 QStringList({"Key_2", "Key_1", "Key_3", "Key_4"}));
        QCOMPARE(w->lvAlbumSongList->songs().cell("Key_4", 0), QStringLiteral("d"));
        QCOMPARE(boxes.boxes().size(), 2);
        // Nothing selected: nothing added, nothing said.
        w->lvSongList->clearSelection();
        w->cmdAdd->click();
        QCOMPARE(w->lvAlbumSongList->songs().count(), 4);
        QCOMPARE(boxes.boxes().size(), 2);
    }

    void deleteAndMoveInTheEditor() {
        TempLibrary lib;
        fill(lib);
        lib.db().adoSetData(22, {"Old", "3", "3"});
        frmAlbumList list;
        auto w = editor(list, 1, "Old"); // b, a, c
        SongListView* album = w->lvAlbumSongList;
        const QStringList start = {"Key_2", "Key_1", "Key_3"};
        // Nothing selected: every button leaves the album alone.
        album->clearSelection();
        w->cmdUP->click();
        w->cmdDown->click();
        w->cmdDelete->click();
        QCOMPARE(keys(album->songs()), start);
        album->selectKey("Key_2");
        w->cmdUP->click(); // first up
        QCOMPARE(keys(album->songs()), start);
        album->selectKey("Key_3");
        w->cmdDown->click(); // last down
        QCOMPARE(keys(album->songs()), start);
        w->cmdUP->click();
        QCOMPARE(keys(album->songs()), QStringList({"Key_2", "Key_3", "Key_1"}));
        QCOMPARE(album->selectedKey(), QStringLiteral("Key_3"));
        w->cmdUP->click();
        QCOMPARE(keys(album->songs()), QStringList({"Key_3", "Key_2", "Key_1"}));
        QCOMPARE(album->selectedKeys(), QStringList({"Key_3"}));
        w->cmdDown->click();
        w->cmdDown->click();
        QCOMPARE(keys(album->songs()), QStringList({"Key_2", "Key_1", "Key_3"}));
        QCOMPARE(album->selectedKey(), QStringLiteral("Key_3"));
        // Deleting the last row selects the one before it.
        w->cmdDelete->click();
        QCOMPARE(keys(album->songs()), QStringList({"Key_2", "Key_1"}));
        QCOMPARE(album->selectedKey(), QStringLiteral("Key_1"));
        album->selectKey("Key_2");
        w->cmdDelete->click();
        QCOMPARE(album->selectedKey(), QStringLiteral("Key_1"));
        w->cmdDelete->click();
        QCOMPARE(album->songs().count(), 0);
        QCOMPARE(album->selectedKey(), QString());
        w->cmdCancel->click();
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(rows(lib),
                 QStringList({"Old:2:1", "Old:1:2", "Old:3:3"})); // cancel writes nothing
    }

    void libraryListSortsByHeaderClick() {
        TempLibrary lib;
        fill(lib);
        frmAlbumList list;
        auto w = editor(list, 1, "Old");
        emit w->lvSongList->columnClicked(0);
        QVERIFY(w->lvSongList->songs().sorted());
        // A click flips the order, which starts ascending.
        QCOMPARE(titles(w->lvSongList->songs()), QStringList({"d", "c", "b", "a"}));
        // Adding follows the display order.
        select(w->lvSongList, {"Key_3", "Key_4"});
        w->cmdAdd->click();
        QCOMPARE(keys(w->lvAlbumSongList->songs()),
                 QStringList({"Key_2", "Key_1", "Key_4", "Key_3"}));
    }

    void deleteAsksAndIgnoresNoSelection() {
        TempLibrary lib;
        fill(lib);
        lib.db().adoSetData(22, {"Zed", "3", "1"});
        ScriptedPresenter boxes;
        int editors = 0;
        setModalHandler([&](QDialog&) { return ++editors, 0; });
        frmAlbumList list;
        QCOMPARE(names(list.lstAlbum), QStringList({"Old", "Zed"}));
        boxes.answer(2); // Cancel
        list.cmdDel->click();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, QStringLiteral("選択中のアルバムを削除します。"));
        QCOMPARE(boxes.boxes()[0].style, 1);
        QCOMPARE(names(list.lstAlbum), QStringList({"Old", "Zed"}));
        QCOMPARE(rows(lib).size(), 3);
        list.cmdDel->click(); // OK
        QCOMPARE(names(list.lstAlbum), QStringList({"Zed"}));
        QCOMPARE(rows(lib), QStringList({"Zed:3:1"}));
        // No album selected now: edit and delete do nothing, though enabled.
        QVERIFY(list.cmdEdit->isEnabled() && list.cmdDel->isEnabled());
        list.cmdEdit->click();
        list.cmdDel->click();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(editors, 0);
        list.lstAlbum->setCurrentRow(0);
        list.cmdDel->click();
        QCOMPARE(list.lstAlbum->count(), 0);
        QVERIFY(!list.cmdEdit->isEnabled() && !list.cmdDel->isEnabled());
        QVERIFY(rows(lib).isEmpty());
        // Adding still opens the editor on an empty list.
        list.cmdAdd->click();
        QCOMPARE(editors, 1);
    }

    void failedSaveLeavesTheOldAlbumWhole_data() {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QString>("raise");
        // ABORT undoes the failing insert; ROLLBACK ends the whole transaction.
        QTest::newRow("same name, abort") << "Old"
                                          << "ABORT";
        QTest::newRow("renamed, abort") << "New"
                                        << "ABORT";
        QTest::newRow("same name, rollback") << "Old"
                                             << "ROLLBACK";
        QTest::newRow("renamed, rollback") << "New"
                                           << "ROLLBACK";
    }
    void failedSaveLeavesTheOldAlbumWhole() {
        QFETCH(QString, newName);
        QFETCH(QString, raise);
        TempLibrary lib;
        fill(lib);
        // The engine refuses a third song in any album.
        QVERIFY(lib.db().adoSetData(46, {"CREATE TRIGGER no_third BEFORE INSERT ON TM_アルバム"
                                         " WHEN NEW.曲順 = 3 BEGIN SELECT RAISE(" +
                                         raise + ", 'the disk is full'); END"}));
        ScriptedPresenter boxes;
        frmAlbumList list;
        auto w = editor(list, 1, "Old");
        select(w->lvSongList, {"Key_3"});
        w->cmdAdd->click();
        w->txtAlbumName->setText(newName);
        w->cmdOK->click();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("DBError"));
        QVERIFY(boxes.boxes()[0].text.contains("the disk is full"));
        QCOMPARE(boxes.boxes()[1].text, QStringLiteral("アルバムの作成に失敗しました"));
        QCOMPARE(w->result(), int(QDialog::Rejected)); // the editor stays open
        QCOMPARE(rows(lib), QStringList({"Old:2:1", "Old:1:2"}));
        // Without the third song the same editor saves.
        w->lvAlbumSongList->selectKey("Key_3");
        w->cmdDelete->click();
        w->cmdOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(rows(lib), QStringList({newName + ":2:1", newName + ":1:2"}));
    }

    void failedAddWritesNothing() {
        TempLibrary lib;
        fill(lib);
        QVERIFY(lib.db().adoSetData(46, {"CREATE TRIGGER no_second BEFORE INSERT ON TM_アルバム"
                                         " WHEN NEW.曲順 = 2 BEGIN"
                                         " SELECT RAISE(ABORT, 'refused'); END"}));
        ScriptedPresenter boxes;
        frmAlbumList list;
        auto w = editor(list, 0);
        select(w->lvSongList, {"Key_3", "Key_4"});
        w->cmdAdd->click();
        w->txtAlbumName->setText("Fresh");
        w->cmdOK->click();
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[1].text, QStringLiteral("アルバムの作成に失敗しました"));
        QCOMPARE(rows(lib), QStringList({"Old:2:1", "Old:1:2"}));
    }

    void albumSetListPlaysTheAlbumInTheMainWindow() {
        TempLibrary lib;
        for (const char* t : {"a", "b", "c", "d"})
            lib.addSong(t);
        lib.close();
        ScriptedPresenter boxes;
        auto* player = new FakePlayer;
        frmMain w(lib.path(), player);
        QVERIFY(w.Form_Load());
        // The album menu: the list adds "Trip" (d, b) through the editor.
        setModalHandler([](QDialog& dialog) {
            if (auto* list = qobject_cast<frmAlbumList*>(&dialog)) {
                list->cmdAdd->click();
                return 1;
            }
            auto* editor = qobject_cast<frmAlbumWizard*>(&dialog);
            select(editor->lvSongList, {"Key_4"});
            editor->cmdAdd->click();
            select(editor->lvSongList, {"Key_2"});
            editor->cmdAdd->click();
            editor->txtAlbumName->setText("Trip");
            editor->cmdOK->click();
            return editor->result();
        });
        w.action("mnuEdit_Album")->trigger();
        setlists::Conditions conditions;
        conditions[0] = {setlists::Kind::Album, setlists::kAtLeast, "Trip", "and"};
        QString error;
        QVERIFY(setlists::saveSetList("On Trip", conditions, error));
        w.frmMain_SetSetListCombo();
        w.cboSetList->setCurrentIndex(w.cboSetList->findText("On Trip"));
        QStringList shown = titles(w.lvSongList->songs());
        QCOMPARE(shown.size(), 2);
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, QStringList({"b", "d"}));

        // Program play walks the album's songs in list order, then stops.
        w.cboHowToPlay->setCurrentIndex(w.cboHowToPlay->findText(kProgramPlay));
        const QString music = lib.folder() + "/music/";
        w.frmMain_PlaySong(QString());
        QCOMPARE(player->opened(), music + titles(w.lvSongList->songs())[0] + ".mp3");
        player->finish();
        QCOMPARE(player->opened(), music + titles(w.lvSongList->songs())[1] + ".mp3");
        player->finish();
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(player->log.filter("open ").size(), 2);
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_MAIN(TestAlbums)
#include "tst_albums.moc"
