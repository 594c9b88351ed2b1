// The song search: the wildcard comparison, the walk's position rules and
// the search window over a real list view.

#include "scriptedpresenter.h"
#include "songlist/like.h"
#include "songlist/search.h"
#include "songlist/serchdialog.h"
#include "songlist/songlistview.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kEndMessage = QStringLiteral("リストの最後まで検索しました");

// Rows Key_1.. with the given titles, artists and counts.
void fillList(SongListModel& list, const QList<QStringList>& rows) {
    list.setColumns({"曲名", "ｱｰﾃｨｽﾄ名", "ｶｳﾝﾄ"});
    std::vector<SongListItem> items;
    for (int i = 0; i < rows.size(); ++i)
        items.emplace_back(QStringLiteral("Key_%1").arg(i + 1), rows[i]);
    list.setItems(std::move(items));
}

// Types `text` into `widget` as key events carrying the text, as a user's
// typing arrives (QTest::keyClicks cannot send non-ASCII text).
void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

    struct Window {
        SongListView list;
        frmSerch serch;
        Window() {
            fillList(list.songs(), {{"Rock Me", "Ann", "1"},
                                    {"Blue", "Bob", "10"},
                                    {"Rolling", "Cid", "2"},
                                    {"ロック", "Dan", "21"}});
            for (const QString& c : list.songs().captions())
                serch.frmSerch_AddSerchCol(c);
            serch.SerchListView = &list;
        }
        QStringList selected() const { return list.selectedKeys(); }
        void find(const QString& text) {
            serch.txtSerch->setText(text);
            serch.cmdNext->click();
        }
        void pick(int entry) {
            // As the drop-down list does: no textEdited.
            serch.cboSerchColumn->setCurrentIndex(entry);
        }
    };

private slots:
    void init() { gSerchPos = 0; }

    void wildcards_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        QTest::newRow("plain") << "abc"
                               << "abc" << true;
        QTest::newRow("plain is whole") << "abcd"
                                        << "abc" << false;
        QTest::newRow("case") << "ABC"
                              << "abc" << true;
        QTest::newRow("full-width letters") << QString::fromUtf16(u"ＲＯＣＫ") << "rock" << true;
        QTest::newRow("half-width katakana")
            << QString::fromUtf16(u"ﾛｯｸ") << QString::fromUtf16(u"ロック") << true;
        QTest::newRow("hiragana stays apart")
            << QString::fromUtf16(u"ろっく") << QString::fromUtf16(u"ロック") << false;
        QTest::newRow("? one") << "a"
                               << "?" << true;
        QTest::newRow("? not none") << ""
                                    << "?" << false;
        QTest::newRow("? not two") << "ab"
                                   << "?" << false;
        QTest::newRow("? kanji") << QString::fromUtf16(u"曲") << "?" << true;
        QTest::newRow("? outside the BMP") << QString::fromUtf16(u"\U0001D11E") << "?" << true;
        QTest::newRow("* empty") << ""
                                 << "*" << true;
        QTest::newRow("* run") << "a long song"
                               << "a*g" << true;
        QTest::newRow("* needs the end") << "ab"
                                         << "a*c" << false;
        QTest::newRow("* backtracks") << "abcbc"
                                      << "*bc" << true;
        QTest::newRow("* twice") << "aXbYc"
                                 << "a*b*c" << true;
        QTest::newRow("# digit") << "7"
                                 << "#" << true;
        QTest::newRow("# 0 and 9") << "09"
                                   << "##" << true;
        QTest::newRow("# letter") << "a"
                                  << "#" << false;
        QTest::newRow("# full-width digit") << QString::fromUtf16(u"７") << "#" << true;
        QTest::newRow("list in") << "b"
                                 << "[abc]" << true;
        QTest::newRow("list out") << "d"
                                  << "[abc]" << false;
        QTest::newRow("range low end") << "a"
                                       << "[a-f]" << true;
        QTest::newRow("range high end") << "f"
                                        << "[a-f]" << true;
        QTest::newRow("range past") << "g"
                                    << "[a-f]" << false;
        QTest::newRow("range ignores case") << "C"
                                            << "[a-f]" << true;
        QTest::newRow("range written high to low") << "c"
                                                   << "[f-a]" << true;
        QTest::newRow("range and list") << "x"
                                        << "[a-cx]" << true;
        QTest::newRow("not in list") << "g"
                                     << "[!a-f]" << true;
        QTest::newRow("not in list, in") << "c"
                                         << "[!a-f]" << false;
        QTest::newRow("list is one character") << "ab"
                                               << "[ab]" << false;
        QTest::newRow("* in list is itself") << "*"
                                             << "[*]" << true;
        QTest::newRow("? in list is itself") << "a"
                                             << "[?]" << false;
        QTest::newRow("- first is itself") << "-"
                                           << "[-a]" << true;
        QTest::newRow("- last is itself") << "-"
                                          << "[a-]" << true;
        QTest::newRow("[] is nothing") << "ab"
                                       << "a[]b" << true;
        QTest::newRow("[ alone is itself") << "[ab"
                                           << "[ab" << true;
        QTest::newRow("full-width star is a star") << "abc" << QString::fromUtf16(u"a＊") << true;
        QTest::newRow("1 in 1") << "1"
                                << "*1*" << true;
        QTest::newRow("1 in 10") << "10"
                                 << "*1*" << true;
        QTest::newRow("1 in 21") << "21"
                                 << "*1*" << true;
        QTest::newRow("1 not in 32") << "32"
                                     << "*1*" << false;
    }

    void wildcards() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(likeText(text, pattern), match);
    }

    void emptyTextStepsRowByRowThenStartsAgain() {
        SongListModel list;
        fillList(list, {{"a"}, {"b"}, {"c"}});
        QCOMPARE(lvSerchWalk(list, 0, "", true), 0);
        QCOMPARE(gSerchPos, 1);
        QCOMPARE(lvSerchWalk(list, 0, "", false), 1);
        QCOMPARE(lvSerchWalk(list, 0, "", false), 2);
        QCOMPARE(gSerchPos, 3);
        // After the last row the end is reported once, then the top again.
        QCOMPARE(lvSerchWalk(list, 0, "", false), -1);
        QCOMPARE(gSerchPos, 0);
        QCOMPARE(lvSerchWalk(list, 0, "", false), 0);
    }

    void restartAndAShorterListStartAtTheTop() {
        SongListModel list;
        fillList(list, {{"x1"}, {"y"}, {"x2"}, {"x3"}});
        gSerchPos = 2;
        QCOMPARE(lvSerchWalk(list, 0, "x", true), 0);
        gSerchPos = 2;
        QCOMPARE(lvSerchWalk(list, 0, "x", false), 2);
        // The list was refilled with fewer rows since the last hit.
        fillList(list, {{"x1"}, {"x2"}});
        gSerchPos = 3;
        QCOMPARE(lvSerchWalk(list, 0, "x", false), 0);
        QCOMPARE(gSerchPos, 1);
        // Just past the last row: the end.
        gSerchPos = 2;
        QCOMPARE(lvSerchWalk(list, 0, "x", false), -1);
        QCOMPARE(gSerchPos, 0);
    }

    void countDigitsCompareAsText() {
        SongListModel list;
        fillList(list, {{"a", "", "2"}, {"b", "", "1"}, {"c", "", "10"}, {"d", "", "21"}});
        QList<int> hits;
        for (int hit = lvSerchWalk(list, 2, "1", true); hit >= 0;
             hit = lvSerchWalk(list, 2, "1", false))
            hits << hit;
        QCOMPARE(hits, QList<int>({1, 2, 3}));
        QCOMPARE(gSerchPos, 0);
    }

    void emptyListFindsNothing() {
        SongListModel list;
        fillList(list, {});
        gSerchPos = 5;
        QCOMPARE(lvSerchWalk(list, 0, "", false), -1);
        QCOMPARE(gSerchPos, 0);
    }

    void walkFollowsTheDisplayOrder() {
        SongListModel list;
        fillList(list, {{"b1"}, {"a1"}, {"c1"}});
        list.setSort(true, 0, 1); // c1, b1, a1
        QCOMPARE(lvSerchWalk(list, 0, "1", true), 0);
        QCOMPARE(list.keyAt(0), QStringLiteral("Key_3"));
        QCOMPARE(lvSerchWalk(list, 0, "a", false), 2);
    }

    void openingPreselectsTheLastColumn() {
        Window w;
        QCOMPARE(w.serch.windowTitle(), QStringLiteral("検索"));
        QCOMPARE(w.serch.cboSerchColumn->count(), 3);
        QCOMPARE(w.serch.cboSerchColumn->itemText(0), QStringLiteral("曲名"));
        QCOMPARE(w.serch.cboSerchColumn->currentIndex(), 2);
        QVERIFY(w.serch.restart());
    }

    void eachFindSelectsTheNextHitAlone() {
        ScriptedPresenter boxes;
        Window w;
        w.list.selectKey("Key_2");
        w.list.selectKey("Key_3", true);
        w.pick(0);
        w.find("ro");
        QCOMPARE(w.selected(), QStringList({"Key_1"}));
        QVERIFY(w.list.multiSelect());
        QVERIFY(!w.serch.restart());
        w.find("RO");
        QCOMPARE(w.selected(), QStringList({"Key_3"}));
        // Full-width and half-width forms are one.
        w.find(QString::fromUtf16(u"ﾛｯｸ"));
        QCOMPARE(w.selected(), QStringList({"Key_4"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void afterTheLastHitTheMessageThenTheTop() {
        ScriptedPresenter boxes;
        Window w;
        w.pick(1);
        for (const char* key : {"Key_1", "Key_2", "Key_3", "Key_4"}) {
            w.find("");
            QCOMPARE(w.selected(), QStringList({key}));
        }
        QVERIFY(boxes.boxes().isEmpty());
        w.find("");
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kEndMessage);
        QCOMPARE(boxes.boxes()[0].style, 0);
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Melodara Player"));
        QCOMPARE(w.selected(), QStringList({"Key_4"})); // nothing changes
        w.find("");
        QCOMPARE(w.selected(), QStringList({"Key_1"}));
        QCOMPARE(boxes.boxes().size(), 1);
    }

    void wildcardTextIsAPattern() {
        ScriptedPresenter boxes;
        Window w;
        w.pick(0);
        w.find("R?ck");
        QCOMPARE(w.selected(), QStringList({"Key_1"}));
        w.find("[!r]l");
        QCOMPARE(w.selected(), QStringList({"Key_2"}));
        w.pick(2);
        w.find("#1");
        QCOMPARE(w.selected(), QStringList({"Key_4"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void typedColumnTextRestartsPickingDoesNot() {
        ScriptedPresenter boxes;
        Window w;
        w.pick(0);
        w.find("o");
        QCOMPARE(w.selected(), QStringList({"Key_1"}));

        // Another search text or another entry picked: the walk goes on.
        w.pick(1);
        w.find("");
        QCOMPARE(w.selected(), QStringList({"Key_2"}));

        // Typing in the column box, then picking an entry: from the top.
        QLineEdit* edit = w.serch.cboSerchColumn->lineEdit();
        edit->selectAll();
        typeText(edit, "x");
        QVERIFY(w.serch.restart());
        w.pick(0);
        w.find("o");
        QCOMPARE(w.selected(), QStringList({"Key_1"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void typedColumnNameFindsItsColumn() {
        ScriptedPresenter boxes;
        Window w;
        QLineEdit* edit = w.serch.cboSerchColumn->lineEdit();
        edit->selectAll();
        typeText(edit, QString::fromUtf16(u"アーティスト名")); // full-width form
        w.find("cid");
        QCOMPARE(w.selected(), QStringList({"Key_3"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void typedTextNamingNoColumnSearchesNothing() {
        ScriptedPresenter boxes;
        Window w;
        w.pick(0);
        w.find("o");
        QCOMPARE(gSerchPos, 1);
        QLineEdit* edit = w.serch.cboSerchColumn->lineEdit();
        edit->selectAll();
        typeText(edit, "zz");
        w.find("");
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, QStringLiteral("検索対象列「zz」はリストにありません"));
        QCOMPARE(w.selected(), QStringList({"Key_1"}));
        QCOMPARE(gSerchPos, 1);
        QCOMPARE(w.serch.cboSerchColumn->count(), 3); // the text never becomes an entry
        // The restart still stands for the next real search.
        w.pick(0);
        w.find("o");
        QCOMPARE(w.selected(), QStringList({"Key_1"}));
    }

    void emptyListShowsTheMessage() {
        ScriptedPresenter boxes;
        Window w;
        fillList(w.list.songs(), {});
        w.find("");
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, kEndMessage);
        QCOMPARE(gSerchPos, 0);
    }

    void cancelClosesTheWindow() {
        Window w;
        w.serch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.serch));
        w.serch.cmdCancel->click();
        QVERIFY(!w.serch.isVisible());
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
