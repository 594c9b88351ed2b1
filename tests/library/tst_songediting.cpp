// Editing songs from the main window against a real library database:
// one song or the selected songs, what reaches the database and the list,
// the playing song kept in step, and failed writes that change nothing.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "library/songproperty.h"
#include "playback/playstate.h"
#include "scriptedpresenter.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <functional>

class TestSongEditing : public QObject {
    Q_OBJECT

    // Genres Rock (2), Jazz (3), Pop (4); artists Ann (2), Bob (3); songs
    // a (Rock, Ann, priority 10, count 5), b (Jazz, Bob, 20, 7) and c (no
    // genre or artist, 30, 9, volume correction 100, break-out set).
    static void fill(TempLibrary& lib) {
        for (const char* g : {"Rock", "Jazz", "Pop"})
            lib.addGenre(g);
        lib.addArtist("Ann");
        lib.addArtist("Bob");
        TempLibrary::Fields f;
        f.genres[0] = 2;
        f.artist = 2;
        f.priority = 10;
        f.count = 5;
        lib.addSong("a", f);
        f.genres[0] = 3;
        f.artist = 3;
        f.priority = 20;
        f.count = 7;
        lib.addSong("b", f);
        f.genres[0] = 1;
        f.artist = 1;
        f.priority = 30;
        f.count = 9;
        f.volume = 100;
        f.breakOut = true;
        lib.addSong("c", f);
        lib.showColumns({"曲名", "ﾌｧｲﾙﾊﾟｽ", "ｼﾞｬﾝﾙ", "優先度", "ｶｳﾝﾄ", "ｱｰﾃｨｽﾄ名", "ﾎﾞﾘｭｰﾑ補正"});
        // Now playing: title above artist, the file path in the status bar.
        lib.db().adoSetData(34, {"1", "曲名"});
        lib.db().adoSetData(34, {"2", "ｱｰﾃｨｽﾄ名"});
        lib.db().adoSetData(35, {"1", "ﾌｧｲﾙﾊﾟｽ"});
    }

    struct Running {
        FakePlayer* player = new FakePlayer;
        std::unique_ptr<frmMain> window;
    };
    // A started main window over `lib` (closed here) with a fake player.
    static Running start(TempLibrary& lib) {
        lib.close();
        Running r;
        r.player->lengths = {{path(lib, "a"), 200}, {path(lib, "b"), 200}};
        r.window = std::make_unique<frmMain>(lib.path(), r.player);
        if (!r.window->Form_Load())
            r.window.reset();
        return r;
    }
    static QString path(TempLibrary& lib, const QString& title) {
        return lib.folder() + "/music/" + title + ".mp3";
    }

    // The cells of a row of the main list.
    static QStringList row(const frmMain& w, const QString& key) {
        QStringList cells;
        for (int c = 0; c < w.lvSongList->songs().columnCount(); ++c)
            cells << w.lvSongList->songs().cell(key, c);
        return cells;
    }
    static QStringList rows(const frmMain& w) {
        return row(w, "Key_1") + row(w, "Key_2") + row(w, "Key_3");
    }
    // What the database holds of a song, read through a connection of the
    // test's own.
    static QStringList stored(const QString& db, int id) {
        ADO_Connector check(db);
        Recordset rs;
        if (!check.adoGetData(10, rs, QString::number(id)) || rs.Eof())
            return {"<missing>"};
        QStringList out;
        for (const char* field :
             {"タイトル", "ファイルパス", "ジャンル1", "ジャンル2", "ジャンル3", "優先度",
              "カウント", "アーティスト名", "ブレークアウト", "トレンド", "ボリューム補正"})
            out << rs.text(field);
        return out;
    }
    static QStringList storedAll(const QString& db) {
        return stored(db, 1) + stored(db, 2) + stored(db, 3);
    }
    static void run(const QString& db, const QString& sql) {
        ADO_Connector own(db);
        QVERIFY(own.adoSetData(46, {sql}));
    }
    static void select(frmMain& w, const QStringList& keys) {
        w.lvSongList->clearSelection();
        for (const QString& key : keys)
            QVERIFY(w.lvSongList->selectKey(key, true));
    }
    static void check(frmSongProperty& e, const QStringList& names) {
        for (int i = 0; i < e.lvSongList->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = e.lvSongList->topLevelItem(i);
            item->setCheckState(0, names.contains(item->text(0)) ? Qt::Checked : Qt::Unchecked);
        }
    }

    // Each editor shown is handed to `script`, then confirmed with OK
    // unless the script ended it.
    void answerEditors(std::function<void(frmSongProperty&)> script) {
        setModalHandler([this, script](QDialog& dialog) {
            auto* editor = qobject_cast<frmSongProperty*>(&dialog);
            if (!editor)
                return int(QDialog::Rejected);
            ++editors_;
            startedFrom_ << editor->txtSongName->text();
            bulk_ << !editor->txtSongName->isEnabled();
            script(*editor);
            if (editor->result() == QDialog::Rejected && !editor->Canceled())
                editor->cmdOK->click();
            return editor->result();
        });
    }

    int editors_ = 0;
    QStringList startedFrom_; // title shown by each editor
    QList<bool> bulk_;        // whether each editor was in bulk mode

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void init() {
        gPlayState = kStopped;
        editors_ = 0;
        startedFrom_.clear();
        bulk_.clear();
    }
    void cleanup() { setModalHandler({}); }

    void noEditorWithoutASelectedSongThatExists() {
        TempLibrary lib;
        fill(lib);
        const QString db = lib.path();
        ScriptedPresenter boxes;
        Running r = start(lib);
        QVERIFY(r.window);
        frmMain& w = *r.window;
        answerEditors([](frmSongProperty&) {});
        w.lvSongList->clearSelection();
        w.action("mnuEdit_SongProp")->trigger();
        w.action("mnuEdit_SongPropDirect")->trigger();
        QCOMPARE(editors_, 0);

        // Removed behind the list's back: the command ends quietly.
        run(db, "DELETE FROM TM_曲情報 WHERE ID = 2");
        select(w, {"Key_2"});
        w.action("mnuEdit_SongProp")->trigger();
        w.action("mnuEdit_SongPropDirect")->trigger();
        QCOMPARE(editors_, 0);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(row(w, "Key_2").front(), QStringLiteral("b"));
    }

    void singleEditWritesEveryFieldAndItsRow() {
        TempLibrary lib;
        fill(lib);
        const QString db = lib.path();
        const QStringList others = stored(db, 1) + stored(db, 3);
        ScriptedPresenter boxes;
        Running r = start(lib);
        frmMain& w = *r.window;
        const QStringList otherRows = row(w, "Key_1") + row(w, "Key_3");
        select(w, {"Key_2"});
        answerEditors([](frmSongProperty& e) {
            e.txtSongName->setText("b2");
            e.txtFilePath->setText("/m/b2.mp3");
            e.cboArtist->setCurrentText("Ann");
            check(e, {"Pop", "Rock"});
            e.sldPriority->setValue(100);
            e.sldVolume->setValue(2000);
            e.chkBreakOut->setChecked(true);
            e.chkTrend->setChecked(true);
        });
        w.action("mnuEdit_SongProp")->trigger();
        QCOMPARE(editors_, 1);
        QCOMPARE(startedFrom_, QStringList({"b"}));
        QCOMPARE(bulk_, QList<bool>({false}));
        QCOMPARE(stored(db, 2), QStringList({"b2", "/m/b2.mp3", "Rock", "Pop", "指定無し", "100",
                                             "7", "Ann", "True", "True", "2000"}));
        QCOMPARE(row(w, "Key_2"),
                 QStringList({"b2", "/m/b2.mp3", "Rock/Pop", "100", "7", "Ann", "2000"}));
        QCOMPARE(stored(db, 1) + stored(db, 3), others);
        QCOMPARE(row(w, "Key_1") + row(w, "Key_3"), otherRows);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void doubleClickEditsTheClickedSong() {
        TempLibrary lib;
        fill(lib);
        Running r = start(lib);
        frmMain& w = *r.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        answerEditors([](frmSongProperty& e) { e.cmdCancel->click(); });
        const QRect rect = w.lvSongList->visualRect(w.lvSongList->songs().index(2, 0));
        QTest::mouseClick(w.lvSongList->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(w.lvSongList->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(editors_, 1);
        QCOMPARE(startedFrom_, QStringList({"c"}));
        QCOMPARE(bulk_, QList<bool>({false}));
    }

    void cancelChangesNothing_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("one song") << "mnuEdit_SongProp";
        QTest::newRow("selected songs") << "mnuEdit_SongPropDirect";
    }
    void cancelChangesNothing() {
        QFETCH(QString, command);
        TempLibrary lib;
        fill(lib);
        const QString db = lib.path();
        const QStringList before = storedAll(db);
        Running r = start(lib);
        frmMain& w = *r.window;
        const QStringList shown = rows(w);
        select(w, {"Key_1", "Key_3"});
        answerEditors([](frmSongProperty& e) {
            check(e, {"Jazz"});
            e.sldPriority->setValue(99);
            e.cmdCancel->click();
        });
        w.action(command)->trigger();
        QCOMPARE(editors_, 1);
        QCOMPARE(storedAll(db), before);
        QCOMPARE(rows(w), shown);
    }

    // The editor starts from the focused song; every selected song takes
    // its values but keeps its own title, file path and play count.
    void bulkEditKeepsEachSongsTitlePathAndCount() {
        TempLibrary lib;
        fill(lib);
        const QString db = lib.path();
        const QStringList untouched = stored(db, 2);
        ScriptedPresenter boxes;
        Running r = start(lib);
        frmMain& w = *r.window;
        const QStringList untouchedRow = row(w, "Key_2");
        // Renamed behind the list: the row's own title cell must stay.
        run(db, "UPDATE TM_曲情報 SET タイトル = 'a, renamed' WHERE ID = 1");
        select(w, {"Key_1", "Key_3"});
        answerEditors([](frmSongProperty& e) {
            check(e, {"Pop"});
            e.cboArtist->setCurrentText("Bob");
            e.sldPriority->setValue(55);
            e.chkTrend->setChecked(true);
        });
        w.action("mnuEdit_SongPropDirect")->trigger();
        QCOMPARE(startedFrom_, QStringList({"c"}));
        QCOMPARE(bulk_, QList<bool>({true}));
        QCOMPARE(stored(db, 1), QStringList({"a, renamed", path(lib, "a"), "Pop", "指定無し",
                                             "指定無し", "55", "5", "Bob", "True", "True", "100"}));
        QCOMPARE(stored(db, 3), QStringList({"c", path(lib, "c"), "Pop", "指定無し", "指定無し",
                                             "55", "9", "Bob", "True", "True", "100"}));
        QCOMPARE(stored(db, 2), untouched);
        QCOMPARE(row(w, "Key_1"),
                 QStringList({"a", path(lib, "a"), "Pop", "55", "5", "Bob", "100"}));
        QCOMPARE(row(w, "Key_3"),
                 QStringList({"c", path(lib, "c"), "Pop", "55", "9", "Bob", "100"}));
        QCOMPARE(row(w, "Key_2"), untouchedRow);
        QVERIFY(boxes.boxes().isEmpty());
    }

    // Rewritten rows go to their sorted places; equal cells keep the
    // rows already there first.
    void bulkEditKeepsTheListSorted_data() {
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("selected"); // still the edited rows, top to bottom
        QTest::newRow("ascending")
            << 0 << QStringList({"Key_1", "Key_2", "Key_3"})
            << QStringList({"Key_3", "Key_1", "Key_2"}) << QStringList({"Key_1", "Key_2"});
        QTest::newRow("descending")
            << 1 << QStringList({"Key_3", "Key_2", "Key_1"})
            << QStringList({"Key_2", "Key_1", "Key_3"}) << QStringList({"Key_2", "Key_1"});
    }
    void bulkEditKeepsTheListSorted() {
        QFETCH(int, order);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, selected);
        TempLibrary lib;
        fill(lib);
        Running r = start(lib);
        frmMain& w = *r.window;
        SongListModel& list = w.lvSongList->songs();
        list.setSort(true, 3, order); // by priority, as text
        QCOMPARE(QStringList({list.keyAt(0), list.keyAt(1), list.keyAt(2)}), before);
        select(w, {"Key_1", "Key_2"});
        answerEditors([](frmSongProperty& e) { e.sldPriority->setValue(4); });
        w.action("mnuEdit_SongPropDirect")->trigger();
        // "4" sorts after "30" as text.
        QCOMPARE(QStringList({list.keyAt(0), list.keyAt(1), list.keyAt(2)}), after);
        QCOMPARE(w.lvSongList->selectedKeys(), selected);
    }

    // Editing the song that is playing shows the edit and applies its
    // volume correction at once; editing another song touches neither.
    void playingSongFollowsAnEdit_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<bool>("follows");
        QTest::addColumn<QString>("title");
        const QString one = "mnuEdit_SongProp";
        const QString many = "mnuEdit_SongPropDirect";
        QTest::newRow("one song, the playing one")
            << one << QStringList({"Key_1"}) << true << true << "a2";
        QTest::newRow("one song, another") << one << QStringList({"Key_2"}) << true << false << "a";
        QTest::newRow("selected songs with the playing one")
            << many << QStringList({"Key_1", "Key_2"}) << true << true << "a";
        QTest::newRow("selected songs without it")
            << many << QStringList({"Key_2", "Key_3"}) << true << false << "a";
        QTest::newRow("one song, the stopped one")
            << one << QStringList({"Key_1"}) << false << true << "a2";
    }
    void playingSongFollowsAnEdit() {
        QFETCH(QString, command);
        QFETCH(QStringList, selected);
        QFETCH(bool, playing);
        QFETCH(bool, follows);
        QFETCH(QString, title);
        TempLibrary lib;
        fill(lib);
        Running r = start(lib);
        frmMain& w = *r.window;
        w.sldVolume->setValue(4000);
        w.frmMain_PlaySong("Key_1");
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(r.player->volume(), -6000); // 4000 + 0 - 10000
        QCOMPARE(w.lblSongDisp2->text(), QStringLiteral("Ann"));
        if (!playing)
            w.frmMain_StopSong();
        const QString line1 = w.lblSongDisp1->text();
        const QString line2 = w.lblSongDisp2->text();
        const QString status = w.lblStatBarSong->text();
        r.player->log.clear();

        select(w, selected);
        answerEditors([](frmSongProperty& e) {
            if (e.txtSongName->isEnabled())
                e.txtSongName->setText("a2");
            e.cboArtist->setCurrentText("Bob");
            e.sldVolume->setValue(1500);
        });
        w.action(command)->trigger();
        QCOMPARE(editors_, 1);
        QCOMPARE(w.currentSong()->Title(), title);
        if (!follows) {
            QCOMPARE(w.currentSong()->Artist(), QStringLiteral("Ann"));
            QCOMPARE(w.currentSong()->Volume(), 0);
            QVERIFY(r.player->log.isEmpty());
            QCOMPARE(w.lblSongDisp1->text(), line1);
            QCOMPARE(w.lblSongDisp2->text(), line2);
            return;
        }
        QCOMPARE(w.currentSong()->Artist(), QStringLiteral("Bob"));
        QCOMPARE(w.currentSong()->Volume(), 1500);
        QCOMPARE(w.currentSong()->Count(), 5);
        QCOMPARE(w.currentSong()->FilePath(), path(lib, "a"));
        QCOMPARE(r.player->log, QStringList({"volume -4500"})); // 4000 + 1500 - 10000
        if (playing) {
            QCOMPARE(w.lblSongDisp1->text(), title);
            QCOMPARE(w.lblSongDisp2->text(), QStringLiteral("Bob"));
            QCOMPARE(w.lblStatBarSong->text(), path(lib, "a"));
        } else {
            QVERIFY(w.lblSongDisp1->text().isEmpty());
            QVERIFY(w.lblSongDisp2->text().isEmpty());
            QCOMPARE(w.lblStatBarSong->text(), status);
        }
        // The next counted play is written to the playing song alone.
        QCOMPARE(w.frmMain_MakeSongParams().at(10), QStringLiteral("1"));
    }

    // A write the engine refuses part-way, by the statement alone (ABORT)
    // or by ending the whole transaction (ROLLBACK).
    void failingBulkWriteChangesNothing_data() {
        QTest::addColumn<QString>("raise");
        QTest::newRow("abort") << "ABORT";
        QTest::newRow("rollback") << "ROLLBACK";
    }
    void failingBulkWriteChangesNothing() {
        QFETCH(QString, raise);
        TempLibrary lib;
        fill(lib);
        const QString db = lib.path();
        run(db, "CREATE TRIGGER refuse BEFORE UPDATE ON TM_曲情報 WHEN NEW.ID = 3"
                " BEGIN SELECT RAISE(" +
                    raise + ", 'refused'); END");
        const QStringList before = storedAll(db);
        ScriptedPresenter boxes;
        Running r = start(lib);
        frmMain& w = *r.window;
        w.frmMain_PlaySong("Key_1");
        const QString line2 = w.lblSongDisp2->text();
        const QStringList shown = rows(w);
        r.player->log.clear();
        select(w, {"Key_1", "Key_2", "Key_3"});
        answerEditors([](frmSongProperty& e) {
            check(e, {"Pop"});
            e.cboArtist->setCurrentText("Bob");
            e.sldVolume->setValue(700);
        });
        w.action("mnuEdit_SongPropDirect")->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DBError"));
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("refused"));
        QCOMPARE(storedAll(db), before);
        QCOMPARE(rows(w), shown);
        QCOMPARE(w.currentSong()->Artist(), QStringLiteral("Ann"));
        QCOMPARE(w.lblSongDisp2->text(), line2);
        QVERIFY(r.player->log.isEmpty());

        // The next edit stands on its own again.
        run(db, "DROP TRIGGER refuse");
        w.action("mnuEdit_SongPropDirect")->trigger();
        QCOMPARE(stored(db, 2).at(2), QStringLiteral("Pop"));
        QCOMPARE(row(w, "Key_3").at(2), QStringLiteral("Pop"));
    }

    // The row shows what the database holds, not what failed to be stored.
    void failingSingleWriteShowsTheStoredRow() {
        TempLibrary lib;
        fill(lib);
        const QString db = lib.path();
        run(db, "CREATE TRIGGER refuse BEFORE UPDATE ON TM_曲情報 WHEN NEW.タイトル = 'b2'"
                " BEGIN SELECT RAISE(ABORT, 'refused'); END");
        ScriptedPresenter boxes;
        Running r = start(lib);
        frmMain& w = *r.window;
        select(w, {"Key_2"});
        answerEditors([&db](frmSongProperty& e) {
            // Changed behind the list while the editor is open.
            run(db, "UPDATE TM_曲情報 SET 優先度 = 77 WHERE ID = 2");
            e.txtSongName->setText("b2");
            e.sldPriority->setValue(1);
        });
        w.action("mnuEdit_SongProp")->trigger();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("refused"));
        QCOMPARE(stored(db, 2), QStringList({"b", path(lib, "b"), "Jazz", "指定無し", "指定無し",
                                             "77", "7", "Bob", "False", "False", "0"}));
        QCOMPARE(row(w, "Key_2"),
                 QStringList({"b", path(lib, "b"), "Jazz", "77", "7", "Bob", "0"}));
    }
};

QTEST_MAIN(TestSongEditing)
#include "tst_songediting.moc"
