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
const QString kAlbumDelete = QStringLiteral("1 選択中のアルバムを削除します。");
const QString kAlready = QStringLiteral("0 選択中の曲は既に追加されています");
const QString kAlbumNoName = QStringLiteral("0 アルバム名称を入力して下さい");
const QString kNoSongs = QStringLiteral("0 曲をアルバムリストに追加して下さい");
const QString kAlbumFailed = QStringLiteral("0 アルバムの作成に失敗しました");
const QString kAlbumTaken = QStringLiteral("0 同じ名前のアルバムが既に存在します");
const QString kListNoName = QStringLiteral("0 セットリスト名称を入力して下さい");
const QString kListTaken = QStringLiteral("0 同じ名前のセットリストが既に存在します");
// Row 2 refused: its number must be from 0 to %1.
const QString kRange =
    QStringLiteral("0 選曲条件を設定して下さい\r\n条件２：0 から %1 までの整数を入力して下さい");
const QString kListDelete = QStringLiteral("1 選択中のセットリストを削除します");
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
            out << QString::number(box.style) + QStringLiteral(" ") + box.text;
        return out;
    }
    // Every album row as "name:song ID:position", by name and position.
    static QStringList albumRows() {
        gConnector->adoxCreateQuery(
            QStringLiteral("SELECT アルバム名 || ':' || 曲ID || ':' || 曲順 AS row"
                           " FROM TM_アルバム ORDER BY アルバム名, 曲順"),
            QStringLiteral("Q_test_rows")); // made by the first call
        QStringList out;
        gConnector->adoGetColumn(Read::StoredQuery, QStringLiteral("row"), out,
                                 QStringLiteral("Q_test_rows"));
        return out;
    }
    // Adds album rows given as "name:song ID:position".
    static void add(const QStringList& rows) {
        for (const QString& row : rows)
            QVERIFY(gConnector->adoSetData(Write::AddAlbumSong, row.split(u':')));
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
            QString row = (w.cboCond[i]->isEnabled() ? QStringLiteral("+") : QStringLiteral("-")) +
                          w.cboCond[i]->currentText();
            if (!w.txtVal[i]->isHidden())
                row += QStringLiteral(" ") + w.cboExt[i]->currentText() + w.txtVal[i]->text();
            if (!w.cboSelKind[i]->isHidden())
                row += QStringLiteral(" [") + texts(w.cboSelKind[i]->model()).join(u'/') +
                       QStringLiteral("]") + w.cboSelKind[i]->currentText();
            if (!w.cboJoin[i]->isHidden())
                row += QStringLiteral(" ") + w.cboJoin[i]->currentText();
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
            lib_->addSong(QString::fromUtf8(t));
        add({QStringLiteral("Old:2:1"), QStringLiteral("Old:1:2")});
        boxes_.emplace();
    }
    void cleanup() { setModalHandler({}); }

    void namesAndMessagesWithoutWindows() {
        using albums::nameTaken;
        const QStringList two = {QStringLiteral("Zed"), QStringLiteral("Best")},
                          twins = {QStringLiteral("Zed"), QStringLiteral("Ｚｅｄ")};
        // Adding: other case or width is the same name, a trailing blank is not.
        QVERIFY(nameTaken(two, QStringLiteral("zED"), QStringLiteral("")) &&
                nameTaken(two, QStringLiteral("ＢＥＳＴ"), QStringLiteral("")));
        QVERIFY(!nameTaken(two, QStringLiteral("New"), QStringLiteral("")) &&
                !nameTaken(two, QStringLiteral("Zed "), QStringLiteral("")) &&
                !nameTaken({}, QStringLiteral("Zed"), QStringLiteral("")));
        // Editing "Zed": its own name in any case is free, another album's is
        // not; a twin differing only in width does not stop keeping the
        // name, but does stop moving onto it.
        QVERIFY(!nameTaken(two, QStringLiteral("Zed"), QStringLiteral("Zed")) &&
                !nameTaken(two, QStringLiteral("zed"), QStringLiteral("Zed")));
        QVERIFY(!nameTaken(twins, QStringLiteral("Zed"), QStringLiteral("Zed")));
        QVERIFY(nameTaken(two, QStringLiteral("best"), QStringLiteral("Zed")) &&
                nameTaken(twins, QStringLiteral("Ｚｅｄ"), QStringLiteral("Zed")));
        // OK's message: one song is enough, and no name is said before a taken one.
        QCOMPARE(albums::okMessage(QStringLiteral("A"), 1, false), 0);
        QCOMPARE(albums::okMessage(QStringLiteral(""), 3, true), 4);
    }

    void addChecksInOrderThenSaves() {
        add({QStringLiteral("Other:4:1")});
        QStringList shown;
        setModalHandler([&](QDialog& dialog) {
            auto* w = qobject_cast<frmAlbumWizard*>(&dialog);
            const SongListModel &library = w->lvSongList->songs(),
                                &album = w->lvAlbumSongList->songs();
            shown << texts(&library).join(u',') << texts(&album).join(u',')
                  << (library.captions() == album.captions() ? QStringLiteral("same columns")
                                                             : QStringLiteral("other columns"));
            w->cmdOK->click();
            w->txtAlbumName->setText(
                QStringLiteral("other")); // another album's name, in other case
            w->cmdOK->click();            // no songs is said first
            select(w->lvSongList,
                   {QStringLiteral("Key_4"), QStringLiteral("Key_3")}); // taken in list order
            w->cmdAdd->click();
            w->cmdOK->click();
            w->txtAlbumName->setText(QStringLiteral("新しいアルバム"));
            w->cmdOK->click();
            return w->result();
        });
        frmAlbumList list;
        list.cmdAdd->click();
        // Every song of the library, none in the album yet.
        QCOMPARE(shown, QStringList({QStringLiteral("a,b,c,d"), QStringLiteral(""),
                                     QStringLiteral("same columns")}));
        QCOMPARE(said(), QStringList({kAlbumNoName, kNoSongs, kAlbumTaken}));
        QCOMPARE(texts(list.lstAlbum->model()),
                 QStringList({QStringLiteral("Old"), QStringLiteral("Other"),
                              QStringLiteral("新しいアルバム")}));

        // Editing: moving onto another album is refused, changing the case
        // of its own name is not; the new order is saved numbered from 1.
        auto w = editor(list, 1, QStringLiteral("Old"));
        w->txtAlbumName->setText(QStringLiteral("OTHER"));
        w->cmdOK->click();
        w->txtAlbumName->setText(QStringLiteral("OLD"));
        w->lvAlbumSongList->selectKey(QStringLiteral("Key_1"));
        w->cmdUP->click();
        select(w->lvSongList, {QStringLiteral("Key_3")});
        w->cmdAdd->click();
        w->cmdOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(said(), QStringList({kAlbumNoName, kNoSongs, kAlbumTaken, kAlbumTaken}));
        QCOMPARE(albumRows(), QStringList({QStringLiteral("OLD:1:1"), QStringLiteral("OLD:2:2"),
                                           QStringLiteral("OLD:3:3"), QStringLiteral("Other:4:1"),
                                           QStringLiteral("新しいアルバム:3:1"),
                                           QStringLiteral("新しいアルバム:4:2")}));
    }

    void addFollowsTheListAndStopsAtTheFirstDuplicate() {
        frmAlbumList list;
        auto w = editor(list, 0);
        // A header click sorts the library list, descending after the
        // ascending start; songs are taken in its order.
        emit w->lvSongList->columnClicked(0);
        QCOMPARE(texts(&w->lvSongList->songs()),
                 QStringList({QStringLiteral("d"), QStringLiteral("c"), QStringLiteral("b"),
                              QStringLiteral("a")}));
        // The album and the number of boxes after each add.
        QStringList after;
        const QList<QStringList> picks = {
            {QStringLiteral("Key_2")},
            {QStringLiteral("Key_3"), QStringLiteral("Key_2"), QStringLiteral("Key_1")},
            {QStringLiteral("Key_1"), QStringLiteral("Key_3")},
            {QStringLiteral("Key_1"), QStringLiteral("Key_4")},
            {}};
        for (const QStringList& keys : picks) {
            select(w->lvSongList, keys);
            w->cmdAdd->click();
            after << texts(&w->lvAlbumSongList->songs()).join(u',') +
                         QStringLiteral(" %1").arg(boxes_->boxes().size());
        }
        QCOMPARE(after, QStringList({QStringLiteral("b 0"), QStringLiteral("b,c 1"),
                                     QStringLiteral("b,c 2"), QStringLiteral("b,c,d,a 2"),
                                     QStringLiteral("b,c,d,a 2")}));
        QCOMPARE(said(), QStringList({kAlready, kAlready}));
    }

    void moveAndDeleteInTheEditor() {
        add({QStringLiteral("Old:3:3")});
        frmAlbumList list;
        auto w = editor(list, 1, QStringLiteral("Old"));
        SongListView* album = w->lvAlbumSongList;
        // Each step selects a song ("" keeps the selection, "-" clears it)
        // and presses a button; then the album and its selection. Up on the
        // first, down on the last and deleting the last come early.
        const QList<std::pair<QString, QPushButton*>> steps = {
            {QStringLiteral("-"), w->cmdUP},         {QStringLiteral(""), w->cmdDown},
            {QStringLiteral(""), w->cmdDelete},      {QStringLiteral("Key_2"), w->cmdUP},
            {QStringLiteral("Key_3"), w->cmdDown},   {QStringLiteral(""), w->cmdUP},
            {QStringLiteral(""), w->cmdUP},          {QStringLiteral(""), w->cmdDown},
            {QStringLiteral(""), w->cmdDown},        {QStringLiteral(""), w->cmdDelete},
            {QStringLiteral("Key_2"), w->cmdDelete}, {QStringLiteral(""), w->cmdDelete}};
        QStringList seen;
        for (const auto& [key, button] : steps) {
            if (key == QStringLiteral("-"))
                album->clearSelection();
            else if (!key.isEmpty())
                album->selectKey(key);
            button->click();
            seen << texts(&album->songs()).join(u',') + QStringLiteral(" ") +
                        album->selectedKeys().join(u',');
        }
        QCOMPARE(seen, QStringList({QStringLiteral("b,a,c "), QStringLiteral("b,a,c "),
                                    QStringLiteral("b,a,c "), QStringLiteral("b,a,c Key_2"),
                                    QStringLiteral("b,a,c Key_3"), QStringLiteral("b,c,a Key_3"),
                                    QStringLiteral("c,b,a Key_3"), QStringLiteral("b,c,a Key_3"),
                                    QStringLiteral("b,a,c Key_3"), QStringLiteral("b,a Key_1"),
                                    QStringLiteral("a Key_1"), QStringLiteral(" ")}));
        w->cmdCancel->click();
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(albumRows(), QStringList({QStringLiteral("Old:2:1"), QStringLiteral("Old:1:2"),
                                           QStringLiteral("Old:3:3")})); // nothing written
    }

    void deleteAsksAndIgnoresNoSelection() {
        add({QStringLiteral("Zed:3:1")});
        int editors = 0;
        setModalHandler([&](QDialog&) { return ++editors, 0; });
        frmAlbumList list;
        boxes_->answer(2); // Cancel
        list.cmdDel->click();
        QCOMPARE(texts(list.lstAlbum->model()),
                 QStringList({QStringLiteral("Old"), QStringLiteral("Zed")}));
        QCOMPARE(albumRows().size(), 3);
        list.cmdDel->click(); // OK
        QCOMPARE(texts(list.lstAlbum->model()), QStringList({QStringLiteral("Zed")}));
        QCOMPARE(albumRows(), QStringList({QStringLiteral("Zed:3:1")}));
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
                QTest::addRow("%s, %s", name, raise)
                    << QString::fromUtf8(name) << QString::fromUtf8(raise);
        }
    }
    void failedSaveLeavesTheAlbumsAsTheyWere() {
        QFETCH(QString, name);
        QFETCH(QString, raise);
        // The engine refuses a third song in any album.
        const bool cancel = raise == QStringLiteral("cancel");
        QVERIFY(cancel || gConnector->adoSetData(
                              Write::RunSql,
                              {QStringLiteral("CREATE TRIGGER no_third BEFORE INSERT ON TM_アルバム"
                                              " WHEN NEW.曲順 = 3 BEGIN SELECT RAISE(") +
                               raise + QStringLiteral(", 'the disk is full'); END")}));
        setLongWorkWatcher([cancel](QDialog&, WorkProgress& progress) {
            if (cancel)
                progress.cancel();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        frmAlbumList list;
        const bool adding = name == QStringLiteral("Fresh");
        auto w = adding ? editor(list, 0) : editor(list, 1, QStringLiteral("Old"));
        select(w->lvSongList, adding ? QStringList{QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                                                   QStringLiteral("Key_3")}
                                     : QStringList{QStringLiteral("Key_3")});
        w->cmdAdd->click();
        w->txtAlbumName->setText(name);
        w->cmdOK->click();
        QCOMPARE(said(), cancel
                             ? QStringList()
                             : QStringList({QStringLiteral("0 the disk is full"), kAlbumFailed}));
        QVERIFY(cancel || boxes_->boxes()[0].title == QStringLiteral("DBError"));
        QCOMPARE(w->result(), int(QDialog::Rejected)); // the editor stays open
        QCOMPARE(albumRows(), QStringList({QStringLiteral("Old:2:1"), QStringLiteral("Old:1:2")}));
        setLongWorkWatcher({});
        // Without the third song the same editor saves.
        w->lvAlbumSongList->selectKey(QStringLiteral("Key_3"));
        w->cmdDelete->click();
        w->cmdOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(albumRows(),
                 adding
                     ? QStringList({QStringLiteral("Fresh:1:1"), QStringLiteral("Fresh:2:2"),
                                    QStringLiteral("Old:2:1"), QStringLiteral("Old:1:2")})
                     : QStringList({name + QStringLiteral(":2:1"), name + QStringLiteral(":1:2")}));
    }

    void rowsCascade() {
        QVERIFY(gConnector->adoSetData(Write::DeleteAlbum, {QStringLiteral("Old")}));
        frmSetListWizard w;
        w.frmSlw_InitForm();
        // No album yet: row 0 starts on play count and offers no album kind.
        QVERIFY(!texts(w.cboCond[0]->model()).contains(caption(Album)));
        QCOMPARE(rows(w), QStringList({QStringLiteral("+再生カウントが... 以上0 and"),
                                       QStringLiteral("+未設定"), QStringLiteral("-未設定"),
                                       QStringLiteral("-未設定"), QStringLiteral("-未設定")}));
        choose(w.cboCond[1], Genre);
        choose(w.cboCond[2], Trend);
        choose(w.cboCond[3], Priority);
        QCOMPARE(rows(w),
                 QStringList(
                     {QStringLiteral("+再生カウントが... 以上0 and"),
                      QStringLiteral("+ジャンルが... [指定無し]指定無し and"),
                      QStringLiteral("+トレンドが... [チェック有り/チェック無し]チェック有り and"),
                      QStringLiteral("+優先度が... 以上0 and"), QStringLiteral("+未設定")}));
        // Row 2 back to unset resets and disables the rows after it; the last row has no joint.
        choose(w.cboCond[4], PlayCount);
        QCOMPARE(rows(w).last(), QStringLiteral("+再生カウントが... 以上0"));
        choose(w.cboCond[2], Unset);
        QCOMPARE(rows(w).mid(2), QStringList({QStringLiteral("+未設定"), QStringLiteral("-未設定"),
                                              QStringLiteral("-未設定")}));

        add({QStringLiteral("Old:1:1")});
        frmSetListWizard withAlbums;
        withAlbums.frmSlw_InitForm();
        // Only row 0 offers albums; moving it off an album opens row 1, and
        // back onto one closes it again.
        QVERIFY(!texts(withAlbums.cboCond[1]->model()).contains(caption(Album)));
        choose(withAlbums.cboCond[0], Artist);
        QCOMPARE(rows(withAlbums).mid(0, 2),
                 QStringList({QStringLiteral("+アーティストが... [指定無し]指定無し and"),
                              QStringLiteral("+未設定")}));
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
        QCOMPARE(w.txtVal[1]->hasAcceptableInput(), !box.contains(QStringLiteral("整数")));
        w.cmdOK_Click();
        QCOMPARE(said(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(boxes_->boxes().value(0).title,
                 box.isEmpty() ? QString() : QStringLiteral("Melodara Player"));
        QCOMPARE(w.result(), int(box.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(gConnector->queryExists(queryName(QStringLiteral("new"))), box.isEmpty());
    }

    void editLoadsTheStoredRowAndKeepsOrRecasesTheName() {
        add({QStringLiteral("Best:1:1"), QStringLiteral("Best :1:1")});
        QString error;
        QVERIFY(
            saveSetList(QStringLiteral("Mine"),
                        Conditions{{{PlayCount, kAtMost, QStringLiteral("3"), QStringLiteral("or")},
                                    {Trend, kAtLeast, kUnchecked}}},
                        error));
        QVERIFY(saveSetList(QStringLiteral("Other"),
                            Conditions{{{Album, kAtLeast, QStringLiteral("Best ")}}}, error));
        frmSetList list;
        QList<QStringList> loaded;
        setModalHandler([&](QDialog& dialog) {
            auto* w = qobject_cast<frmSetListWizard*>(&dialog);
            loaded << rows(*w);
            if (w->txtSetListName->text() == u"Other") {
                w->txtSetListName->setText(QStringLiteral("MINE")); // another's name
                w->cmdOK_Click();
                w->txtSetListName->setText(QStringLiteral("OTHER")); // its own, recased
            } else {
                choose(w->cboCond[0], Priority); // keeping the name
                w->txtVal[0]->setText(QStringLiteral("80"));
            }
            w->cmdOK_Click();
            return w->result();
        });
        list.lstSetList->setCurrentRow(2);
        list.cmdEdit->click();
        list.lstSetList->setCurrentRow(1);
        list.cmdEdit->click();
        // The album whose name ends in a blank, not its look-alike.
        QCOMPARE(
            loaded,
            QList<QStringList>(
                {{QStringLiteral("+アルバムが... [Best/Best /Old]Best "), QStringLiteral("-未設定"),
                  QStringLiteral("-未設定"), QStringLiteral("-未設定"), QStringLiteral("-未設定")},
                 {QStringLiteral("+再生カウントが... 以下3 or"),
                  QStringLiteral("+トレンドが... [チェック有り/チェック無し]チェック無し and"),
                  QStringLiteral("+未設定"), QStringLiteral("-未設定"),
                  QStringLiteral("-未設定")}}));
        QCOMPARE(said(), QStringList({kListTaken}));
        QCOMPARE(
            texts(list.lstSetList->model()),
            QStringList({QStringLiteral("ALL"), QStringLiteral("OTHER"), QStringLiteral("Mine")}));
        Recordset mine, other;
        QVERIFY(gConnector->adoGetData(Read::SetListConditions, mine, QStringLiteral("Mine")) &&
                gConnector->adoGetData(Read::SetListConditions, other, QStringLiteral("OTHER")));
        QCOMPARE(
            QStringList({mine.text(QStringLiteral("Where_1")), mine.text(QStringLiteral("Val_1")),
                         other.text(QStringLiteral("Val_1"))}),
            QStringList(
                {QStringLiteral("優先度が..."), QStringLiteral("80"), QStringLiteral("Best ")}));
    }

    void allIsProtectedAndDeleteAsks() {
        QString error;
        QVERIFY(saveSetList(QStringLiteral("Temp"),
                            Conditions{{{PlayCount, kAtLeast, QStringLiteral("1")}}}, error));
        int editors = 0;
        setModalHandler([&](QDialog&) { return ++editors, 0; });
        frmSetList dialog;
        QCOMPARE(texts(dialog.lstSetList->model()),
                 QStringList({QStringLiteral("ALL"), QStringLiteral("Temp")}));
        QCOMPARE(dialog.lstSetList->currentRow(), 0);
        dialog.cmdEdit->click();
        dialog.cmdDel->click();
        dialog.lstSetList->setCurrentRow(1);
        boxes_->answer(2); // Cancel
        dialog.cmdDel->click();
        QCOMPARE(texts(dialog.lstSetList->model()),
                 QStringList({QStringLiteral("ALL"), QStringLiteral("Temp")}));
        dialog.cmdDel->click(); // OK
        QCOMPARE(texts(dialog.lstSetList->model()), QStringList({QStringLiteral("ALL")}));
        QVERIFY(!gConnector->queryExists(queryName(QStringLiteral("Temp"))));
        // Nothing selected now: edit and delete do nothing.
        dialog.cmdEdit->click();
        dialog.cmdDel->click();
        QCOMPARE(said(), QStringList({QStringLiteral("0 「ALL」セットリストは編集できません"),
                                      QStringLiteral("0 「ALL」セットリストは削除できません"),
                                      kListDelete, kListDelete}));
        QCOMPARE(editors, 0);
        // A list without any set list offers neither.
        gConnector->adoSetData(Write::DeleteSetList, {QStringLiteral("ALL")});
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
                select(album->lvSongList, {QStringLiteral("Key_4"), QStringLiteral("Key_2")});
                album->cmdAdd->click();
                album->txtAlbumName->setText(QStringLiteral("Trip"));
                album->cmdOK->click();
                return album->result();
            }
            auto* setList = qobject_cast<frmSetListWizard*>(&dialog);
            setList->txtSetListName->setText(QStringLiteral("On Trip"));
            setList->cboSelKind[0]->setCurrentIndex(
                setList->cboSelKind[0]->findText(QStringLiteral("Trip")));
            setList->cmdOK_Click();
            return setList->result();
        });
        w.mnuEdit_Album->trigger();
        w.mnuEdit_SetList->trigger();
        QCOMPARE(w.cboSetList->count(), 2); // "ALL" and the new one
        w.cboSetList->setCurrentIndex(w.cboSetList->findText(QStringLiteral("On Trip")));
        const QStringList shown = texts(&w.lvSongList->songs());
        QVERIFY2(shown == QStringList({QStringLiteral("b"), QStringLiteral("d")}) ||
                     shown == QStringList({QStringLiteral("d"), QStringLiteral("b")}),
                 qPrintable(shown.join(u',')));

        // Program play walks the album's songs in list order, then stops.
        w.cboHowToPlay->setCurrentIndex(w.cboHowToPlay->findText(kProgramPlay));
        w.frmMain_PlaySong(QString());
        player->finish();
        player->finish();
        QCOMPARE(gPlayState, kStopped);
        const QString open = QStringLiteral("open ") + lib_->folder() + QStringLiteral("/music/");
        QCOMPARE(player->log.filter(QStringLiteral("open ")),
                 QStringList({open + shown[0] + QStringLiteral(".mp3"),
                              open + shown[1] + QStringLiteral(".mp3")}));
        QVERIFY(boxes_->boxes().isEmpty());
    }
};

QTEST_MAIN(TestSetListDialogs)
#include "tst_setlistdialogs.moc"
