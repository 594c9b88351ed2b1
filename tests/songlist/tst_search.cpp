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
    listrows::fill(list, {QStringLiteral("曲名")}, titles);
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
        listrows::fill(list.songs(),
                       {QStringLiteral("曲名"), QStringLiteral("ｱｰﾃｨｽﾄ名"), QStringLiteral("ｶｳﾝﾄ")},
                       {{QStringLiteral("Rock Me"), QStringLiteral("Ann"), QStringLiteral("1")},
                        {QStringLiteral("Blue"), QStringLiteral("Bob"), QStringLiteral("10")},
                        {QStringLiteral("Rolling"), QStringLiteral("Cid"), QStringLiteral("2")},
                        {QStringLiteral("ロック"), QStringLiteral("Dan"), QStringLiteral("21")}});
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
            out << list.selectedKeys().join(u',');
            for (qsizetype i = shown; i < boxes.boxes().size(); ++i)
                out.last() += QStringLiteral(" ") + boxes.boxes()[i].text;
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
            QStringLiteral("abc|abc"), QStringLiteral("ABC|abc"), QStringLiteral("ＲＯＣＫ|rock"), QStringLiteral("ﾛｯｸ|ロック"),
            QStringLiteral("a|?"), QStringLiteral("曲|?"), QStringLiteral("\U0001D11E|?"), QStringLiteral("|*"),
            QStringLiteral("a long song|a*g"), QStringLiteral("abcbc|*bc"), QStringLiteral("aXbYc|a*b*c"), QStringLiteral("7|#"),
            QStringLiteral("09|##"), QStringLiteral("７|#"), QStringLiteral("b|[abc]"), QStringLiteral("a|[a-f]"),
            QStringLiteral("f|[a-f]"), QStringLiteral("C|[a-f]"), QStringLiteral("c|[f-a]"), QStringLiteral("x|[a-cx]"),
            QStringLiteral("g|[!a-f]"), QStringLiteral("*|[*]"), QStringLiteral("-|[-a]"), QStringLiteral("-|[a-]"),
            QStringLiteral("ab|a[]b"), QStringLiteral("[ab|[ab"), QStringLiteral("1|*1*"), QStringLiteral("10|*1*"),
            QStringLiteral("21|*1*"), QStringLiteral("ﾛｯｸ|ロ?ク"), QStringLiteral("ｶﾞｰﾙ|ガ*"), QStringLiteral("a*|a＊"),
            QStringLiteral("a?|a？"), QStringLiteral("#1|＃1"), QStringLiteral("[Live] 東京|*［Live］*"), QStringLiteral("［LIVE］|[[]live]"),
            QStringLiteral("!|[！a]"), QStringLiteral("ｃ|[Ａ-Ｆ]"), QStringLiteral("x[y|x[y"), QStringLiteral("a[b]|a[[]b]"),
            QStringLiteral("abab|*ab"), QStringLiteral("aab|a*ab"), QStringLiteral("ab|*a*b*"), QStringLiteral("xaybz|*a?b*")};
        const QStringList failing = {
            QStringLiteral("abcd|abc"), QStringLiteral("ろっく|ロック"), QStringLiteral("|?"), QStringLiteral("ab|?"), QStringLiteral("ab|a*c"),
            QStringLiteral("a|#"), QStringLiteral("d|[abc]"), QStringLiteral("g|[a-f]"), QStringLiteral("c|[!a-f]"), QStringLiteral("ab|[ab]"),
            QStringLiteral("a|[?]"), QStringLiteral("32|*1*"), QStringLiteral("abc|a＊"), QStringLiteral("ab|a？"), QStringLiteral("51|＃1"),
            QStringLiteral("olive|*［Live］*"), QStringLiteral("l|［Live］"), QStringLiteral("b|[！a]"), QStringLiteral("ｇ|[Ａ-Ｆ]"), QStringLiteral("x|x[y"),
            QStringLiteral("ab|a*ab"), QStringLiteral("aba|*ab"), QStringLiteral("ab|*a*b*c"), QStringLiteral("xzy|x[y"), QStringLiteral("aab|[ab")};
        // clang-format on
        for (const QStringList* rows : {&matching, &failing}) {
            for (const QString& row : *rows)
                QTest::newRow(qPrintable(row))
                    << row.section(u'|', 0, 0) << row.section(u'|', 1) << (rows == &matching);
        }
        // Long patterns: a list of 1,000 entries, 700 single wildcards
        // between stars, 65 characters in one segment (more than one word
        // of the masks), and a "[" never closed.
        QString list = QStringLiteral("[");
        for (int i = 0; i < 1000; ++i)
            list += QChar(0x4E00 + 2 * i);
        list += QStringLiteral("]");
        QTest::newRow("1,000 entries, one in")
            << "x\u4E02y" << QStringLiteral("x") + list + QStringLiteral("y") << true;
        QTest::newRow("1,000 entries, none in")
            << "x\u4E01y" << QStringLiteral("x") + list + QStringLiteral("y") << false;
        QTest::newRow("700 wildcards, long enough")
            << QString(700, u'a') << QStringLiteral("*?").repeated(700) + QStringLiteral("*")
            << true;
        QTest::newRow("700 wildcards, one short")
            << QString(699, u'a') << QStringLiteral("*?").repeated(700) + QStringLiteral("*")
            << false;
        QTest::newRow("65 in one segment")
            << QStringLiteral("x") + QString(64, u'a') + QStringLiteral("b")
            << QStringLiteral("*") + QString(64, u'?') + QStringLiteral("b") << true;
        QTest::newRow("65 in one segment, no end")
            << QStringLiteral("x") + QString(64, u'a') + QStringLiteral("c")
            << QStringLiteral("*") + QString(64, u'?') + QStringLiteral("b") << false;
        QTest::newRow("unclosed list") << QStringLiteral("[") + QString(999, u'a')
                                       << QStringLiteral("[") + QString(999, u'a') << true;
    }
    void wildcards() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(likeText(text, pattern), match);
    }

    void walkPositionRules() {
        const QList<QStringList> abc = {
            {QStringLiteral("a")}, {QStringLiteral("b")}, {QStringLiteral("c")}};
        const QList<QStringList> xs = {{QStringLiteral("x1")},
                                       {QStringLiteral("y")},
                                       {QStringLiteral("x2")},
                                       {QStringLiteral("x3")}};
        // Empty text steps row by row; after the last row the end is
        // reported, and the next walk starts at the top.
        QCOMPARE(walk(abc, 0, QStringLiteral(""), true), QList<int>({0, 1}));
        QCOMPARE(walk(abc, 1, QStringLiteral("")), QList<int>({1, 2}));
        QCOMPARE(walk(abc, 2, QStringLiteral("")), QList<int>({2, 3}));
        QCOMPARE(walk(abc, 3, QStringLiteral("")), QList<int>({-1, 0}));
        QCOMPARE(walk(xs, 2, QStringLiteral("x"), true), QList<int>({0, 1}));
        QCOMPARE(walk(xs, 2, QStringLiteral("x")), QList<int>({2, 3}));
        // The list was refilled with fewer rows since the last hit.
        QCOMPARE(walk({{QStringLiteral("x1")}, {QStringLiteral("x2")}}, 3, QStringLiteral("x")),
                 QList<int>({0, 1}));
        QCOMPARE(walk({{QStringLiteral("x1")}, {QStringLiteral("x2")}}, 2, QStringLiteral("x")),
                 QList<int>({-1, 0}));
        QCOMPARE(walk({}, 5, QStringLiteral("")), QList<int>({-1, 0}));

        SongListModel list;
        // Counts compare as text, in display order: d 21, c 10, b 2, a 1.
        listrows::fill(list, {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ")},
                       {{QStringLiteral("b"), QStringLiteral("2")},
                        {QStringLiteral("a"), QStringLiteral("1")},
                        {QStringLiteral("c"), QStringLiteral("10")},
                        {QStringLiteral("d"), QStringLiteral("21")}});
        list.setSort(true, 0, 1);
        QList<int> hits;
        for (int hit = lvSerchWalk(list, 1, QStringLiteral("1"), true); hit >= 0;
             hit = lvSerchWalk(list, 1, QStringLiteral("1"), false))
            hits << hit;
        QCOMPARE(hits, QList<int>({0, 1, 3}));
        QCOMPARE(gSerchPos, 0);
    }

    void eachFindSelectsTheNextHitAloneThenSaysItEnded() {
        Window w;
        QVERIFY(w.serch.restart());
        w.list.selectKey(QStringLiteral("Key_2"));
        w.list.selectKey(QStringLiteral("Key_3"), true);
        w.pick(0);
        // Another text goes on from the last hit; the end is said once,
        // then the walk starts at the top; the text is a pattern.
        QCOMPARE(w.find({QStringLiteral("ro"), QStringLiteral("RO"), QStringLiteral("ﾛｯｸ"),
                         QStringLiteral("ro"), QStringLiteral("R?ck"), QStringLiteral("[!r]l")}),
                 QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_3"),
                              QStringLiteral("Key_4"), QStringLiteral("Key_4 ") + kEnd,
                              QStringLiteral("Key_1"), QStringLiteral("Key_2")}));
        QVERIFY(!w.serch.restart());
        QVERIFY(w.list.multiSelect());
        QCOMPARE(w.boxes.boxes()[0].style, 0);
        QCOMPARE(w.boxes.boxes()[0].title, QStringLiteral("Melodara Player"));
        w.pick(2);
        QCOMPARE(w.find({QStringLiteral("#1")}), QStringList({QStringLiteral("Key_4")}));

        listrows::fill(w.list.songs(),
                       {QStringLiteral("曲名"), QStringLiteral("ｱｰﾃｨｽﾄ名"), QStringLiteral("ｶｳﾝﾄ")},
                       {});
        QCOMPARE(w.find({QStringLiteral("")}), QStringList({QStringLiteral(" ") + kEnd}));
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
        QCOMPARE(w.list.selectedKeys(), QStringList({QStringLiteral("Key_1")}));
        w.pick(0);
        QCOMPARE(w.find({QStringLiteral("ロック")}), QStringList({QStringLiteral("Key_4")}));
        QTest::keyClick(&w.list, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(w.list.selectedKeys(),
                 QStringList({QStringLiteral("Key_3"), QStringLiteral("Key_4")}));
    }

    void typedColumnTextRestartsPickingDoesNot() {
        Window w;
        w.pick(0);
        QCOMPARE(w.find({QStringLiteral("o")}), QStringList({QStringLiteral("Key_1")}));
        w.pick(1); // another entry picked: the walk goes on
        QCOMPARE(w.find({QStringLiteral("")}), QStringList({QStringLiteral("Key_2")}));
        // A typed text that names no column searches nothing and says so.
        w.type(QStringLiteral("zz"));
        QVERIFY(w.serch.restart());
        QCOMPARE(w.find({QStringLiteral("")}),
                 QStringList({QStringLiteral("Key_2 検索対象列「zz」はリストにありません")}));
        QCOMPARE(gSerchPos, 2);
        QCOMPARE(w.serch.cboSerchColumn->count(), 3); // the text never becomes an entry
        // Typed, then picked: from the top.
        w.pick(0);
        QCOMPARE(w.find({QStringLiteral("o")}), QStringList({QStringLiteral("Key_1")}));
        // A column's name typed in its full-width form finds it.
        w.type(QStringLiteral("アーティスト名"));
        QCOMPARE(w.find({QStringLiteral(""), QStringLiteral("cid")}),
                 QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_3")}));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
