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

    const QStringList captions_ = {"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ"};

    // Five songs, in this order, unsorted.
    void fillNames(SongListModel& list) {
        listrows::fill(list, captions_,
                       {{"Blue Moon", "Ann", "Jazz", "3", "/m/a.mp3"},
                        {"ＢＬＵＥ　Ｓｋｙ", "Bob", "Pop", "10", "/m/b.mp3"},
                        {"夜明け", "ｱﾝﾅ", "演歌", "1", "/m/c.mp3"},
                        {"あんな日", "アンナ", "ﾛｯｸ", "2", "/m/d.mp3"},
                        {"Rock Song", "Carl", "指定無し", "5", "/m/blue.mp3"}});
    }
    static void filter(SongListModel& list, const QString& text) {
        list.setFilter(RowFilter(text));
    }

private slots:
    void init() { gLastKey.clear(); }

    void textsShowTheirRows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("empty") << "" << QStringList{"Key_1", "Key_2", "Key_3", "Key_4", "Key_5"};
        QTest::newRow("case and width") << "blue" << QStringList{"Key_1", "Key_2"};
        QTest::newRow("full-width typed") << "ＲＯＣＫ" << QStringList{"Key_5"};
        QTest::newRow("full-width space") << "e s" << QStringList{"Key_2"};
        QTest::newRow("half-width kana") << "アンナ" << QStringList{"Key_3", "Key_4"};
        QTest::newRow("half-width typed") << "ｱﾝﾅ" << QStringList{"Key_3", "Key_4"};
        QTest::newRow("hiragana stays") << "あんな" << QStringList{"Key_4"};
        QTest::newRow("genre") << "ロック" << QStringList{"Key_4"};
        QTest::newRow("kanji") << "演" << QStringList{"Key_3"};
        QTest::newRow("artist") << "CARL" << QStringList{"Key_5"};
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
        filter(list, "o");
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2", "Key_5"}));
        filter(list, "on");
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_5"}));
        filter(list, "ong");
        QCOMPARE(listrows::keys(list), QStringList({"Key_5"}));
        filter(list, "ongx");
        QCOMPARE(listrows::keys(list), QStringList());
        filter(list, "o");
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2", "Key_5"}));
        QCOMPARE(list.position("Key_3"), -1);
        QCOMPARE(list.keyAt(1), QStringLiteral("Key_2"));
        QCOMPARE(list.cell("Key_3", 0), QStringLiteral("夜明け")); // hidden, still held
        fillNames(list);
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2", "Key_5"}));
        filter(list, "");
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2", "Key_3", "Key_4", "Key_5"}));
        QVERIFY(!list.filtered());
    }

    // Sorting while narrowed sorts the hidden rows too: clearing shows the
    // whole list in the new sort.
    void aSortWhileNarrowedHoldsForTheWholeList() {
        SongListModel list;
        fillNames(list);
        filter(list, "o");        // Moon, Bob and Pop, Rock
        list.setSort(true, 3, 0); // the count as text: "1" < "10" < "2" < "3" < "5"
        QCOMPARE(listrows::keys(list), QStringList({"Key_2", "Key_1", "Key_5"}));
        filter(list, "");
        QCOMPARE(listrows::keys(list), QStringList({"Key_3", "Key_2", "Key_4", "Key_1", "Key_5"}));
        filter(list, "o");
        list.setSort(true, 3, 1);
        QCOMPARE(listrows::keys(list), QStringList({"Key_5", "Key_1", "Key_2"}));
        filter(list, "");
        QCOMPARE(listrows::keys(list), QStringList({"Key_5", "Key_1", "Key_4", "Key_2", "Key_3"}));
    }

    // Rows changed while narrowed: a hidden row rewritten keeps its sorted
    // place for later, one removed is gone, one added shows when the text
    // passes it; moving is refused; a shown row rewritten stays shown.
    void rowsChangedWhileNarrowed() {
        SongListModel list;
        fillNames(list);
        list.setSort(true, 3, 0);
        filter(list, "blue");
        QCOMPARE(listrows::keys(list), QStringList({"Key_2", "Key_1"}));
        QVERIFY(list.setCells("Key_3", {"夜明け", "ｱﾝﾅ", "演歌", "4"}));
        QVERIFY(list.setCells("Key_1", {"Moon", "Ann", "Jazz", "0"}));
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2"}));
        QVERIFY(list.removeItem("Key_4"));
        QVERIFY(list.insertItem(0, "Key_6", {"Blue Train", "Dan", "Jazz", "6"}));
        QVERIFY(list.insertItem(0, "Key_7", {"Green", "Dan", "Jazz", "7"}));
        QCOMPARE(list.appendItems({SongListItem("Key_8", {"Blues", "Eve", "Jazz", "8"}),
                                   SongListItem("Key_9", {"Red", "Eve", "Jazz", "9"})}),
                 2);
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2", "Key_6", "Key_8"}));
        QVERIFY(!list.moveItem(0, 1));
        QCOMPARE(list.cell("Key_7", 0), QStringLiteral("Green"));
        filter(list, "");
        QCOMPARE(listrows::keys(list), QStringList({"Key_1", "Key_2", "Key_3", "Key_5", "Key_6",
                                                    "Key_7", "Key_8", "Key_9"}));
        filter(list, "e");
        std::vector<std::pair<QString, QStringList>> rows = {
            {"Key_3", {"夜明け", "ｱﾝﾅ", "演歌", "99"}}, {"Key_9", {"Red", "Eve", "Jazz", "00"}}};
        list.setCellsOfRows(rows);
        QCOMPARE(listrows::keys(list), QStringList({"Key_9", "Key_2", "Key_6", "Key_7", "Key_8"}));
        filter(list, "");
        QCOMPARE(listrows::column(list, 3),
                 QStringList({"0", "00", "10", "5", "6", "7", "8", "99"}));
    }

    // Program play goes down the shown rows; a song last played that the
    // filter hides goes on with the next shown row after its place.
    void nextKeyFollowsTheShownRows() {
        SongListModel list;
        fillNames(list);
        filter(list, "o");
        QString key;
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_1"));
        lvSetLastKey("Key_2");
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_5"));
        lvSetLastKey("Key_3"); // hidden, as is Key_4 after it
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_5"));
        filter(list, "blue");
        lvSetLastKey("Key_3");
        QVERIFY(!lvGetNextKey(list, key)); // none shown after it
        lvSetLastKey("Key_9");
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
        view.selectKey("Key_3");
        view.selectKey("Key_4", true);
        QTest::keyClicks(&box, "o");
        QCOMPARE(listrows::keys(view.songs()), QStringList({"Key_1", "Key_2", "Key_5"}));
        QCOMPARE(view.verticalHeader()->count(), 3);
        QCOMPARE(view.selectedKeys(), QStringList());
        QTest::keyClicks(&box, "ng");
        QCOMPARE(listrows::keys(view.songs()), QStringList({"Key_5"}));
        QCOMPARE(view.verticalHeader()->count(), 1);
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(box.text(), QString());
        QCOMPARE(view.verticalHeader()->count(), 5);
        QCOMPARE(view.selectedKeys(), QStringList({"Key_3", "Key_4"}));
        QCOMPARE(view.currentIndex().row(), 3);
        QTest::keyClicks(&box, "blue");
        view.selectKey("Key_2");
        box.clear();
        QCOMPARE(view.selectedKeys(), QStringList({"Key_2"}));
        QTest::keyClick(&box, Qt::Key_Down);
        QTRY_VERIFY(view.hasFocus());
    }
};

QTEST_MAIN(TestListFilter)
#include "tst_listfilter.moc"
