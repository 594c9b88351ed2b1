// The filter as you type: which rows a text shows (title, artist and genre,
// folded for case and width, kana as they are), the list narrowed and
// widened again with its order, sort and selection, and the rows changed
// while it is on.

#include "listrows.h"
#include "songlist/filterbox.h"
#include "songlist/rowfilter.h"
#include "songlist/songlist.h"
#include "songlist/songlistmodel.h"
#include "songlist/songlistview.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

class TestListFilter : public QObject {
    Q_OBJECT

    const QStringList captions_ = {QStringLiteral("曲名"), QStringLiteral("ｱｰﾃｨｽﾄ名"),
                                   QStringLiteral("ｼﾞｬﾝﾙ"), QStringLiteral("ｶｳﾝﾄ"),
                                   QStringLiteral("ﾌｧｲﾙﾊﾟｽ")};

    // Five songs, in this order, unsorted.
    void fillNames(SongListModel& list) {
        listrows::fill(
            list, captions_,
            {{QStringLiteral("Blue Moon"), QStringLiteral("Ann"), QStringLiteral("Jazz"),
              QStringLiteral("3"), QStringLiteral("/m/a.mp3")},
             {QStringLiteral("ＢＬＵＥ　Ｓｋｙ"), QStringLiteral("Bob"), QStringLiteral("Pop"),
              QStringLiteral("10"), QStringLiteral("/m/b.mp3")},
             {QStringLiteral("夜明け"), QStringLiteral("ｱﾝﾅ"), QStringLiteral("演歌"),
              QStringLiteral("1"), QStringLiteral("/m/c.mp3")},
             {QStringLiteral("あんな日"), QStringLiteral("アンナ"), QStringLiteral("ﾛｯｸ"),
              QStringLiteral("2"), QStringLiteral("/m/d.mp3")},
             {QStringLiteral("Rock Song"), QStringLiteral("Carl"), QStringLiteral("指定無し"),
              QStringLiteral("5"), QStringLiteral("/m/blue.mp3")}});
    }
    static void filter(SongListModel& list, const QString& text) {
        list.setFilter(RowFilter(text));
    }

private slots:
    void init() { gLastKey.clear(); }

    void textsShowTheirRows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("empty") << ""
                               << QStringList{QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                                              QStringLiteral("Key_3"), QStringLiteral("Key_4"),
                                              QStringLiteral("Key_5")};
        QTest::newRow("case and width")
            << "blue" << QStringList{QStringLiteral("Key_1"), QStringLiteral("Key_2")};
        QTest::newRow("full-width typed") << "ＲＯＣＫ" << QStringList{QStringLiteral("Key_5")};
        QTest::newRow("full-width space") << "e s" << QStringList{QStringLiteral("Key_2")};
        QTest::newRow("half-width kana")
            << "アンナ" << QStringList{QStringLiteral("Key_3"), QStringLiteral("Key_4")};
        QTest::newRow("half-width typed")
            << "ｱﾝﾅ" << QStringList{QStringLiteral("Key_3"), QStringLiteral("Key_4")};
        QTest::newRow("hiragana stays") << "あんな" << QStringList{QStringLiteral("Key_4")};
        QTest::newRow("genre") << "ロック" << QStringList{QStringLiteral("Key_4")};
        QTest::newRow("kanji") << "演" << QStringList{QStringLiteral("Key_3")};
        QTest::newRow("artist") << "CARL" << QStringList{QStringLiteral("Key_5")};
        QTest::newRow("count not searched") << "10" << QStringList{};
        QTest::newRow("path not searched") << "mp3" << QStringList{};
        QTest::newRow("nothing") << "zzz" << QStringList{};
    }
    void textsShowTheirRows() {
        QFETCH(QString, text);
        QFETCH(QStringList, keys);
        SongListModel list;
        fillNames(list);
        filter(list, text);
        QCOMPARE(listrows::keys(list), keys);
        QCOMPARE(list.filtered(), !text.isEmpty());
    }

    // Typing on narrows, a deleted letter widens again, and clearing gives
    // back the whole list in its own order; a refill keeps the filter.
    void narrowsWidensAndClears() {
        SongListModel list;
        fillNames(list);
        filter(list, QStringLiteral("o"));
        QCOMPARE(listrows::keys(list),
                 QStringList(
                     {QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_5")}));
        filter(list, QStringLiteral("on"));
        QCOMPARE(listrows::keys(list),
                 QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_5")}));
        filter(list, QStringLiteral("ong"));
        QCOMPARE(listrows::keys(list), QStringList({QStringLiteral("Key_5")}));
        filter(list, QStringLiteral("ongx"));
        QCOMPARE(listrows::keys(list), QStringList());
        filter(list, QStringLiteral("o"));
        QCOMPARE(listrows::keys(list),
                 QStringList(
                     {QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_5")}));
        QCOMPARE(list.position(QStringLiteral("Key_3")), -1);
        QCOMPARE(list.keyAt(1), QStringLiteral("Key_2"));
        QCOMPARE(list.cell(QStringLiteral("Key_3"), 0),
                 QStringLiteral("夜明け")); // hidden, still held
        fillNames(list);
        QCOMPARE(listrows::keys(list),
                 QStringList(
                     {QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_5")}));
        filter(list, QStringLiteral(""));
        QCOMPARE(
            listrows::keys(list),
            QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_3"),
                         QStringLiteral("Key_4"), QStringLiteral("Key_5")}));
        QVERIFY(!list.filtered());
    }

    // Sorting while narrowed sorts the hidden rows too: clearing shows the
    // whole list in the new sort.
    void aSortWhileNarrowedHoldsForTheWholeList() {
        SongListModel list;
        fillNames(list);
        filter(list, QStringLiteral("o")); // Moon, Bob and Pop, Rock
        list.setSort(true, 3, 0);          // the count as text: "1" < "10" < "2" < "3" < "5"
        QCOMPARE(listrows::keys(list),
                 QStringList(
                     {QStringLiteral("Key_2"), QStringLiteral("Key_1"), QStringLiteral("Key_5")}));
        filter(list, QStringLiteral(""));
        QCOMPARE(
            listrows::keys(list),
            QStringList({QStringLiteral("Key_3"), QStringLiteral("Key_2"), QStringLiteral("Key_4"),
                         QStringLiteral("Key_1"), QStringLiteral("Key_5")}));
        filter(list, QStringLiteral("o"));
        list.setSort(true, 3, 1);
        QCOMPARE(listrows::keys(list),
                 QStringList(
                     {QStringLiteral("Key_5"), QStringLiteral("Key_1"), QStringLiteral("Key_2")}));
        filter(list, QStringLiteral(""));
        QCOMPARE(
            listrows::keys(list),
            QStringList({QStringLiteral("Key_5"), QStringLiteral("Key_1"), QStringLiteral("Key_4"),
                         QStringLiteral("Key_2"), QStringLiteral("Key_3")}));
    }

    // Rows changed while narrowed: a hidden row rewritten keeps its sorted
    // place for later, one removed is gone, one added shows when the text
    // passes it; moving is refused; a shown row rewritten stays shown.
    void rowsChangedWhileNarrowed() {
        SongListModel list;
        fillNames(list);
        list.setSort(true, 3, 0);
        filter(list, QStringLiteral("blue"));
        QCOMPARE(listrows::keys(list),
                 QStringList({QStringLiteral("Key_2"), QStringLiteral("Key_1")}));
        QVERIFY(
            list.setCells(QStringLiteral("Key_3"), {QStringLiteral("夜明け"), QStringLiteral("ｱﾝﾅ"),
                                                    QStringLiteral("演歌"), QStringLiteral("4")}));
        QVERIFY(
            list.setCells(QStringLiteral("Key_1"), {QStringLiteral("Moon"), QStringLiteral("Ann"),
                                                    QStringLiteral("Jazz"), QStringLiteral("0")}));
        QCOMPARE(listrows::keys(list),
                 QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_2")}));
        QVERIFY(list.removeItem(QStringLiteral("Key_4")));
        QVERIFY(list.insertItem(0, QStringLiteral("Key_6"),
                                {QStringLiteral("Blue Train"), QStringLiteral("Dan"),
                                 QStringLiteral("Jazz"), QStringLiteral("6")}));
        QVERIFY(list.insertItem(0, QStringLiteral("Key_7"),
                                {QStringLiteral("Green"), QStringLiteral("Dan"),
                                 QStringLiteral("Jazz"), QStringLiteral("7")}));
        QCOMPARE(list.appendItems({SongListItem(QStringLiteral("Key_8"),
                                                {QStringLiteral("Blues"), QStringLiteral("Eve"),
                                                 QStringLiteral("Jazz"), QStringLiteral("8")}),
                                   SongListItem(QStringLiteral("Key_9"),
                                                {QStringLiteral("Red"), QStringLiteral("Eve"),
                                                 QStringLiteral("Jazz"), QStringLiteral("9")})}),
                 2);
        QCOMPARE(listrows::keys(list),
                 QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                              QStringLiteral("Key_6"), QStringLiteral("Key_8")}));
        QVERIFY(!list.moveItem(0, 1));
        QCOMPARE(list.cell(QStringLiteral("Key_7"), 0), QStringLiteral("Green"));
        filter(list, QStringLiteral(""));
        QCOMPARE(
            listrows::keys(list),
            QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_3"),
                         QStringLiteral("Key_5"), QStringLiteral("Key_6"), QStringLiteral("Key_7"),
                         QStringLiteral("Key_8"), QStringLiteral("Key_9")}));
        filter(list, QStringLiteral("e"));
        std::vector<std::pair<QString, QStringList>> rows = {
            {QStringLiteral("Key_3"),
             {QStringLiteral("夜明け"), QStringLiteral("ｱﾝﾅ"), QStringLiteral("演歌"),
              QStringLiteral("99")}},
            {QStringLiteral("Key_9"),
             {QStringLiteral("Red"), QStringLiteral("Eve"), QStringLiteral("Jazz"),
              QStringLiteral("00")}}};
        list.setCellsOfRows(rows);
        QCOMPARE(
            listrows::keys(list),
            QStringList({QStringLiteral("Key_9"), QStringLiteral("Key_2"), QStringLiteral("Key_6"),
                         QStringLiteral("Key_7"), QStringLiteral("Key_8")}));
        filter(list, QStringLiteral(""));
        QCOMPARE(listrows::column(list, 3),
                 QStringList({QStringLiteral("0"), QStringLiteral("00"), QStringLiteral("10"),
                              QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                              QStringLiteral("8"), QStringLiteral("99")}));
    }

    // Program play goes down the shown rows; a song last played that the
    // filter hides goes on with the next shown row after its place.
    void nextKeyFollowsTheShownRows() {
        SongListModel list;
        fillNames(list);
        filter(list, QStringLiteral("o"));
        QString key;
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_1"));
        lvSetLastKey(QStringLiteral("Key_2"));
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_5"));
        lvSetLastKey(QStringLiteral("Key_3")); // hidden, as is Key_4 after it
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_5"));
        filter(list, QStringLiteral("blue"));
        lvSetLastKey(QStringLiteral("Key_3"));
        QVERIFY(!lvGetNextKey(list, key)); // none shown after it
        lvSetLastKey(QStringLiteral("Key_9"));
        QVERIFY(!lvGetNextKey(list, key));
    }

    // In the view: the box narrows the rows the view has (its header too),
    // Escape empties it and the selection from before comes back; rows
    // selected while narrowed stay selected instead.
    void theBoxKeepsTheSelection() {
        SongListView view;
        fillNames(view.songs());
        FilterBox box(view);
        view.resize(500, 300);
        box.show();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectKey(QStringLiteral("Key_3"));
        view.selectKey(QStringLiteral("Key_4"), true);
        QTest::keyClicks(&box, QStringLiteral("o"));
        QCOMPARE(listrows::keys(view.songs()),
                 QStringList(
                     {QStringLiteral("Key_1"), QStringLiteral("Key_2"), QStringLiteral("Key_5")}));
        QCOMPARE(view.verticalHeader()->count(), 3);
        QCOMPARE(view.selectedKeys(), QStringList());
        QTest::keyClicks(&box, QStringLiteral("ng"));
        QCOMPARE(listrows::keys(view.songs()), QStringList({QStringLiteral("Key_5")}));
        QCOMPARE(view.verticalHeader()->count(), 1);
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(box.text(), QString());
        QCOMPARE(view.verticalHeader()->count(), 5);
        QCOMPARE(view.selectedKeys(),
                 QStringList({QStringLiteral("Key_3"), QStringLiteral("Key_4")}));
        QCOMPARE(view.currentIndex().row(), 3);
        QTest::keyClicks(&box, QStringLiteral("blue"));
        view.selectKey(QStringLiteral("Key_2"));
        box.clear();
        QCOMPARE(view.selectedKeys(), QStringList({QStringLiteral("Key_2")}));
        QTest::keyClick(&box, Qt::Key_Down);
        QTRY_VERIFY(view.hasFocus());
    }
};

QTEST_MAIN(TestListFilter)
#include "tst_listfilter.moc"
