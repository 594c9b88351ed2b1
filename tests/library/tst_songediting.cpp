// Editing songs against a real library database: the property editor on
// its own (what it shows of a record, what OK writes back, what Cancel
// leaves alone), and driven from the main window (one song or the selected
// songs, what reaches the database and the list, the playing song kept in
// step, and failed writes that change nothing).

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/longwork.h"
#include "base/modal.h"
#include "data/songrecord.h"
#include "fakeplayer.h"
#include "library/songedit.h"
#include "library/songproperty.h"
#include "librarytest.h"
#include "playback/playstate.h"
#include "songlist/songlistview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTreeWidget>

class TestSongEditing : public QObject {
    Q_OBJECT

    std::unique_ptr<TempLibrary> lib_;
    FakePlayer* player_ = nullptr;
    std::unique_ptr<frmMain> w_;
    ScriptedPresenter presenter_;
    QStringList startedFrom_; // each editor's title, and how many of path and title it let edit

    // The library's folder shows as "~".
    QString shorten(QString text) const {
        return text.replace(lib_->folder(), QStringLiteral("~"));
    }
    // A row of the main list, its cells joined by '|'.
    QString row(const QString& key) const {
        QStringList cells;
        for (int c = 0; c < w_->lvSongList->songs().columnCount(); ++c)
            cells << w_->lvSongList->songs().cell(key, c);
        return shorten(cells.join(u'|'));
    }
    QStringList rows() const {
        return {row(QStringLiteral("Key_1")), row(QStringLiteral("Key_2")),
                row(QStringLiteral("Key_3"))};
    }
    // What the database holds of a song, read through a connection of the
    // test's own: title|path|genres|priority|count|artist|flags|volume.
    QString stored(int id) const {
        ADO_Connector check(lib_->path());
        Recordset rs;
        if (!check.adoGetData(Read::SongById, rs, QString::number(id)) || rs.Eof())
            return QStringLiteral("<missing>");
        QStringList out;
        for (const char* field :
             {"タイトル", "ファイルパス", "ジャンル1", "ジャンル2", "ジャンル3", "優先度",
              "カウント", "アーティスト名", "ブレークアウト", "トレンド", "ボリューム補正"})
            out << rs.text(QString::fromUtf8(field));
        return shorten(out.join(u'|'));
    }
    QStringList storedAll() const { return {stored(1), stored(2), stored(3)}; }
    void run(const QString& sql) { QCOMPARE(librarytest::rows(*lib_, sql), L()); }
    void select(const QStringList& keys) {
        w_->lvSongList->clearSelection();
        for (const QString& key : keys)
            QVERIFY(w_->lvSongList->selectKey(key, true));
    }
    void trigger(const QString& command) { w_->findChild<QAction*>(command)->trigger(); }
    static void check(frmSongProperty& e, const QStringList& names) {
        for (int i = 0; i < e.lvSongList->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = e.lvSongList->topLevelItem(i);
            item->setCheckState(0, names.contains(item->text(0)) ? Qt::Checked : Qt::Unchecked);
        }
    }

    // Every property of a record, for comparing two records whole.
    static QStringList fields(const Song& s) {
        return songrecord::songParams(s) + L{s.Janl(), s.Artist(), s.BreakOut(), s.Trend()};
    }
    // The checked genres, top to bottom.
    static QStringList checked(const frmSongProperty& d) {
        QStringList out;
        for (int i = 0; i < d.lvSongList->topLevelItemCount(); ++i) {
            if (d.lvSongList->topLevelItem(i)->checkState(0) == Qt::Checked)
                out << d.lvSongList->topLevelItem(i)->text(0);
        }
        return out;
    }
    // The controls' values, flags as 0 or 1.
    QStringList shown(const frmSongProperty& d) const {
        using librarytest::itemTexts;
        QStringList out;
        out << shorten(d.txtFilePath->text()) << d.txtSongName->text() << d.cboArtist->currentText()
            << itemTexts(d.cboArtist->model()).join(u'|')
            << itemTexts(d.lvSongList->model()).join(u'|') << checked(d).join(u'/');
        for (int n : {d.sldPriority->value(), d.sldVolume->value(), int(d.chkBreakOut->isChecked()),
                      int(d.chkTrend->isChecked())})
            out << QString::number(n);
        return out;
    }
    // A click on the check box of the genre list's row.
    static void click(frmSongProperty& d, int row) {
        const QRect rect = d.lvSongList->visualItemRect(d.lvSongList->topLevelItem(row));
        const QPoint box(rect.left() + rect.height() / 2, rect.center().y());
        QTest::mouseClick(d.lvSongList->viewport(), Qt::LeftButton, {}, box);
    }
    static Song song(int id) {
        const std::optional<Song> s = songedit::loadSong(QString::number(id));
        return s ? *s : Song();
    }

    // Each editor shown is handed to `script`, then confirmed with OK
    // unless the script ended it.
    void answerEditors(std::function<void(frmSongProperty&)> script) {
        setModalHandler([this, script](QDialog& dialog) {
            auto* editor = qobject_cast<frmSongProperty*>(&dialog);
            startedFrom_ << editor->txtSongName->text() +
                                QString::number(editor->txtSongName->isEnabled() +
                                                editor->txtFilePath->isEnabled());
            script(*editor);
            if (editor->result() == QDialog::Rejected && !editor->Canceled())
                editor->cmdOK->click();
            return editor->result();
        });
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }

    // Genres Rock (2), Jazz (3), Pop (4), Folk (5); artists Ann (2), Bob
    // (3); songs a (Rock, none, Pop; Ann; priority 10, count 5), b (Jazz,
    // Bob, 20, 7) and c (no genre or artist, 30, 9, volume correction 100,
    // break-out set), in a started main window with a fake player.
    void init() {
        gPlayState = kStopped;
        presenter_.clear();
        startedFrom_.clear();
        lib_ = std::make_unique<TempLibrary>();
        for (const char* g : {"Rock", "Jazz", "Pop", "Folk"})
            lib_->addGenre(QString::fromUtf8(g));
        lib_->addArtist(QStringLiteral("Ann"));
        lib_->addArtist(QStringLiteral("Bob"));
        const auto add = [this](const char* title, int id, int priority, int count, int volume) {
            TempLibrary::Fields f;
            f.genres[0] = f.artist = id;
            f.genres[2] = id == 2 ? 4 : 1;
            f.priority = priority, f.count = count, f.volume = volume, f.breakOut = volume > 0;
            lib_->addSong(QString::fromUtf8(title), f);
        };
        add("a", 2, 10, 5, 0);
        add("b", 3, 20, 7, 0);
        add("c", 1, 30, 9, 100);
        lib_->showColumns({QStringLiteral("曲名"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"),
                           QStringLiteral("ｼﾞｬﾝﾙ"), QStringLiteral("優先度"),
                           QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("ｱｰﾃｨｽﾄ名"),
                           QStringLiteral("ﾎﾞﾘｭｰﾑ補正")});
        // Now playing: title above artist, the file path in the status bar.
        lib_->db().adoSetData(Write::FrameOrder, {QStringLiteral("1"), QStringLiteral("曲名")});
        lib_->db().adoSetData(Write::FrameOrder, {QStringLiteral("2"), QStringLiteral("ｱｰﾃｨｽﾄ名")});
        lib_->db().adoSetData(Write::StatusBarOrder,
                              {QStringLiteral("1"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")});
        lib_->close();
        player_ = new FakePlayer;
        player_->lengths = {{lib_->folder() + QStringLiteral("/music/a.mp3"), 200}};
        w_ = std::make_unique<frmMain>(lib_->path(), player_);
        QVERIFY(w_->Form_Load());
    }
    void cleanup() {
        setModalHandler({});
        setLongWorkWatcher({});
        w_.reset();
        lib_.reset();
    }

    // --- the editor on its own ---

    // Every genre but "指定無し" in table order, checked by the song's
    // genre names, flags "True" checked and "False" unchecked; another
    // record refills every list instead of adding.
    void showsTheRecord() {
        frmSongProperty d;
        d.setTargetSong(song(3));
        QCOMPARE(shown(d),
                 L({QStringLiteral("~/music/c.mp3"), QStringLiteral("c"),
                    QStringLiteral("指定無し"), QStringLiteral("指定無し|Ann|Bob"),
                    QStringLiteral("Rock|Jazz|Pop|Folk"), QStringLiteral(""), QStringLiteral("30"),
                    QStringLiteral("100"), QStringLiteral("1"), QStringLiteral("0")}));
        d.setTargetSong(song(1));
        QCOMPARE(shown(d),
                 L({QStringLiteral("~/music/a.mp3"), QStringLiteral("a"), QStringLiteral("Ann"),
                    QStringLiteral("指定無し|Ann|Bob"), QStringLiteral("Rock|Jazz|Pop|Folk"),
                    QStringLiteral("Rock/Pop"), QStringLiteral("10"), QStringLiteral("0"),
                    QStringLiteral("0"), QStringLiteral("0")}));
    }

    // Genres are stored top to bottom, whatever order they were clicked
    // in; none checked stores "指定無し" in every slot.
    void genresFollowListOrder_data() {
        QTest::addColumn<int>("song");
        QTest::addColumn<QList<int>>("clicks"); // rows of the genre list
        QTest::addColumn<QString>("janl");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("click order")
            << 3 << QList<int>{3, 0, 1} << "Rock/Jazz/Folk"
            << L{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("5")};
        QTest::newRow("none") << 1 << QList<int>{2, 0} << "指定無し"
                              << L{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")};
    }
    void genresFollowListOrder() {
        QFETCH(int, song);
        QFETCH(QList<int>, clicks);
        frmSongProperty d;
        d.setTargetSong(TestSongEditing::song(song));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        for (int row : clicks)
            click(d, row);
        d.cmdOK->click();
        QTEST(d.TargetSong().Janl(), "janl");
        QTEST(songrecord::songParams(d.TargetSong()).mid(3, 3), "ids");
    }

    void fourGenresKeepTheDialogOpenThenThreeSucceed() {
        frmSongProperty d;
        const Song before = song(1);
        d.setTargetSong(before);
        d.show();
        check(d, {QStringLiteral("Rock"), QStringLiteral("Jazz"), QStringLiteral("Pop"),
                  QStringLiteral("Folk")});
        d.cmdOK->click();
        QCOMPARE(librarytest::shown(presenter_),
                 L({QStringLiteral("Melodara Player|ジャンルの指定は最大３つまで可能です")}));
        QCOMPARE(presenter_.boxes().front().style, 0);
        QVERIFY(d.isVisible() && !d.Canceled());
        QCOMPARE(checked(d), L({QStringLiteral("Rock"), QStringLiteral("Jazz"),
                                QStringLiteral("Pop"), QStringLiteral("Folk")}));
        QCOMPARE(fields(d.TargetSong()), fields(before));

        check(d, {QStringLiteral("Jazz"), QStringLiteral("Pop"), QStringLiteral("Folk")});
        d.cmdOK->click();
        QCOMPARE(presenter_.boxes().size(), 1);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.TargetSong().Janl(), QStringLiteral("Jazz/Pop/Folk"));
    }

    // Cancel, Escape and the title bar's close leave the record as it was.
    void cancelLeavesTheRecordIdentical_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("title-bar close") << 2;
    }
    void cancelLeavesTheRecordIdentical() {
        QFETCH(int, how);
        frmSongProperty d;
        const Song before = song(1);
        d.setTargetSong(before);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.txtSongName->setText(QStringLiteral("y"));
        d.cboArtist->setCurrentIndex(2);
        check(d, {QStringLiteral("Jazz")});
        d.chkTrend->setChecked(true);
        how == 0   ? d.cmdCancel->click()
        : how == 1 ? QTest::keyClick(&d, Qt::Key_Escape)
                   : void(d.close());
        QVERIFY(d.Canceled());
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(fields(d.TargetSong()), fields(before));
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // No value goes past either end, the one shown beside it included; a
    // stored correction beyond the slider is written back at its end.
    void slidersKeepTheirBounds_data() {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("shown");
        QTest::newRow("priority below") << "sldPriority" << -1 << 0;
        QTest::newRow("priority above") << "sldPriority" << 101 << 100;
        QTest::newRow("volume below") << "sldVolume" << -1 << 0;
        QTest::newRow("volume above") << "sldVolume" << 5000 << 2000;
    }
    void slidersKeepTheirBounds() {
        QFETCH(QString, slider);
        QFETCH(int, set);
        QFETCH(int, shown);
        frmSongProperty d;
        Song record;
        record.setVolume(set);
        d.setTargetSong(record);
        auto* s = d.findChild<QSlider*>(slider);
        if (s == d.sldPriority) // a record keeps its priority within bounds
            s->setValue(set);
        QCOMPARE(s->value(), shown);
        QCOMPARE(d.findChild<QLabel*>(slider + QStringLiteral("Value"))->text(),
                 QString::number(shown));
        d.cmdOK->click();
        QCOMPARE(s == d.sldPriority ? d.TargetSong().Priority() : d.TargetSong().Volume(), shown);
    }

    // --- from the main window ---

    // A song removed behind the list's back: see songRemovedMeanwhileLeavesTheList.
    void noEditorWithoutASelectedSong() {
        answerEditors([](frmSongProperty&) {});
        w_->lvSongList->clearSelection();
        trigger(QStringLiteral("mnuEdit_SongProp"));
        trigger(QStringLiteral("mnuEdit_SongPropDirect"));
        QVERIFY(startedFrom_.isEmpty());
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // Nothing is validated: an empty title is stored as it is. A play
    // counted while the editor was open stays counted. A write that fails
    // leaves the row showing what the database holds, here a priority
    // changed behind the list while the editor was open.
    void singleEditWritesEveryFieldAndItsRow_data() {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("row");
        QTest::newRow("written") << ""
                                 << "|/m/b2.mp3|Rock|Pop|指定無し|100|8|Ann|True|False|2000"
                                 << "|/m/b2.mp3|Rock/Pop|100|8|Ann|2000";
        QTest::newRow("refused") << "CREATE TRIGGER refuse BEFORE UPDATE ON TM_曲情報"
                                    " WHEN NEW.ファイルパス = '/m/b2.mp3'"
                                    " BEGIN SELECT RAISE(ABORT, 'refused'); END"
                                 << "b|~/music/b.mp3|Jazz|指定無し|指定無し|77|8|Bob|False|False|0"
                                 << "b|~/music/b.mp3|Jazz|77|8|Bob|0";
    }
    void singleEditWritesEveryFieldAndItsRow() {
        QFETCH(QString, sabotage);
        if (!sabotage.isEmpty())
            run(sabotage);
        const L others = {stored(1), stored(3), row(QStringLiteral("Key_1")),
                          row(QStringLiteral("Key_3"))};
        select({QStringLiteral("Key_2")});
        answerEditors([this](frmSongProperty& e) {
            run(QStringLiteral("UPDATE TM_曲情報 SET 優先度 = 77, カウント = 8 WHERE ID = 2"));
            e.txtSongName->setText(QStringLiteral(""));
            e.txtFilePath->setText(QStringLiteral("/m/b2.mp3"));
            e.cboArtist->setCurrentText(QStringLiteral("Ann"));
            check(e, {QStringLiteral("Pop"), QStringLiteral("Rock")});
            e.sldPriority->setValue(100);
            e.sldVolume->setValue(2000);
            e.chkBreakOut->setChecked(true);
        });
        trigger(QStringLiteral("mnuEdit_SongProp"));
        QCOMPARE(startedFrom_, L({QStringLiteral("b2")}));
        QTEST(stored(2), "stored");
        QTEST(row(QStringLiteral("Key_2")), "row");
        QCOMPARE(
            L({stored(1), stored(3), row(QStringLiteral("Key_1")), row(QStringLiteral("Key_3"))}),
            others);
        QCOMPARE(
            librarytest::shown(presenter_),
            sabotage.isEmpty()
                ? L()
                : L({QStringLiteral("DBError|refused"),
                     QStringLiteral(
                         "Melodara Player|曲情報の更新に失敗しました。変更は保存されていません")}));
    }

    void doubleClickEditsTheClickedSong() {
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        answerEditors([](frmSongProperty& e) { e.cmdCancel->click(); });
        const QRect rect = w_->lvSongList->visualRect(w_->lvSongList->songs().index(2, 0));
        QTest::mouseClick(w_->lvSongList->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(w_->lvSongList->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(startedFrom_, L({QStringLiteral("c2")}));
    }

    // Cancel changes nothing. OK: the editor starts from the focused song
    // and lets neither path nor title be edited; every selected song takes
    // its values but keeps its own title, file path and play count.
    void bulkEditKeepsEachSongsTitlePathAndCount() {
        const L untouched = {stored(2), row(QStringLiteral("Key_2"))};
        // Renamed behind the list: the row's own title cell must stay.
        run(QStringLiteral("UPDATE TM_曲情報 SET タイトル = 'a, renamed' WHERE ID = 1"));
        const L before = storedAll() + rows();
        select({QStringLiteral("Key_1"), QStringLiteral("Key_3")});
        bool cancel = true;
        answerEditors([&cancel](frmSongProperty& e) {
            check(e, {QStringLiteral("Pop")});
            e.cboArtist->setCurrentText(QStringLiteral("Bob"));
            e.sldPriority->setValue(55);
            e.chkBreakOut->setChecked(false);
            e.chkTrend->setChecked(true);
            if (cancel)
                e.cmdCancel->click();
        });
        trigger(QStringLiteral("mnuEdit_SongPropDirect"));
        QCOMPARE(storedAll() + rows(), before);
        cancel = false;
        trigger(QStringLiteral("mnuEdit_SongPropDirect"));
        QCOMPARE(startedFrom_, L({QStringLiteral("c0"), QStringLiteral("c0")}));
        QCOMPARE(
            storedAll(),
            L({QStringLiteral(
                   "a, renamed|~/music/a.mp3|Pop|指定無し|指定無し|55|5|Bob|False|True|100"),
               untouched[0],
               QStringLiteral("c|~/music/c.mp3|Pop|指定無し|指定無し|55|9|Bob|False|True|100")}));
        QCOMPARE(rows(), L({QStringLiteral("a|~/music/a.mp3|Pop|55|5|Bob|100"), untouched[1],
                            QStringLiteral("c|~/music/c.mp3|Pop|55|9|Bob|100")}));
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // A song removed before the editor opens, while it is open, or once the
    // bulk write has begun: the edit ends with a word, its row leaves the
    // list, and the other songs are written, also those after it.
    void songRemovedMeanwhileLeavesTheList_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("selected"); // the last is the editor's
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("when");      // "before", "open" or "writing"
        QTest::addColumn<QStringList>("names"); // the rows' titles and priorities after
        const QString single = QStringLiteral("mnuEdit_SongProp");
        const QString bulk = QStringLiteral("mnuEdit_SongPropDirect");
        QTest::newRow("single") << single << L{QStringLiteral("Key_3")} << 3 << "open"
                                << L{QStringLiteral("a|10"), QStringLiteral("b|20"),
                                     QStringLiteral("|")};
        QTest::newRow("bulk, the last")
            << bulk << L{QStringLiteral("Key_1"), QStringLiteral("Key_3")} << 3 << "open"
            << L{QStringLiteral("a|66"), QStringLiteral("b|20"), QStringLiteral("|")};
        QTest::newRow("bulk, one between, while writing")
            << bulk << L{QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_3")}
            << 2 << "writing"
            << L{QStringLiteral("a|66"), QStringLiteral("|"), QStringLiteral("c|66")};
        QTest::newRow("single, before opening")
            << single << L{QStringLiteral("Key_3")} << 3 << "before"
            << L{QStringLiteral("a|10"), QStringLiteral("b|20"), QStringLiteral("|")};
        QTest::newRow("bulk, before opening")
            << bulk << L{QStringLiteral("Key_1"), QStringLiteral("Key_3")} << 3 << "before"
            << L{QStringLiteral("a|10"), QStringLiteral("b|20"), QStringLiteral("|")};
    }
    void songRemovedMeanwhileLeavesTheList() {
        QFETCH(QString, command);
        QFETCH(QStringList, selected);
        QFETCH(int, removed);
        QFETCH(QString, when);
        const QString remove = QStringLiteral("DELETE FROM TM_曲情報 WHERE ID = %1").arg(removed);
        select(selected);
        if (when == QStringLiteral("before"))
            run(remove);
        answerEditors([&](frmSongProperty& e) {
            if (when == QStringLiteral("open"))
                run(remove);
            e.sldPriority->setValue(66);
        });
        setLongWorkWatcher([&](QDialog&, WorkProgress&) {
            if (when == QStringLiteral("writing"))
                run(remove);
        });
        trigger(command);
        QCOMPARE(startedFrom_.size(), when == QStringLiteral("before") ? 0 : 1);
        QStringList names;
        for (const QString& r : rows())
            names << r.section(u'|', 0, 0) + u'|' + r.section(u'|', 3, 3);
        QTEST(names, "names");
        QCOMPARE(w_->lvSongList->songs().count(), 2);
        QCOMPARE(librarytest::shown(presenter_),
                 L{QStringLiteral("Melodara Player|選択中の曲はデータベースから削除されています")});
    }

    // Rewritten rows go to their sorted places; equal cells keep the
    // rows already there first.
    void bulkEditKeepsTheListSorted_data() {
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("selected"); // still the edited rows, top to bottom
        QTest::newRow("ascending")
            << 0 << L{QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_3")}
            << L{QStringLiteral("Key_3"), QStringLiteral("Key_1"), QStringLiteral("Key_2")}
            << L{QStringLiteral("Key_1"), QStringLiteral("Key_2")};
        QTest::newRow("descending")
            << 1 << L{QStringLiteral("Key_3"), QStringLiteral("Key_2"), QStringLiteral("Key_1")}
            << L{QStringLiteral("Key_2"), QStringLiteral("Key_1"), QStringLiteral("Key_3")}
            << L{QStringLiteral("Key_2"), QStringLiteral("Key_1")};
    }
    void bulkEditKeepsTheListSorted() {
        QFETCH(int, order);
        SongListModel& list = w_->lvSongList->songs();
        const auto keys = [&list] { return L({list.keyAt(0), list.keyAt(1), list.keyAt(2)}); };
        list.setSort(true, 3, order); // by priority, as text
        QTEST(keys(), "before");
        select({QStringLiteral("Key_1"), QStringLiteral("Key_2")});
        answerEditors([](frmSongProperty& e) { e.sldPriority->setValue(4); });
        trigger(QStringLiteral("mnuEdit_SongPropDirect"));
        // "4" sorts after "30" as text.
        QTEST(keys(), "after");
        QTEST(w_->lvSongList->selectedKeys(), "selected");
    }

    // Editing the song that is playing (or stopped but current) takes the
    // edit and its volume correction at once; the display shows it while
    // playing. Editing another song touches neither, and neither does a
    // bulk write the engine refuses part-way, by the statement alone
    // (ABORT) or by ending the whole transaction (ROLLBACK): then nothing
    // is changed, and the next edit stands on its own again.
    void currentSongFollowsAnEdit_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QString>("raise");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("song"); // title|artist|volume
        const QString one = QStringLiteral("mnuEdit_SongProp");
        const QString many = QStringLiteral("mnuEdit_SongPropDirect");
        const L louder = {QStringLiteral("volume -1558")}; // 6000 log10((4000 + 1500) / 10000)
        const L all = {QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_3")};
        QTest::newRow("one song, the playing one")
            << one << L{QStringLiteral("Key_1")} << true << "" << louder << "a2|Bob|1500";
        QTest::newRow("one song, another")
            << one << L{QStringLiteral("Key_2")} << true << "" << L{} << "a|Ann|0";
        QTest::newRow("selected songs with the playing one")
            << many << L{QStringLiteral("Key_1"), QStringLiteral("Key_2")} << true << "" << louder
            << "a|Bob|1500";
        QTest::newRow("selected songs without it")
            << many << L{QStringLiteral("Key_2"), QStringLiteral("Key_3")} << true << "" << L{}
            << "a|Ann|0";
        QTest::newRow("one song, the stopped one")
            << one << L{QStringLiteral("Key_1")} << false << "" << louder << "a2|Bob|1500";
        QTest::newRow("refused") << many << all << true << "ABORT" << L{} << "a|Ann|0";
        QTest::newRow("transaction ended") << many << all << true << "ROLLBACK" << L{} << "a|Ann|0";
    }
    void currentSongFollowsAnEdit() {
        QFETCH(QString, command);
        QFETCH(QStringList, selected);
        QFETCH(bool, playing);
        QFETCH(QStringList, log);
        QFETCH(QString, raise);
        if (!raise.isEmpty())
            run(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON TM_曲情報 WHEN NEW.ID = 3"
                               " BEGIN SELECT RAISE(") +
                raise + QStringLiteral(", 'refused'); END"));
        frmMain& w = *w_;
        w.sldVolume->setValue(4000);
        w.frmMain_PlaySong(QStringLiteral("Key_1"));
        QCOMPARE(player_->volume(), -2388); // 6000 log10(4000 / 10000)
        if (!playing)
            w.frmMain_StopSong();
        const auto display = [&] {
            return L({w.lblSongDisp1->text(), w.lblSongDisp2->text(),
                      shorten(w.lblStatBarSong->text())});
        };
        const L before = display();
        const L kept = storedAll() + rows();
        player_->log.clear();

        select(selected);
        answerEditors([](frmSongProperty& e) {
            if (e.txtSongName->isEnabled())
                e.txtSongName->setText(QStringLiteral("a2"));
            e.cboArtist->setCurrentText(QStringLiteral("Bob"));
            e.sldVolume->setValue(1500);
        });
        trigger(command);
        QCOMPARE(startedFrom_.size(), 1);
        const Song& s = *w.currentSong();
        QTEST(L({s.Title(), s.Artist(), QString::number(s.Volume())}).join(u'|'), "song");
        QCOMPARE(L({QString::number(s.Count()), shorten(s.FilePath())}),
                 L({QStringLiteral("5"), QStringLiteral("~/music/a.mp3")}));
        QCOMPARE(player_->log, log);
        QCOMPARE(display(), playing && !log.isEmpty() ? L({s.Title(), QStringLiteral("Bob"),
                                                           QStringLiteral("~/music/a.mp3")})
                                                      : before);
        // The next counted play is written to the current song alone.
        QCOMPARE(w.frmMain_MakeSongParams().at(10), QStringLiteral("1"));
        QCOMPARE(
            librarytest::shown(presenter_),
            raise.isEmpty()
                ? L()
                : L({QStringLiteral("DBError|refused"),
                     QStringLiteral(
                         "Melodara Player|曲情報の更新に失敗しました。変更は保存されていません")}));
        if (raise.isEmpty())
            return;
        QCOMPARE(storedAll() + rows(), kept);
        run(QStringLiteral("DROP TRIGGER refuse"));
        trigger(command);
        QCOMPARE(stored(3).section(u'|', 7, 7), QStringLiteral("Bob"));
        QCOMPARE(row(QStringLiteral("Key_3")).section(u'|', 5, 5), QStringLiteral("Bob"));
    }
};

QTEST_MAIN(TestSongEditing)
#include "tst_songediting.moc"
