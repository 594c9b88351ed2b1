// Filling, sorting, rewriting and walking a song list against a real
// library database.

#include "data/song.h"
#include "listrows.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songrows.h"
#include "templibrary.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <numeric>

using listrows::column;
using listrows::keys;

class TestSongList : public QObject {
    Q_OBJECT

    // Sets the columns, then fills the list from a set list (mode 0) or an album (1).
    static bool load(SongListModel& list, const QStringList& captions,
                     const QString& name = QStringLiteral("ALL"), int mode = 0) {
        list.setColumns(captions);
        return lvSetSongList(mode, name, list);
    }
    // The cells of the row at `position`, as a view reads them.
    static QStringList row(const SongListModel& list, int position) {
        QStringList out;
        for (int c = 0; c < list.columnCount(); ++c)
            out << list.data(list.index(position, c)).toString();
        return out;
    }
    // Songs Key_1 "b", Key_2 "a" and Key_3 "C" with counts 9, 10 and 100:
    // as text, "10" < "100" < "9".
    static void addThree(TempLibrary& lib) {
        for (auto [title, count] : {std::pair{"b", 9}, {"a", 10}, {"C", 100}})
            lib.addSong(QString::fromUtf8(title), {.count = count});
    }

private slots:
    void init() { gLastKey.clear(); }

    void fillsBothModesWithEveryCellForm() {
        TempLibrary lib;
        const int rock = lib.addGenre(QStringLiteral("Rock")),
                  pop = lib.addGenre(QStringLiteral("Pop")), none = 1;
        lib.addSong(QStringLiteral("first"),
                    {.priority = 80,
                     .genres = {rock, pop, lib.addGenre(QStringLiteral("Jazz"))},
                     .artist = lib.addArtist(QStringLiteral("Ann")),
                     .breakOut = true,
                     .volume = -300,
                     .count = 12});
        lib.addSong(QStringLiteral("second"));
        // The genre text stops at the first genre that is none.
        for (auto [title, g1, g2, g3] : {std::tuple{"third", rock, pop, none},
                                         {"fourth", rock, none, pop},
                                         {"fifth", none, rock, pop}})
            lib.addSong(QString::fromUtf8(title), {.genres = {g1, g2, g3}});
        SongListModel list;
        // The count's caption in its full-width form: captions ignore width.
        QVERIFY(
            load(list, {QStringLiteral("曲名"), QStringLiteral("ｱｰﾃｨｽﾄ名"), QStringLiteral("ｼﾞｬﾝﾙ"),
                        QStringLiteral("カウント"), QStringLiteral("優先度"),
                        QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ"), QStringLiteral("ﾄﾚﾝﾄﾞ"),
                        QStringLiteral("ﾎﾞﾘｭｰﾑ補正"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")}));
        QCOMPARE(keys(list), QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                                          QStringLiteral("Key_3"), QStringLiteral("Key_4"),
                                          QStringLiteral("Key_5")}));
        QCOMPARE(row(list, 0), QStringList({QStringLiteral("first"), QStringLiteral("Ann"),
                                            QStringLiteral("Rock/Pop/Jazz"), QStringLiteral("12"),
                                            QStringLiteral("80"), QStringLiteral("True"),
                                            QStringLiteral("False"), QStringLiteral("-300"),
                                            lib.folder() + QStringLiteral("/music/first.mp3")}));
        QCOMPARE(row(list, 1),
                 QStringList({QStringLiteral("second"), QStringLiteral("指定無し"),
                              QStringLiteral("指定無し"), QStringLiteral("0"), QStringLiteral("50"),
                              QStringLiteral("False"), QStringLiteral("False"), QStringLiteral("0"),
                              lib.folder() + QStringLiteral("/music/second.mp3")}));
        // Genre names repeat from row to row: each is decided alike every time.
        QCOMPARE(column(list, 2),
                 QStringList({QStringLiteral("Rock/Pop/Jazz"), QStringLiteral("指定無し"),
                              QStringLiteral("Rock/Pop"), QStringLiteral("Rock"),
                              QStringLiteral("指定無し")}));

        QVERIFY(
            lib.db().adoSetData(Write::AddAlbumSong,
                                {QStringLiteral("Mix"), QStringLiteral("3"), QStringLiteral("1")}));
        QVERIFY(
            lib.db().adoSetData(Write::AddAlbumSong,
                                {QStringLiteral("Mix"), QStringLiteral("1"), QStringLiteral("2")}));
        QVERIFY(load(list, {QStringLiteral("曲名")}, QStringLiteral("Mix"), 1));
        QCOMPARE(column(list, 0), QStringList({QStringLiteral("third"), QStringLiteral("first")}));
        QVERIFY(load(list, {QStringLiteral("曲名")}, QStringLiteral("no such album"), 1));
        QCOMPARE(list.count(), 0);

        // An empty caption is skipped: the item text is the next column's.
        QVERIFY(load(list, {QStringLiteral(""), QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ")}));
        QCOMPARE(row(list, 0),
                 QStringList({QStringLiteral("first"), QStringLiteral("12"), QStringLiteral("")}));
        QVERIFY(
            load(list, {QStringLiteral("曲名"), QStringLiteral("作曲者"), QStringLiteral("ｶｳﾝﾄ")}));
        QCOMPARE(row(list, 0),
                 QStringList({QStringLiteral("first"), QStringLiteral(""), QStringLiteral("12")}));
        lib.db().adoxCreateQuery(
            QStringLiteral("SELECT ID, NULL AS タイトル, カウント FROM TM_曲情報"),
            QStringLiteral("Q_SetList_nulls"));
        QVERIFY(load(list,
                     {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("ｱｰﾃｨｽﾄ名")},
                     QStringLiteral("nulls")));
        QCOMPARE(row(list, 0),
                 QStringList({QStringLiteral(""), QStringLiteral("12"), QStringLiteral("")}));
        // A read that fails says so and keeps the rows.
        ScriptedPresenter boxes;
        QVERIFY(!load(list,
                      {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("ｱｰﾃｨｽﾄ名")},
                      QStringLiteral("gone")));
        QCOMPARE(row(list, 0),
                 QStringList({QStringLiteral(""), QStringLiteral("12"), QStringLiteral("")}));
        QCOMPARE(boxes.boxes().size(), 1);
    }

    // Today's order of every column, pinned on names that trip a sort: case,
    // full and half width, kana, numbers as text, empty cells. Cells compare
    // folded, code unit by code unit; equal cells keep the order they had.
    void everyColumnSortsAsText_data() {
        QTest::addColumn<QStringList>("steps"); // caption and order (0 up, 1 down), in turn
        QTest::addColumn<QList<int>>("ids");
        const QList<std::tuple<const char*, QList<int>, QList<int>>> columns = {
            {"曲名", {10, 7, 8, 1, 2, 6, 5, 9, 3, 4}, {4, 3, 9, 5, 6, 1, 2, 8, 7, 10}},
            {"ｱｰﾃｨｽﾄ名", {7, 3, 8, 1, 10, 6, 5, 9, 2, 4}, {4, 2, 9, 5, 6, 1, 10, 8, 3, 7}},
            {"ｼﾞｬﾝﾙ", {2, 9, 7, 1, 10, 8, 5, 6, 3, 4}, {4, 3, 6, 5, 8, 1, 10, 7, 2, 9}},
            {"ｶｳﾝﾄ", {4, 7, 2, 9, 3, 8, 5, 6, 1, 10}, {1, 10, 6, 5, 8, 3, 2, 9, 7, 4}},
            {"優先度", {4, 7, 2, 9, 3, 1, 6, 10, 8, 5}, {5, 8, 1, 6, 10, 3, 2, 9, 7, 4}},
            {"ﾌﾞﾚｰｸｱｳﾄ", {1, 3, 5, 6, 8, 10, 2, 4, 7, 9}, {2, 4, 7, 9, 1, 3, 5, 6, 8, 10}},
            {"ﾄﾚﾝﾄﾞ", {2, 3, 5, 7, 8, 10, 1, 4, 6, 9}, {1, 4, 6, 9, 2, 3, 5, 7, 8, 10}},
            {"ﾎﾞﾘｭｰﾑ補正", {5, 2, 9, 8, 3, 1, 6, 10, 4, 7}, {7, 4, 1, 6, 10, 3, 8, 2, 9, 5}},
            {"ﾌｧｲﾙﾊﾟｽ", {10, 7, 8, 1, 2, 6, 5, 9, 3, 4}, {4, 3, 9, 5, 6, 1, 2, 8, 7, 10}},
        };
        for (const auto& [caption, up, down] : columns) {
            QTest::addRow("%s up", caption)
                << QStringList{QString::fromUtf8(caption) + QStringLiteral(" 0")} << up;
            QTest::addRow("%s down", caption)
                << QStringList{QString::fromUtf8(caption) + QStringLiteral(" 1")} << down;
        }
        // Equal cells keep the order shown before, whatever sorted it.
        QTest::newRow("flag after title down")
            << QStringList{QStringLiteral("曲名 1"), QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ 0")}
            << QList<int>{3, 5, 6, 1, 8, 10, 4, 9, 2, 7};
        QTest::newRow("flag reversed")
            << QStringList{QStringLiteral("曲名 1"), QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ 0"),
                           QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ 1")}
            << QList<int>{4, 9, 2, 7, 3, 5, 6, 1, 8, 10};
        QTest::newRow("title after the flag")
            << QStringList{QStringLiteral("曲名 1"), QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ 0"),
                           QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ 1"), QStringLiteral("曲名 0")}
            << QList<int>{10, 7, 8, 2, 1, 6, 5, 9, 3, 4};
    }
    void everyColumnSortsAsText() {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, ids);
        TempLibrary lib;
        const int none = 1, rock = lib.addGenre(QStringLiteral("Rock")),
                  pop = lib.addGenre(QStringLiteral("Pop")),
                  widePop = lib.addGenre(QStringLiteral("ＰＯＰ")),
                  narrowRock = lib.addGenre(QStringLiteral("ﾛｯｸ")),
                  kanaRock = lib.addGenre(QStringLiteral("ロック"));
        const int nobody = 1, ben = lib.addArtist(QStringLiteral("ben")),
                  wideBen = lib.addArtist(QStringLiteral("Ｂｅｎ")),
                  ten = lib.addArtist(QStringLiteral("10")),
                  narrowKana = lib.addArtist(QStringLiteral("ｶﾅ")),
                  kana = lib.addArtist(QStringLiteral("カナ")),
                  hiragana = lib.addArtist(QStringLiteral("かな")),
                  empty = lib.addArtist(QStringLiteral("")),
                  nine = lib.addArtist(QStringLiteral("9"));
        struct Row {
            const char* title;
            int artist;
            int genres[3];
            int count, priority;
            bool breakOut, trend;
            int volume;
        };
        const Row rows[] = {
            {"abc", ben, {rock, pop, none}, 9, 50, false, true, 0},
            {"ABC", wideBen, {pop, none, none}, 10, 100, true, false, -300},
            {"Ａｂｃ", ten, {widePop, none, none}, 100, 5, false, false, -50},
            {"ｱｲｳ", narrowKana, {narrowRock, none, none}, 0, 0, true, true, 10},
            {"アイウ", kana, {kanaRock, rock, pop}, 2, 99, false, false, -1000},
            {"あいう", hiragana, {none, rock, pop}, 20, 50, false, true, 0},
            {"10", empty, {rock, none, pop}, 1, 10, true, false, 5},
            {"9", nine, {rock, pop, kanaRock}, 19, 9, false, false, -5},
            {"１０", nobody, {pop, none, none}, 10, 100, true, true, -300},
            {"", ben, {rock, pop, none}, 9, 50, false, false, 0},
        };
        for (const Row& r : rows)
            lib.addSong(QString::fromUtf8(r.title),
                        {.priority = r.priority,
                         .genres = {r.genres[0], r.genres[1], r.genres[2]},
                         .artist = r.artist,
                         .breakOut = r.breakOut,
                         .trend = r.trend,
                         .volume = r.volume,
                         .count = r.count});
        SongListModel list;
        const QStringList captions = {
            QStringLiteral("曲名"),  QStringLiteral("ｱｰﾃｨｽﾄ名"),   QStringLiteral("ｼﾞｬﾝﾙ"),
            QStringLiteral("ｶｳﾝﾄ"),  QStringLiteral("優先度"),     QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ"),
            QStringLiteral("ﾄﾚﾝﾄﾞ"), QStringLiteral("ﾎﾞﾘｭｰﾑ補正"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")};
        QVERIFY(load(list, captions));
        for (const QString& step : steps)
            list.setSort(true, int(captions.indexOf(step.section(u' ', 0, 0))),
                         step.section(u' ', 1).toInt());
        QStringList expected;
        for (int id : ids)
            expected << QStringLiteral("Key_") + QString::number(id);
        QCOMPARE(keys(list), expected);
    }

    void storedSortIsRestored_data() {
        QTest::addColumn<QString>("stored"); // "ソート種別" and "ソート列"
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("sorted"); // the sort column
        // The stored pairing: "昇順" is order 1, "降順" order 0.
        QTest::newRow("昇順 1") << "昇順 1" << 1 << 1
                                << QStringList{QStringLiteral("9"), QStringLiteral("100"),
                                               QStringLiteral("10")};
        QTest::newRow("降順 0") << "降順 0" << 0 << 0
                                << QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                               QStringLiteral("C")};
        QTest::newRow("column too large")
            << "昇順 2" << 0 << 1
            << QStringList{QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")};
        QTest::newRow("column not a number")
            << "昇順 x" << 0 << 1
            << QStringList{QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")};
        QTest::newRow("column negative")
            << "昇順 -1" << 0 << 1
            << QStringList{QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")};
        QTest::newRow("unknown order")
            << "up 1" << 1 << 0
            << QStringList{QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("9")};
    }
    void storedSortIsRestored() {
        QFETCH(QString, stored);
        QFETCH(int, key);
        QFETCH(int, order);
        QFETCH(QStringList, sorted);
        TempLibrary lib;
        addThree(lib);
        // Written directly: write 53 refuses a non-numeric column.
        QVERIFY(lib.db().adoSetData(
            Write::RunSql,
            {QStringLiteral(
                 "UPDATE TM_初期設定 SET 設定値 = CASE 設定情報 WHEN 'ソート種別' THEN '") +
             stored.section(u' ', 0, 0) + QStringLiteral("' WHEN 'ソート列' THEN '") +
             stored.section(u' ', 1) + QStringLiteral("' ELSE 設定値 END")}));
        SongListModel list;
        QVERIFY(load(list, {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ")}));
        lvSortList(list, -1);
        QCOMPARE(QList<int>({list.sorted(), list.sortKey(), list.sortOrder()}),
                 QList<int>({1, key, order}));
        QCOMPARE(column(list, key), sorted);
    }

    void clicksReverseTheOrderAndARefillKeepsTheSort() {
        TempLibrary lib;
        addThree(lib);
        SongListModel list;
        QVERIFY(load(list, {QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")}));
        lvSortList(list, -1); // a new library: "降順", column 0
        QCOMPARE(list.sortOrder(), 0);
        lvSortList(list, 1);
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(column(list, 1),
                 QStringList({QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")}));
        lvSortList(list, 1);
        QCOMPARE(column(list, 1),
                 QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));
        // A click outside the columns still reverses the order.
        lvSortList(list, 5);
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(column(list, 1),
                 QStringList({QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")}));
        // A refill comes back in the same sort, new rows in their places.
        lib.addSong(QStringLiteral("B2"), {.count = 7});
        QVERIFY(load(list, {QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")}));
        QCOMPARE(QList<int>({list.sorted(), list.sortKey(), list.sortOrder()}),
                 QList<int>({1, 1, 1}));
        QCOMPARE(column(list, 1), QStringList({QStringLiteral("C"), QStringLiteral("B2"),
                                               QStringLiteral("b"), QStringLiteral("a")}));
        // The first column is a column like any other: counts as text.
        lvSortList(list, 0);
        QCOMPARE(list.sortKey(), 0);
        QCOMPARE(column(list, 0), QStringList({QStringLiteral("10"), QStringLiteral("100"),
                                               QStringLiteral("7"), QStringLiteral("9")}));
        // Sorting off, a refill shows query order.
        list.setSort(false, 0, 0);
        QVERIFY(load(list, {QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")}));
        QCOMPARE(column(list, 1), QStringList({QStringLiteral("b"), QStringLiteral("a"),
                                               QStringLiteral("C"), QStringLiteral("B2")}));
    }

    // New columns: the sort stays on its column, wherever it now stands.
    void theSortFollowsItsColumn_data() {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("key");
        QTest::newRow("added in front")
            << QStringList{QStringLiteral("優先度"), QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")}
            << 2;
        QTest::newRow("moved") << QStringList{QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ")} << 0;
        QTest::newRow("same") << QStringList{QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")} << 1;
        // Gone: the place, when there is still a column there.
        QTest::newRow("gone, place left")
            << QStringList{QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("優先度")} << 1;
        QTest::newRow("gone, no place") << QStringList{QStringLiteral("ｶｳﾝﾄ")} << 0;
    }
    void theSortFollowsItsColumn() {
        QFETCH(QStringList, columns);
        QFETCH(int, key);
        TempLibrary lib;
        addThree(lib);
        SongListModel list;
        QVERIFY(load(list, {QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")}));
        list.setSort(true, 1, 1);
        QVERIFY(load(list, columns));
        QCOMPARE(QList<int>({list.sorted(), list.sortKey(), list.sortOrder()}),
                 QList<int>({1, key, 1}));
        if (columns[key] == u"曲名")
            QCOMPARE(column(list, key),
                     QStringList({QStringLiteral("C"), QStringLiteral("b"), QStringLiteral("a")}));
    }

    void rewritingARowWithAndWithoutSkip() {
        SongListModel list;
        listrows::fill(list,
                       {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"),
                        QStringLiteral("謎")},
                       {{QStringLiteral("b"), QStringLiteral("9"), QStringLiteral("/b.mp3"),
                         QStringLiteral("")},
                        {QStringLiteral("a"), QStringLiteral("10"), QStringLiteral("/a.mp3"),
                         QStringLiteral("")},
                        {QStringLiteral("C"), QStringLiteral("100"), QStringLiteral("/C.mp3"),
                         QStringLiteral("")}});
        list.setSort(true, 0, 0); // a, b, C
        Song song;
        song.setKeyString(QStringLiteral("1"));
        song.setTitle(QStringLiteral("z"));
        song.setFilePath(QStringLiteral("/new.mp3"));
        song.setCount(5);
        lvSetSongItem(song, list, true);
        QCOMPARE(row(list, 1), QStringList({QStringLiteral("b"), QStringLiteral("5"),
                                            QStringLiteral("/b.mp3"), QStringLiteral("")}));
        song.setKeyString(QStringLiteral("Key_1"));
        lvSetSongItem(song, list, false);
        // The rewritten row moves to its sorted place.
        QCOMPARE(keys(list), QStringList({QStringLiteral("Key_2"), QStringLiteral("Key_3"),
                                          QStringLiteral("Key_1")}));
        QCOMPARE(row(list, 2), QStringList({QStringLiteral("z"), QStringLiteral("5"),
                                            QStringLiteral("/new.mp3"), QStringLiteral("")}));
        // A song that is not in the list changes nothing.
        song.setKeyString(QStringLiteral("99"));
        lvSetSongItem(song, list, false);
        QCOMPARE(column(list, 0),
                 QStringList({QStringLiteral("a"), QStringLiteral("C"), QStringLiteral("z")}));
    }

    // Many rows rewritten at once land where one at a time would put them:
    // sorted, and after the rows whose cell they now equal.
    void rewritingManyRowsKeepsTheListSorted() {
        SongListModel list;
        listrows::fill(list, {QStringLiteral("曲名"), QStringLiteral("優先度")},
                       {{QStringLiteral("t1"), QStringLiteral("5")},
                        {QStringLiteral("t2"), QStringLiteral("3")},
                        {QStringLiteral("t3"), QStringLiteral("1")},
                        {QStringLiteral("t4"), QStringLiteral("3")},
                        {QStringLiteral("t5"), QStringLiteral("9")},
                        {QStringLiteral("t6"), QStringLiteral("0")}});
        list.setSort(true, 1, 0);
        QCOMPARE(keys(list), QStringList({QStringLiteral("Key_6"), QStringLiteral("Key_3"),
                                          QStringLiteral("Key_2"), QStringLiteral("Key_4"),
                                          QStringLiteral("Key_1"), QStringLiteral("Key_5")}));
        const auto rewrite = [&](std::initializer_list<std::pair<const char*, int>> edits,
                                 bool skip) {
            std::vector<Song> songs;
            for (auto [key, priority] : edits) {
                Song& song = songs.emplace_back();
                song.setKeyString(QString::fromUtf8(key));
                song.setTitle(QStringLiteral("new"));
                song.setPriority(priority);
            }
            lvSetSongItems(songs, list, skip);
        };
        QSignalSpy layouts(&list, &QAbstractItemModel::layoutChanged);
        rewrite({{"5", 3}, {"6", 3}, {"Key_1", 2}, {"3", 1}, {"9", 0}}, true);
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(keys(list), QStringList({QStringLiteral("Key_3"), QStringLiteral("Key_1"),
                                          QStringLiteral("Key_2"), QStringLiteral("Key_4"),
                                          QStringLiteral("Key_6"), QStringLiteral("Key_5")}));
        QCOMPARE(column(list, 1),
                 QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("3")}));
        QCOMPARE(column(list, 0),
                 QStringList({QStringLiteral("t3"), QStringLiteral("t1"), QStringLiteral("t2"),
                              QStringLiteral("t4"), QStringLiteral("t6"), QStringLiteral("t5")}));

        // Descending, and without skipping the titles.
        list.setSort(true, 1, 1);
        rewrite({{"3", 4}, {"2", 0}}, false);
        QCOMPARE(column(list, 1),
                 QStringList({QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("3"),
                              QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("0")}));
        QCOMPARE(keys(list), QStringList({QStringLiteral("Key_3"), QStringLiteral("Key_4"),
                                          QStringLiteral("Key_6"), QStringLiteral("Key_5"),
                                          QStringLiteral("Key_1"), QStringLiteral("Key_2")}));
        QCOMPARE(list.cell(QStringLiteral("Key_3"), 0), QStringLiteral("new"));

        // Unsorted, the rows stay where they are.
        list.setSort(false, 1, 0);
        rewrite({{"Key_2", 9}}, false);
        QCOMPARE(keys(list).last(), QStringLiteral("Key_2"));
        QCOMPARE(list.cell(QStringLiteral("Key_2"), 1), QStringLiteral("9"));
    }

    // Letters beyond ASCII fold as well (Greek, and Deseret, whose letters
    // take two units); cells that differ only past their first eight units,
    // or share a start that is a whole cell, still sort by the rest.
    void foldedOrderReachesEveryLetterAndUnit_data() {
        QTest::addColumn<QStringList>("cells"); // Key_1, Key_2, ... in turn
        QTest::addColumn<QStringList>("up");
        QTest::addColumn<QStringList>("down");
        // ψ U+03C8 < ω U+03C9, where Ω U+03A9 would come first unfolded.
        QTest::newRow("greek") << QStringList{QStringLiteral("Ω"), QStringLiteral("ψ"),
                                              QStringLiteral("α")}
                               << QStringList{QStringLiteral("Key_3"), QStringLiteral("Key_2"),
                                              QStringLiteral("Key_1")}
                               << QStringList{QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                                              QStringLiteral("Key_3")};
        // 𐐀 folds to 𐐨 (both D801, then DC00 and DC28): "𐐨a" < "𐐀b",
        // the other way round unfolded; both after ω, before full width.
        QTest::newRow("two units") << QStringList{QStringLiteral("𐐀b"), QStringLiteral("ｚ"),
                                                  QStringLiteral("𐐨a"), QStringLiteral("Ω")}
                                   << QStringList{QStringLiteral("Key_4"), QStringLiteral("Key_3"),
                                                  QStringLiteral("Key_1"), QStringLiteral("Key_2")}
                                   << QStringList{QStringLiteral("Key_2"), QStringLiteral("Key_1"),
                                                  QStringLiteral("Key_3"), QStringLiteral("Key_4")};
        QTest::newRow("past eight units")
            << QStringList{QStringLiteral("abcdefghXY1"), QStringLiteral("ABCDEFGHxy0"),
                           QStringLiteral("zz")}
            << QStringList{QStringLiteral("Key_2"), QStringLiteral("Key_1"),
                           QStringLiteral("Key_3")}
            << QStringList{QStringLiteral("Key_3"), QStringLiteral("Key_1"),
                           QStringLiteral("Key_2")};
        QTest::newRow("a start every cell shares")
            << QStringList{QStringLiteral("/music/AB/x9"), QStringLiteral("/music/ab/x10"),
                           QStringLiteral("/music/ab/x"), QStringLiteral("/music/aB")}
            << QStringList{QStringLiteral("Key_4"), QStringLiteral("Key_3"),
                           QStringLiteral("Key_2"), QStringLiteral("Key_1")}
            << QStringList{QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                           QStringLiteral("Key_3"), QStringLiteral("Key_4")};
        QTest::newRow("equal when folded")
            << QStringList{QStringLiteral("same"), QStringLiteral("SAME"),
                           QStringLiteral("ｓａｍｅ")}
            << QStringList{QStringLiteral("Key_1"), QStringLiteral("Key_2"),
                           QStringLiteral("Key_3")}
            << QStringList{QStringLiteral("Key_3"), QStringLiteral("Key_1"),
                           QStringLiteral("Key_2")};
    }

    void foldedOrderReachesEveryLetterAndUnit() {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, up);
        QFETCH(QStringList, down);
        QList<QStringList> rows;
        for (const QString& cell : cells)
            rows << QStringList{cell};
        SongListModel list;
        listrows::fill(list, {QStringLiteral("曲名")}, rows);
        list.setSort(true, 0, 0);
        QCOMPARE(keys(list), up);
        list.setSort(true, 0, 1);
        QCOMPARE(keys(list), down);
    }

    // A long column is ranked in two halves at once: its order is still
    // the stable sort of the cells' case-folded forms, whichever half equal
    // cells fall in, with or without a start every cell shares.
    void aLongColumnSortsAsAShortOneDoes_data() {
        QTest::addColumn<QString>("start");
        QTest::newRow("own starts") << QString();
        QTest::newRow("a shared start") << QStringLiteral("/音楽/Ａ/");
    }
    void aLongColumnSortsAsAShortOneDoes() {
        QFETCH(QString, start);
        const QList<QString> letters = {
            QStringLiteral("a"), QStringLiteral("A"),  QStringLiteral("ａ"), QStringLiteral("Ａ"),
            QStringLiteral("b"), QStringLiteral("ｶ"),  QStringLiteral("カ"), QStringLiteral("か"),
            QStringLiteral("1"), QStringLiteral("１"), QStringLiteral("9"),  QString()};
        QRandomGenerator random(7);
        QList<QStringList> rows;
        QStringList cells;
        for (int i = 0; i < 30000; ++i) {
            QString cell = start;
            for (int n = random.bounded(4); n > 0; --n)
                cell += letters[random.bounded(int(letters.size()))];
            cells << cell;
            rows << QStringList{cell};
        }
        QList<int> byFolded(cells.size());
        std::iota(byFolded.begin(), byFolded.end(), 0);
        std::stable_sort(byFolded.begin(), byFolded.end(), [&](int a, int b) {
            return cells[a].toCaseFolded() < cells[b].toCaseFolded();
        });
        QStringList up;
        for (int i : byFolded)
            up << QStringLiteral("Key_") + QString::number(i + 1);
        SongListModel list;
        listrows::fill(list, {QStringLiteral("曲名")}, rows);
        list.setSort(true, 0, 0);
        QCOMPARE(keys(list), up);
    }

    void nextKeyFollowsDisplayOrder() {
        SongListModel list;
        listrows::fill(list, {QStringLiteral("曲名")},
                       {{QStringLiteral("b")}, {QStringLiteral("a")}, {QStringLiteral("C")}});
        const auto next = [&] {
            QString key;
            return lvGetNextKey(list, key) ? key : QStringLiteral("<none>");
        };
        QCOMPARE(next(), QStringLiteral("Key_1"));
        lvSetLastKey(QStringLiteral("Key_1"));
        QCOMPARE(next(), QStringLiteral("Key_2"));
        lvSetLastKey(QStringLiteral("Key_3"));
        QCOMPARE(next(), QStringLiteral("<none>")); // no wrap-around
        lvSetLastKey(QStringLiteral("Key_42"));
        QCOMPARE(next(), QStringLiteral("<none>"));
        list.setSort(true, 0, 0); // a, b, C = Key_2, Key_1, Key_3
        lvSetLastKey(QStringLiteral("Key_2"));
        QCOMPARE(next(), QStringLiteral("Key_1"));
        lvResetLastKey();
        QCOMPARE(next(), QStringLiteral("Key_2"));
    }

    void insertRemoveAppendAndMove() {
        SongListModel list;
        listrows::fill(list, {QStringLiteral("name")},
                       {{QStringLiteral("one")}, {QStringLiteral("three")}});
        QVERIFY(list.insertItem(1, QStringLiteral("k2"), {QStringLiteral("two")}));
        QVERIFY(!list.insertItem(0, QStringLiteral("k2"), {QStringLiteral("again")}));
        QVERIFY(list.insertItem(-1, QStringLiteral("k4"), {QStringLiteral("four")}));
        QVERIFY(list.removeItem(QStringLiteral("Key_1")));
        QVERIFY(!list.removeItem(QStringLiteral("Key_1")));
        QCOMPARE(keys(list), QStringList({QStringLiteral("k2"), QStringLiteral("Key_2"),
                                          QStringLiteral("k4")}));
        QCOMPARE(list.position(QStringLiteral("Key_1")), -1);
        QVERIFY(list.insertItem(0, QStringLiteral("Key_1"), {QStringLiteral("one")}));
        // A key already there is skipped.
        QCOMPARE(list.appendItems({{QStringLiteral("k5"), {QStringLiteral("five")}},
                                   {QStringLiteral("k2"), {QStringLiteral("again")}}}),
                 1);
        QCOMPARE(list.appendItems({}), 0);
        QCOMPARE(column(list, 0),
                 QStringList({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                              QStringLiteral("four"), QStringLiteral("five")}));
        QCOMPARE(list.item(QStringLiteral("k5")).cell(0), QStringView(u"five"));
        QVERIFY(list.item(QStringLiteral("k9")).key.isEmpty());
        QVERIFY(list.moveItem(0, 4));
        QVERIFY(list.moveItem(4, 1));
        QCOMPARE(keys(list), QStringList({QStringLiteral("k2"), QStringLiteral("Key_1"),
                                          QStringLiteral("Key_2"), QStringLiteral("k4"),
                                          QStringLiteral("k5")}));
        QVERIFY(!list.moveItem(-1, 0));
        QVERIFY(!list.moveItem(0, 5));
        // While sorted, rows have no hand order: no move, and inserts and
        // appends go to their sorted places.
        list.setSort(true, 0, 0);
        QVERIFY(!list.moveItem(0, 1));
        QVERIFY(list.insertItem(0, QStringLiteral("k6"), {QStringLiteral("six")}));
        QCOMPARE(list.appendItems({{QStringLiteral("k7"), {QStringLiteral("seven")}}}), 1);
        QCOMPARE(column(list, 0),
                 QStringList({QStringLiteral("five"), QStringLiteral("four"), QStringLiteral("one"),
                              QStringLiteral("seven"), QStringLiteral("six"),
                              QStringLiteral("three"), QStringLiteral("two")}));
        // A cell cannot carry the separator of cells.
        QVERIFY(list.setCells(QStringLiteral("k6"),
                              {QStringLiteral("a") + QChar(0) + QStringLiteral("b")}));
        QCOMPARE(list.cell(QStringLiteral("k6"), 0), QStringLiteral("ab"));
    }
};

QTEST_GUILESS_MAIN(TestSongList)
#include "tst_songlist.moc"
