// The song search: the wildcard comparison, the walk's position rules and
// the search window over a real list view.

#include "listrows.h"
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

const QString kEnd = QStringLiteral("リストの最後まで検索しました");

// One walk over a list of these titles from `start`: the hit and where
// the next walk starts.
QList<int> walk(const QList<QStringList>& titles, int start, const QString& text,
                bool restart = false) {
    SongListModel list;
    listrows::fill(list, {"曲名"}, titles);
    gSerchPos = start;
    const int hit = lvSerchWalk(list, 0, text, restart);
    return {hit, gSerchPos};
}

// The search window over a list of four songs, its message boxes answered.
struct Window {
    ScriptedPresenter boxes;
    SongListView list;
    frmSerch serch;
    Window() {
        listrows::fill(list.songs(), {"曲名", "ｱｰﾃｨｽﾄ名", "ｶｳﾝﾄ"},
                       {{"Rock Me", "Ann", "1"},
                        {"Blue", "Bob", "10"},
                        {"Rolling", "Cid", "2"},
                        {"ロック", "Dan", "21"}});
        for (const QString& c : list.songs().captions())
            serch.frmSerch_AddSerchCol(c);
        serch.SerchListView = &list;
    }
    // Searches for each text in turn; after each, the selected keys and
    // the text of any box shown.
    QStringList find(const QStringList& texts) {
        QStringList out;
        for (const QString& text : texts) {
            const qsizetype shown = boxes.boxes().size();
            serch.txtSerch->setText(text);
            serch.cmdNext->click();
            out << list.selectedKeys().join(',');
            for (qsizetype i = shown; i < boxes.boxes().size(); ++i)
                out.last() += " " + boxes.boxes()[i].text;
        }
        return out;
    }
    // Picks an entry as the drop-down list does: no textEdited.
    void pick(int entry) { serch.cboSerchColumn->setCurrentIndex(entry); }
    // Types into the column box as key events carrying the text, as a
    // user's typing arrives (QTest::keyClicks cannot send non-ASCII text).
    void type(const QString& text) {
        QLineEdit* edit = serch.cboSerchColumn->lineEdit();
        edit->selectAll();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(edit, &press);
        }
    }
};

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private slots:
    void init() { gSerchPos = 0; }

    // Rows "text|pattern", by whether the text matches: plain text, case
    // and width; "?", "*" and "#"; lists, ranges and their edges; the
    // count rule "1 matches 1, 10 and 21"; full-width wildcard characters,
    // which are plain text.
    void wildcards_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        // clang-format off
        const QStringList matching = {
            "abc|abc", "ABC|abc", "ＲＯＣＫ|rock", "ﾛｯｸ|ロック",
            "a|?", "曲|?", "\U0001D11E|?", "|*",
            "a long song|a*g", "abcbc|*bc", "aXbYc|a*b*c", "7|#",
            "09|##", "７|#", "b|[abc]", "a|[a-f]",
            "f|[a-f]", "C|[a-f]", "c|[f-a]", "x|[a-cx]",
            "g|[!a-f]", "*|[*]", "-|[-a]", "-|[a-]",
            "ab|a[]b", "[ab|[ab", "1|*1*", "10|*1*",
            "21|*1*", "ﾛｯｸ|ロ?ク", "ｶﾞｰﾙ|ガ*", "a*|a＊",
            "a?|a？", "#1|＃1", "[Live] 東京|*［Live］*", "［LIVE］|[[]live]",
            "!|[！a]", "ｃ|[Ａ-Ｆ]", "x[y|x[y", "a[b]|a[[]b]",
            "abab|*ab", "aab|a*ab", "ab|*a*b*", "xaybz|*a?b*"};
        const QStringList failing = {
            "abcd|abc", "ろっく|ロック", "|?", "ab|?", "ab|a*c",
            "a|#", "d|[abc]", "g|[a-f]", "c|[!a-f]", "ab|[ab]",
            "a|[?]", "32|*1*", "abc|a＊", "ab|a？", "51|＃1",
            "olive|*［Live］*", "l|［Live］", "b|[！a]", "ｇ|[Ａ-Ｆ]", "x|x[y",
            "ab|a*ab", "aba|*ab", "ab|*a*b*c", "xzy|x[y", "aab|[ab"};
        // clang-format on
        for (const QStringList* rows : {&matching, &failing}) {
            for (const QString& row : *rows)
                QTest::newRow(qPrintable(row))
                    << row.section('|', 0, 0) << row.section('|', 1) << (rows == &matching);
        }
        // Long patterns: a list of 1,000 entries, 700 single wildcards
        // between stars, 65 characters in one segment (more than one word
        // of the masks), and a "[" never closed.
        QString list = "[";
        for (int i = 0; i < 1000; ++i)
            list += QChar(0x4E00 + 2 * i);
        list += "]";
        QTest::newRow("1,000 entries, one in") << "x\u4E02y"
                                               << "x" + list + "y" << true;
        QTest::newRow("1,000 entries, none in") << "x\u4E01y"
                                                << "x" + list + "y" << false;
        QTest::newRow("700 wildcards, long enough")
            << QString(700, 'a') << QString("*?").repeated(700) + "*" << true;
        QTest::newRow("700 wildcards, one short")
            << QString(699, 'a') << QString("*?").repeated(700) + "*" << false;
        QTest::newRow("65 in one segment") << "x" + QString(64, 'a') + "b"
                                           << "*" + QString(64, '?') + "b" << true;
        QTest::newRow("65 in one segment, no end") << "x" + QString(64, 'a') + "c"
                                                   << "*" + QString(64, '?') + "b" << false;
        QTest::newRow("unclosed list")
            << "[" + QString(999, 'a') << "[" + QString(999, 'a') << true;
    }
    void wildcards() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(likeText(text, pattern), match);
    }

    void walkPositionRules() {
        const QList<QStringList> abc = {{"a"}, {"b"}, {"c"}};
        const QList<QStringList> xs = {{"x1"}, {"y"}, {"x2"}, {"x3"}};
        // Empty text steps row by row; after the last row the end is
        // reported, and the next walk starts at the top.
        QCOMPARE(walk(abc, 0, "", true), QList<int>({0, 1}));
        QCOMPARE(walk(abc, 1, ""), QList<int>({1, 2}));
        QCOMPARE(walk(abc, 2, ""), QList<int>({2, 3}));
        QCOMPARE(walk(abc, 3, ""), QList<int>({-1, 0}));
        QCOMPARE(walk(xs, 2, "x", true), QList<int>({0, 1}));
        QCOMPARE(walk(xs, 2, "x"), QList<int>({2, 3}));
        // The list was refilled with fewer rows since the last hit.
        QCOMPARE(walk({{"x1"}, {"x2"}}, 3, "x"), QList<int>({0, 1}));
        QCOMPARE(walk({{"x1"}, {"x2"}}, 2, "x"), QList<int>({-1, 0}));
        QCOMPARE(walk({}, 5, ""), QList<int>({-1, 0}));

        SongListModel list;
        // Counts compare as text, in display order: d 21, c 10, b 2, a 1.
        listrows::fill(list, {"曲名", "ｶｳﾝﾄ"}, {{"b", "2"}, {"a", "1"}, {"c", "10"}, {"d", "21"}});
        list.setSort(true, 0, 1);
        QList<int> hits;
        for (int hit = lvSerchWalk(list, 1, "1", true); hit >= 0;
             hit = lvSerchWalk(list, 1, "1", false))
            hits << hit;
        QCOMPARE(hits, QList<int>({0, 1, 3}));
        QCOMPARE(gSerchPos, 0);
    }

    void eachFindSelectsTheNextHitAloneThenSaysItEnded() {
        Window w;
        QVERIFY(w.serch.restart());
        w.list.selectKey("Key_2");
        w.list.selectKey("Key_3", true);
        w.pick(0);
        // Another text goes on from the last hit; the end is said once,
        // then the walk starts at the top; the text is a pattern.
        QCOMPARE(w.find({"ro", "RO", "ﾛｯｸ", "ro", "R?ck", "[!r]l"}),
                 QStringList({"Key_1", "Key_3", "Key_4", "Key_4 " + kEnd, "Key_1", "Key_2"}));
        QVERIFY(!w.serch.restart());
        QVERIFY(w.list.multiSelect());
        QCOMPARE(w.boxes.boxes()[0].style, 0);
        QCOMPARE(w.boxes.boxes()[0].title, "Melodara Player");
        w.pick(2);
        QCOMPARE(w.find({"#1"}), QStringList({"Key_4"}));

        listrows::fill(w.list.songs(), {"曲名", "ｱｰﾃｨｽﾄ名", "ｶｳﾝﾄ"}, {});
        QCOMPARE(w.find({""}), QStringList({" " + kEnd}));
        QCOMPARE(gSerchPos, 0);
    }

    // After a find, Shift with an arrow extends the selection from the
    // found row, never from the row last clicked.
    void keyboardSelectionGoesOnFromTheFoundRow() {
        Window w;
        w.list.resize(400, 300);
        w.list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.list));
        const QRect first = w.list.visualRect(w.list.model()->index(0, 0));
        QTest::mouseClick(w.list.viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(w.list.selectedKeys(), QStringList({"Key_1"}));
        w.pick(0);
        QCOMPARE(w.find({"ロック"}), QStringList({"Key_4"}));
        QTest::keyClick(&w.list, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(w.list.selectedKeys(), QStringList({"Key_3", "Key_4"}));
    }

    void typedColumnTextRestartsPickingDoesNot() {
        Window w;
        w.pick(0);
        QCOMPARE(w.find({"o"}), QStringList({"Key_1"}));
        w.pick(1); // another entry picked: the walk goes on
        QCOMPARE(w.find({""}), QStringList({"Key_2"}));
        // A typed text that names no column searches nothing and says so.
        w.type("zz");
        QVERIFY(w.serch.restart());
        QCOMPARE(w.find({""}), QStringList({"Key_2 検索対象列「zz」はリストにありません"}));
        QCOMPARE(gSerchPos, 2);
        QCOMPARE(w.serch.cboSerchColumn->count(), 3); // the text never becomes an entry
        // Typed, then picked: from the top.
        w.pick(0);
        QCOMPARE(w.find({"o"}), QStringList({"Key_1"}));
        // A column's name typed in its full-width form finds it.
        w.type("アーティスト名");
        QCOMPARE(w.find({"", "cid"}), QStringList({"Key_1", "Key_3"}));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
