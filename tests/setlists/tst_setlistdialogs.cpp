// The set-list and album windows of a real library driven headless: the
// album rules without windows, the lists and editors with the message-box
// double, saving all or nothing, and set lists (one on an album) made from
// the menus of the main window and played there.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/longwork.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "playback/playstate.h"
#include "playback/selectsong.h"
#include "scriptedpresenter.h"
#include "setlists/albumdialog.h"
#include "setlists/albums.h"
#include "setlists/albumwizard.h"
#include "setlists/setlistdialog.h"
#include "setlists/setlistsave.h"
#include "setlists/setlistwizard.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <optional>

using namespace setlists;
using enum setlists::Kind;

namespace {
// Boxes as "style text".
const QString kAlbumDelete = "1 選択中のアルバムを削除します。";
const QString kAlready = "0 選択中の曲は既に追加されています";
const QString kAlbumNoName = "0 アルバム名称を入力して下さい";
const QString kNoSongs = "0 曲をアルバムリストに追加して下さい";
const QString kAlbumFailed = "0 アルバムの作成に失敗しました";
const QString kAlbumTaken = "0 同じ名前のアルバムが既に存在します";
const QString kListNoName = "0 セットリスト名称を入力して下さい";
const QString kListTaken = "0 同じ名前のセットリストが既に存在します";
// Row 2 refused: its number must be from 0 to %1.
const QString kRange = "0 選曲条件を設定して下さい\r\n条件２：0 から %1 までの整数を入力して下さい";
const QString kListDelete = "1 選択中のセットリストを削除します";
} // namespace

class TestSetListDialogs : public QObject {
    Q_OBJECT

    // Column 0 of every row as shown: names in a list or a combo box, the
    // titles of a song list.
    static QStringList texts(const QAbstractItemModel* model) {
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString();
        return out;
    }
    QStringList said() const {
        QStringList out;
        for (const ScriptedPresenter::Box& box : boxes_->boxes())
            out << QString::number(box.style) + " " + box.text;
        return out;
    }
    // Every album row as "name:song ID:position", by name and position.
    static QStringList albumRows() {
        gConnector->adoxCreateQuery("SELECT アルバム名 || ':' || 曲ID || ':' || 曲順 AS row"
                                    " FROM TM_アルバム ORDER BY アルバム名, 曲順",
                                    "Q_test_rows"); // made by the first call
        QStringList out;
        gConnector->adoGetColumn(Read::StoredQuery, "row", out, "Q_test_rows");
        return out;
    }
    // Adds album rows given as "name:song ID:position".
    static void add(const QStringList& rows) {
        for (const QString& row : rows)
            QVERIFY(gConnector->adoSetData(Write::AddAlbumSong, row.split(':')));
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

    static void choose(QComboBox* combo, Kind kind) {
        const int i = combo->findText(caption(kind));
        QVERIFY2(i >= 0, qPrintable(caption(kind)));
        combo->setCurrentIndex(i);
    }
    // Each row as the editor shows it: "+" when it may be set, its kind,
    // then what is shown of comparison and number, choices ("[a/b]" and
    // the chosen one) and joint.
    static QStringList rows(const frmSetListWizard& w) {
        QStringList out;
        for (int i = 0; i < kRows; ++i) {
            QString row = (w.cboCond[i]->isEnabled() ? "+" : "-") + w.cboCond[i]->currentText();
            if (!w.txtVal[i]->isHidden())
                row += " " + w.cboExt[i]->currentText() + w.txtVal[i]->text();
            if (!w.cboSelKind[i]->isHidden())
                row += " [" + texts(w.cboSelKind[i]->model()).join('/') + "]" +
                       w.cboSelKind[i]->currentText();
            if (!w.cboJoin[i]->isHidden())
                row += " " + w.cboJoin[i]->currentText();
            out << row;
        }
        return out;
    }

    std::optional<TempLibrary> lib_;
    std::optional<ScriptedPresenter> boxes_;

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    // Each test has songs a, b, c, d (IDs 1 to 4) and album "Old" holding
    // b then a.
    void init() {
        gPlayState = kStopped;
        boxes_.reset();
        lib_.emplace();
        for (const char* t : {"a", "b", "c", "d"})
            lib_->addSong(t);
        add({"Old:2:1", "Old:1:2"});
        boxes_.emplace();
    }
    void cleanup() { setModalHandler({}); }

    void namesAndMessagesWithoutWindows() {
        using albums::nameTaken;
        const QStringList two = {"Zed", "Best"}, twins = {"Zed", "Ｚｅｄ"};
        // Adding: other case or width is the same name, a trailing blank is not.
        QVERIFY(nameTaken(two, "zED", "") && nameTaken(two, "ＢＥＳＴ", ""));
        QVERIFY(!nameTaken(two, "New", "") && !nameTaken(two, "Zed ", "") &&
                !nameTaken({}, "Zed", ""));
        // Editing "Zed": its own name in any case is free, another album's is
        // not; a twin differing only in width does not stop keeping the
        // name, but does stop moving onto it.
        QVERIFY(!nameTaken(two, "Zed", "Zed") && !nameTaken(two, "zed", "Zed"));
        QVERIFY(!nameTaken(twins, "Zed", "Zed"));
        QVERIFY(nameTaken(two, "best", "Zed") && nameTaken(twins, "Ｚｅｄ", "Zed"));
        // OK's message: one song is enough, and no name is said before a taken one.
        QCOMPARE(albums::okMessage("A", 1, false), 0);
        QCOMPARE(albums::okMessage("", 3, true), 4);
    }

    void addChecksInOrderThenSaves() {
        add({"Other:4:1"});
        QStringList shown;
        setModalHandler([&](QDialog& dialog) {
            auto* w = qobject_cast<frmAlbumWizard*>(&dialog);
            const SongListModel &library = w->lvSongList->songs(),
                                &album = w->lvAlbumSongList->songs();
            shown << texts(&library).join(',') << texts(&album).join(',')
                  << (library.captions() == album.captions() ? "same columns" : "other columns");
            w->cmdOK->click();
            w->txtAlbumName->setText("other");         // another album's name, in other case
            w->cmdOK->click();                         // no songs is said first
            select(w->lvSongList, {"Key_4", "Key_3"}); // taken in list order
            w->cmdAdd->click();
            w->cmdOK->click();
            w->txtAlbumName->setText("新しいアルバム");
            w->cmdOK->click();
            return w->result();
        });
        frmAlbumList list;
        list.cmdAdd->click();
        // Every song of the library, none in the album yet.
        QCOMPARE(shown, QStringList({"a,b,c,d", "", "same columns"}));
        QCOMPARE(said(), QStringList({kAlbumNoName, kNoSongs, kAlbumTaken}));
        QCOMPARE(texts(list.lstAlbum->model()), QStringList({"Old", "Other", "新しいアルバム"}));

        // Editing: moving onto another album is refused, changing the case
        // of its own name is not; the new order is saved numbered from 1.
        auto w = editor(list, 1, "Old");
        w->txtAlbumName->setText("OTHER");
        w->cmdOK->click();
        w->txtAlbumName->setText("OLD");
        w->lvAlbumSongList->selectKey("Key_1");
        w->cmdUP->click();
        select(w->lvSongList, {"Key_3"});
        w->cmdAdd->click();
        w->cmdOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(said(), QStringList({kAlbumNoName, kNoSongs, kAlbumTaken, kAlbumTaken}));
        QCOMPARE(albumRows(), QStringList({"OLD:1:1", "OLD:2:2", "OLD:3:3", "Other:4:1",
                                           "新しいアルバム:3:1", "新しいアルバム:4:2"}));
    }

    void addFollowsTheListAndStopsAtTheFirstDuplicate() {
        frmAlbumList list;
        auto w = editor(list, 0);
        // A header click sorts the library list, descending after the
        // ascending start; songs are taken in its order.
        emit w->lvSongList->columnClicked(0);
        QCOMPARE(texts(&w->lvSongList->songs()), QStringList({"d", "c", "b", "a"}));
        // The album and the number of boxes after each add.
        QStringList after;
        const QList<QStringList> picks = {
            {"Key_2"}, {"Key_3", "Key_2", "Key_1"}, {"Key_1", "Key_3"}, {"Key_1", "Key_4"}, {}};
        for (const QStringList& keys : picks) {
            select(w->lvSongList, keys);
            w->cmdAdd->click();
            after << texts(&w->lvAlbumSongList->songs()).join(',') +
                         QString(" %1").arg(boxes_->boxes().size());
        }
        QCOMPARE(after, QStringList({"b 0", "b,c 1", "b,c 2", "b,c,d,a 2", "b,c,d,a 2"}));
        QCOMPARE(said(), QStringList({kAlready, kAlready}));
    }

    void moveAndDeleteInTheEditor() {
        add({"Old:3:3"});
        frmAlbumList list;
        auto w = editor(list, 1, "Old");
        SongListView* album = w->lvAlbumSongList;
        // Each step selects a song ("" keeps the selection, "-" clears it)
        // and presses a button; then the album and its selection. Up on the
        // first, down on the last and deleting the last come early.
        const QList<std::pair<QString, QPushButton*>> steps = {
            {"-", w->cmdUP},       {"", w->cmdDown},   {"", w->cmdDelete},      {"Key_2", w->cmdUP},
            {"Key_3", w->cmdDown}, {"", w->cmdUP},     {"", w->cmdUP},          {"", w->cmdDown},
            {"", w->cmdDown},      {"", w->cmdDelete}, {"Key_2", w->cmdDelete}, {"", w->cmdDelete}};
        QStringList seen;
        for (const auto& [key, button] : steps) {
            if (key == "-")
                album->clearSelection();
            else if (!key.isEmpty())
                album->selectKey(key);
            button->click();
            seen << texts(&album->songs()).join(',') + " " + album->selectedKeys().join(',');
        }
        QCOMPARE(seen, QStringList({"b,a,c ", "b,a,c ", "b,a,c ", "b,a,c Key_2", "b,a,c Key_3",
                                    "b,c,a Key_3", "c,b,a Key_3", "b,c,a Key_3", "b,a,c Key_3",
                                    "b,a Key_1", "a Key_1", " "}));
        w->cmdCancel->click();
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(albumRows(), QStringList({"Old:2:1", "Old:1:2", "Old:3:3"})); // nothing written
    }

    void deleteAsksAndIgnoresNoSelection() {
        add({"Zed:3:1"});
        int editors = 0;
        setModalHandler([&](QDialog&) { return ++editors, 0; });
        frmAlbumList list;
        boxes_->answer(2); // Cancel
        list.cmdDel->click();
        QCOMPARE(texts(list.lstAlbum->model()), QStringList({"Old", "Zed"}));
        QCOMPARE(albumRows().size(), 3);
        list.cmdDel->click(); // OK
        QCOMPARE(texts(list.lstAlbum->model()), QStringList({"Zed"}));
        QCOMPARE(albumRows(), QStringList({"Zed:3:1"}));
        // No album selected now: edit and delete do nothing, though enabled.
        QVERIFY(list.cmdEdit->isEnabled() && list.cmdDel->isEnabled());
        list.cmdEdit->click();
        list.cmdDel->click();
        QCOMPARE(said(), QStringList({kAlbumDelete, kAlbumDelete}));
        QCOMPARE(editors, 0);
        list.lstAlbum->setCurrentRow(0);
        list.cmdDel->click();
        QVERIFY(!list.cmdEdit->isEnabled() && !list.cmdDel->isEnabled() && albumRows().isEmpty());
        // Adding still opens the editor on an empty list.
        list.cmdAdd->click();
        QCOMPARE(editors, 1);
    }

    void failedSaveLeavesTheAlbumsAsTheyWere_data() {
        QTest::addColumn<QString>("name"); // "Fresh" adds an album, others edit "Old"
        QTest::addColumn<QString>("raise");
        // ABORT undoes the failing insert; ROLLBACK ends the whole transaction;
        // "cancel" is Cancel pressed in the progress dialog.
        for (const char* raise : {"ABORT", "ROLLBACK", "cancel"}) {
            for (const char* name : {"Old", "New", "Fresh"})
                QTest::addRow("%s, %s", name, raise) << QString(name) << QString(raise);
        }
    }
    void failedSaveLeavesTheAlbumsAsTheyWere() {
        QFETCH(QString, name);
        QFETCH(QString, raise);
        // The engine refuses a third song in any album.
        const bool cancel = raise == "cancel";
        QVERIFY(cancel || gConnector->adoSetData(
                              Write::RunSql, {"CREATE TRIGGER no_third BEFORE INSERT ON TM_アルバム"
                                              " WHEN NEW.曲順 = 3 BEGIN SELECT RAISE(" +
                                              raise + ", 'the disk is full'); END"}));
        setLongWorkWatcher([cancel](QDialog&, WorkProgress& progress) {
            if (cancel)
                progress.cancel();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        frmAlbumList list;
        const bool adding = name == "Fresh";
        auto w = adding ? editor(list, 0) : editor(list, 1, "Old");
        select(w->lvSongList,
               adding ? QStringList{"Key_1", "Key_2", "Key_3"} : QStringList{"Key_3"});
        w->cmdAdd->click();
        w->txtAlbumName->setText(name);
        w->cmdOK->click();
        QCOMPARE(said(),
                 cancel ? QStringList() : QStringList({"0 the disk is full", kAlbumFailed}));
        QVERIFY(cancel || boxes_->boxes()[0].title == "DBError");
        QCOMPARE(w->result(), int(QDialog::Rejected)); // the editor stays open
        QCOMPARE(albumRows(), QStringList({"Old:2:1", "Old:1:2"}));
        setLongWorkWatcher({});
        // Without the third song the same editor saves.
        w->lvAlbumSongList->selectKey("Key_3");
        w->cmdDelete->click();
        w->cmdOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(albumRows(), adding ? QStringList({"Fresh:1:1", "Fresh:2:2", "Old:2:1", "Old:1:2"})
                                     : QStringList({name + ":2:1", name + ":1:2"}));
    }

    void rowsCascade() {
        QVERIFY(gConnector->adoSetData(Write::DeleteAlbum, {"Old"}));
        frmSetListWizard w;
        w.frmSlw_InitForm();
        // No album yet: row 0 starts on play count and offers no album kind.
        QVERIFY(!texts(w.cboCond[0]->model()).contains(caption(Album)));
        QCOMPARE(rows(w), QStringList({"+再生カウントが... 以上0 and", "+未設定", "-未設定",
                                       "-未設定", "-未設定"}));
        choose(w.cboCond[1], Genre);
        choose(w.cboCond[2], Trend);
        choose(w.cboCond[3], Priority);
        QCOMPARE(rows(w), QStringList({"+再生カウントが... 以上0 and",
                                       "+ジャンルが... [指定無し]指定無し and",
                                       "+トレンドが... [チェック有り/チェック無し]チェック有り and",
                                       "+優先度が... 以上0 and", "+未設定"}));
        // Row 2 back to unset resets and disables the rows after it; the last row has no joint.
        choose(w.cboCond[4], PlayCount);
        QCOMPARE(rows(w).last(), QStringLiteral("+再生カウントが... 以上0"));
        choose(w.cboCond[2], Unset);
        QCOMPARE(rows(w).mid(2), QStringList({"+未設定", "-未設定", "-未設定"}));

        add({"Old:1:1"});
        frmSetListWizard withAlbums;
        withAlbums.frmSlw_InitForm();
        // Only row 0 offers albums; moving it off an album opens row 1, and
        // back onto one closes it again.
        QVERIFY(!texts(withAlbums.cboCond[1]->model()).contains(caption(Album)));
        choose(withAlbums.cboCond[0], Artist);
        QCOMPARE(rows(withAlbums).mid(0, 2),
                 QStringList({"+アーティストが... [指定無し]指定無し and", "+未設定"}));
        choose(withAlbums.cboCond[0], Album);
        QCOMPARE(rows(withAlbums)[1], QStringLiteral("-未設定"));
    }

    // The number box accepts exactly what OK accepts; OK refuses a name
    // that is empty or taken (ignoring case and width) first.
    void okChecksTheNameAndTheNumber_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind"); // of row 2, after a play count
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("box"); // empty: saved
        const int priority = int(Priority), count = int(PlayCount);
        QTest::newRow("no name") << "" << priority << "5" << kListNoName;
        QTest::newRow("ALL") << "ALL" << priority << "5" << kListTaken;
        QTest::newRow("all") << "all" << priority << "5" << kListTaken;
        QTest::newRow("ＡＬＬ") << "ＡＬＬ" << priority << "5" << kListTaken;
        QTest::newRow("priority 0") << "new" << priority << "0" << QString();
        QTest::newRow("priority 100") << "new" << priority << "100" << QString();
        QTest::newRow("priority 101") << "new" << priority << "101" << kRange.arg(100);
        QTest::newRow("priority 3.5") << "new" << priority << "3.5" << kRange.arg(100);
        QTest::newRow("count 0") << "new" << count << "0" << QString();
        QTest::newRow("count 999999") << "new" << count << "999999" << QString();
        QTest::newRow("count 1000000") << "new" << count << "1000000" << kRange.arg(999999);
        QTest::newRow("count -1") << "new" << count << "-1" << kRange.arg(999999);
        QTest::newRow("count +7") << "new" << count << "+7" << kRange.arg(999999);
        QTest::newRow("count 1,000") << "new" << count << "1,000" << kRange.arg(999999);
        QTest::newRow("count 1.5") << "new" << count << "1.5" << kRange.arg(999999);
        QTest::newRow("blanks around") << "new" << count << " 7 " << QString();
        QTest::newRow("empty") << "new" << count << "" << kRange.arg(999999);
        QTest::newRow("text") << "new" << count << "1 or 1=1" << kRange.arg(999999);
    }
    void okChecksTheNameAndTheNumber() {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, box);
        frmSetList list;
        frmSetListWizard w;
        w.setNameCheck([&](const QString& n) { return list.frmSetLst_ChkSameName(n); });
        w.frmSlw_InitForm();
        w.txtSetListName->setText(name);
        choose(w.cboCond[0], PlayCount);
        choose(w.cboCond[1], Kind(kind));
        w.txtVal[1]->clear();
        QTest::keyClicks(w.txtVal[1], typed);
        QCOMPARE(w.txtVal[1]->text(), typed); // nothing typed is dropped
        QCOMPARE(w.txtVal[1]->hasAcceptableInput(), !box.contains("整数"));
        w.cmdOK_Click();
        QCOMPARE(said(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(boxes_->boxes().value(0).title, box.isEmpty() ? "" : "Melodara Player");
        QCOMPARE(w.result(), int(box.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(gConnector->queryExists(queryName("new")), box.isEmpty());
    }

    void editLoadsTheStoredRowAndKeepsOrRecasesTheName() {
        add({"Best:1:1", "Best :1:1"});
        QString error;
        QVERIFY(saveSetList(
            "Mine", Conditions{{{PlayCount, kAtMost, "3", "or"}, {Trend, kAtLeast, kUnchecked}}},
            error));
        QVERIFY(saveSetList("Other", Conditions{{{Album, kAtLeast, "Best "}}}, error));
        frmSetList list;
        QList<QStringList> loaded;
        setModalHandler([&](QDialog& dialog) {
            auto* w = qobject_cast<frmSetListWizard*>(&dialog);
            loaded << rows(*w);
            if (w->txtSetListName->text() == u"Other") {
                w->txtSetListName->setText("MINE"); // another's name
                w->cmdOK_Click();
                w->txtSetListName->setText("OTHER"); // its own, recased
            } else {
                choose(w->cboCond[0], Priority); // keeping the name
                w->txtVal[0]->setText("80");
            }
            w->cmdOK_Click();
            return w->result();
        });
        list.lstSetList->setCurrentRow(2);
        list.cmdEdit->click();
        list.lstSetList->setCurrentRow(1);
        list.cmdEdit->click();
        // The album whose name ends in a blank, not its look-alike.
        QCOMPARE(loaded,
                 QList<QStringList>({{"+アルバムが... [Best/Best /Old]Best ", "-未設定", "-未設定",
                                      "-未設定", "-未設定"},
                                     {"+再生カウントが... 以下3 or",
                                      "+トレンドが... [チェック有り/チェック無し]チェック無し and",
                                      "+未設定", "-未設定", "-未設定"}}));
        QCOMPARE(said(), QStringList({kListTaken}));
        QCOMPARE(texts(list.lstSetList->model()), QStringList({"ALL", "OTHER", "Mine"}));
        Recordset mine, other;
        QVERIFY(gConnector->adoGetData(Read::SetListConditions, mine, "Mine") &&
                gConnector->adoGetData(Read::SetListConditions, other, "OTHER"));
        QCOMPARE(QStringList({mine.text("Where_1"), mine.text("Val_1"), other.text("Val_1")}),
                 QStringList({"優先度が...", "80", "Best "}));
    }

    void allIsProtectedAndDeleteAsks() {
        QString error;
        QVERIFY(saveSetList("Temp", Conditions{{{PlayCount, kAtLeast, "1"}}}, error));
        int editors = 0;
        setModalHandler([&](QDialog&) { return ++editors, 0; });
        frmSetList dialog;
        QCOMPARE(texts(dialog.lstSetList->model()), QStringList({"ALL", "Temp"}));
        QCOMPARE(dialog.lstSetList->currentRow(), 0);
        dialog.cmdEdit->click();
        dialog.cmdDel->click();
        dialog.lstSetList->setCurrentRow(1);
        boxes_->answer(2); // Cancel
        dialog.cmdDel->click();
        QCOMPARE(texts(dialog.lstSetList->model()), QStringList({"ALL", "Temp"}));
        dialog.cmdDel->click(); // OK
        QCOMPARE(texts(dialog.lstSetList->model()), QStringList({"ALL"}));
        QVERIFY(!gConnector->queryExists(queryName("Temp")));
        // Nothing selected now: edit and delete do nothing.
        dialog.cmdEdit->click();
        dialog.cmdDel->click();
        QCOMPARE(said(),
                 QStringList({"0 「ALL」セットリストは編集できません",
                              "0 「ALL」セットリストは削除できません", kListDelete, kListDelete}));
        QCOMPARE(editors, 0);
        // A list without any set list offers neither.
        gConnector->adoSetData(Write::DeleteSetList, {"ALL"});
        frmSetList empty;
        QVERIFY(!empty.cmdEdit->isEnabled() && !empty.cmdDel->isEnabled());
    }
    void albumSetListMadeFromTheMenusPlaysTheAlbum() {
        lib_->close();
        auto* player = new FakePlayer;
        frmMain w(lib_->path(), player);
        QVERIFY(w.Form_Load());
        // Each list adds one entry through its editor: album "Trip" (b, d),
        // then set list "On Trip" on it, an album being the first kind offered.
        setModalHandler([](QDialog& dialog) {
            if (auto* list = qobject_cast<NameListDialog*>(&dialog)) {
                list->cmdAdd->click();
                return 1;
            }
            if (auto* album = qobject_cast<frmAlbumWizard*>(&dialog)) {
                select(album->lvSongList, {"Key_4", "Key_2"});
                album->cmdAdd->click();
                album->txtAlbumName->setText("Trip");
                album->cmdOK->click();
                return album->result();
            }
            auto* setList = qobject_cast<frmSetListWizard*>(&dialog);
            setList->txtSetListName->setText("On Trip");
            setList->cboSelKind[0]->setCurrentIndex(setList->cboSelKind[0]->findText("Trip"));
            setList->cmdOK_Click();
            return setList->result();
        });
        w.mnuEdit_Album->trigger();
        w.mnuEdit_SetList->trigger();
        QCOMPARE(w.cboSetList->count(), 2); // "ALL" and the new one
        w.cboSetList->setCurrentIndex(w.cboSetList->findText("On Trip"));
        const QStringList shown = texts(&w.lvSongList->songs());
        QVERIFY2(shown == QStringList({"b", "d"}) || shown == QStringList({"d", "b"}),
                 qPrintable(shown.join(',')));

        // Program play walks the album's songs in list order, then stops.
        w.cboHowToPlay->setCurrentIndex(w.cboHowToPlay->findText(kProgramPlay));
        w.frmMain_PlaySong(QString());
        player->finish();
        player->finish();
        QCOMPARE(gPlayState, kStopped);
        const QString open = "open " + lib_->folder() + "/music/";
        QCOMPARE(player->log.filter("open "),
                 QStringList({open + shown[0] + ".mp3", open + shown[1] + ".mp3"}));
        QVERIFY(boxes_->boxes().isEmpty());
    }
};

QTEST_MAIN(TestSetListDialogs)
#include "tst_setlistdialogs.moc"
