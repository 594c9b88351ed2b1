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
    static bool load(SongListModel& list, const QStringList& captions, const QString& name = "ALL",
                     int mode = 0) {
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
            lib.addSong(title, {.count = count});
    }

private slots:
    void init() { gLastKey.clear(); }

    void fillsBothModesWithEveryCellForm() {
        TempLibrary lib;
        const int rock = lib.addGenre("Rock"), pop = lib.addGenre("Pop"), none = 1;
        lib.addSong("first", {.priority = 80,
                              .genres = {rock, pop, lib.addGenre("Jazz")},
                              .artist = lib.addArtist("Ann"),
                              .breakOut = true,
                              .volume = -300,
                              .count = 12});
        lib.addSong("second");
        // The genre text stops at the first genre that is none.
        for (auto [title, g1, g2, g3] : {std::tuple{"third", rock, pop, none},
                                         {"fourth", rock, none, pop},
                                         {"fifth", none, rock, pop}})
            lib.addSong(title, {.genres = {g1, g2, g3}});
        SongListModel list;
        // The count's caption in its full-width form: captions ignore width.
        QVERIFY(load(list, {"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "カウント", "優先度", "ﾌﾞﾚｰｸｱｳﾄ", "ﾄﾚﾝﾄﾞ",
                            "ﾎﾞﾘｭｰﾑ補正", "ﾌｧｲﾙﾊﾟｽ"}));
        QCOMPARE(keys(list), QStringList({"Key_1", "Key_2", "Key_3", "Key_4", "Key_5"}));
        QCOMPARE(row(list, 0), QStringList({"first", "Ann", "Rock/Pop/Jazz", "12", "80", "True",
                                            "False", "-300", lib.folder() + "/music/first.mp3"}));
        QCOMPARE(row(list, 1), QStringList({"second", "指定無し", "指定無し", "0", "50", "False",
                                            "False", "0", lib.folder() + "/music/second.mp3"}));
        // Genre names repeat from row to row: each is decided alike every time.
        QCOMPARE(column(list, 2),
                 QStringList({"Rock/Pop/Jazz", "指定無し", "Rock/Pop", "Rock", "指定無し"}));

        QVERIFY(lib.db().adoSetData(Write::AddAlbumSong, {"Mix", "3", "1"}));
        QVERIFY(lib.db().adoSetData(Write::AddAlbumSong, {"Mix", "1", "2"}));
        QVERIFY(load(list, {"曲名"}, "Mix", 1));
        QCOMPARE(column(list, 0), QStringList({"third", "first"}));
        QVERIFY(load(list, {"曲名"}, "no such album", 1));
        QCOMPARE(list.count(), 0);

        // An empty caption is skipped: the item text is the next column's.
        QVERIFY(load(list, {"", "曲名", "ｶｳﾝﾄ"}));
        QCOMPARE(row(list, 0), QStringList({"first", "12", ""}));
        QVERIFY(load(list, {"曲名", "作曲者", "ｶｳﾝﾄ"}));
        QCOMPARE(row(list, 0), QStringList({"first", "", "12"}));
        lib.db().adoxCreateQuery("SELECT ID, NULL AS タイトル, カウント FROM TM_曲情報",
                                 "Q_SetList_nulls");
        QVERIFY(load(list, {"曲名", "ｶｳﾝﾄ", "ｱｰﾃｨｽﾄ名"}, "nulls"));
        QCOMPARE(row(list, 0), QStringList({"", "12", ""}));
        // A read that fails says so and keeps the rows.
        ScriptedPresenter boxes;
        QVERIFY(!load(list, {"曲名", "ｶｳﾝﾄ", "ｱｰﾃｨｽﾄ名"}, "gone"));
        QCOMPARE(row(list, 0), QStringList({"", "12", ""}));
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
            QTest::addRow("%s up", caption) << QStringList{QString(caption) + " 0"} << up;
            QTest::addRow("%s down", caption) << QStringList{QString(caption) + " 1"} << down;
        }
        // Equal cells keep the order shown before, whatever sorted it.
        QTest::newRow("flag after title down")
            << QStringList{"曲名 1", "ﾌﾞﾚｰｸｱｳﾄ 0"} << QList<int>{3, 5, 6, 1, 8, 10, 4, 9, 2, 7};
        QTest::newRow("flag reversed") << QStringList{"曲名 1", "ﾌﾞﾚｰｸｱｳﾄ 0", "ﾌﾞﾚｰｸｱｳﾄ 1"}
                                       << QList<int>{4, 9, 2, 7, 3, 5, 6, 1, 8, 10};
        QTest::newRow("title after the flag")
            << QStringList{"曲名 1", "ﾌﾞﾚｰｸｱｳﾄ 0", "ﾌﾞﾚｰｸｱｳﾄ 1", "曲名 0"}
            << QList<int>{10, 7, 8, 2, 1, 6, 5, 9, 3, 4};
    }
    void everyColumnSortsAsText() {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, ids);
        TempLibrary lib;
        const int none = 1, rock = lib.addGenre("Rock"), pop = lib.addGenre("Pop"),
                  widePop = lib.addGenre("ＰＯＰ"), narrowRock = lib.addGenre("ﾛｯｸ"),
                  kanaRock = lib.addGenre("ロック");
        const int nobody = 1, ben = lib.addArtist("ben"), wideBen = lib.addArtist("Ｂｅｎ"),
                  ten = lib.addArtist("10"), narrowKana = lib.addArtist("ｶﾅ"),
                  kana = lib.addArtist("カナ"), hiragana = lib.addArtist("かな"),
                  empty = lib.addArtist(""), nine = lib.addArtist("9");
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
            lib.addSong(r.title, {.priority = r.priority,
                                  .genres = {r.genres[0], r.genres[1], r.genres[2]},
                                  .artist = r.artist,
                                  .breakOut = r.breakOut,
                                  .trend = r.trend,
                                  .volume = r.volume,
                                  .count = r.count});
        SongListModel list;
        const QStringList captions = {"曲名",     "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ",      "ｶｳﾝﾄ",   "優先度",
                                      "ﾌﾞﾚｰｸｱｳﾄ", "ﾄﾚﾝﾄﾞ",    "ﾎﾞﾘｭｰﾑ補正", "ﾌｧｲﾙﾊﾟｽ"};
        QVERIFY(load(list, captions));
        for (const QString& step : steps)
            list.setSort(true, int(captions.indexOf(step.section(' ', 0, 0))),
                         step.section(' ', 1).toInt());
        QStringList expected;
        for (int id : ids)
            expected << "Key_" + QString::number(id);
        QCOMPARE(keys(list), expected);
    }

    void storedSortIsRestored_data() {
        QTest::addColumn<QString>("stored"); // "ソート種別" and "ソート列"
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("sorted"); // the sort column
        // The stored pairing: "昇順" is order 1, "降順" order 0.
        QTest::newRow("昇順 1") << "昇順 1" << 1 << 1 << QStringList{"9", "100", "10"};
        QTest::newRow("降順 0") << "降順 0" << 0 << 0 << QStringList{"a", "b", "C"};
        QTest::newRow("column too large") << "昇順 2" << 0 << 1 << QStringList{"C", "b", "a"};
        QTest::newRow("column not a number") << "昇順 x" << 0 << 1 << QStringList{"C", "b", "a"};
        QTest::newRow("column negative") << "昇順 -1" << 0 << 1 << QStringList{"C", "b", "a"};
        QTest::newRow("unknown order") << "up 1" << 1 << 0 << QStringList{"10", "100", "9"};
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
            {"UPDATE TM_初期設定 SET 設定値 = CASE 設定情報 WHEN 'ソート種別' THEN '" +
             stored.section(' ', 0, 0) + "' WHEN 'ソート列' THEN '" + stored.section(' ', 1) +
             "' ELSE 設定値 END"}));
        SongListModel list;
        QVERIFY(load(list, {"曲名", "ｶｳﾝﾄ"}));
        lvSortList(list, -1);
        QCOMPARE(QList<int>({list.sorted(), list.sortKey(), list.sortOrder()}),
                 QList<int>({1, key, order}));
        QCOMPARE(column(list, key), sorted);
    }

    void clicksReverseTheOrderAndARefillKeepsTheSort() {
        TempLibrary lib;
        addThree(lib);
        SongListModel list;
        QVERIFY(load(list, {"ｶｳﾝﾄ", "曲名"}));
        lvSortList(list, -1); // a new library: "降順", column 0
        QCOMPARE(list.sortOrder(), 0);
        lvSortList(list, 1);
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(column(list, 1), QStringList({"C", "b", "a"}));
        lvSortList(list, 1);
        QCOMPARE(column(list, 1), QStringList({"a", "b", "C"}));
        // A click outside the columns still reverses the order.
        lvSortList(list, 5);
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(column(list, 1), QStringList({"C", "b", "a"}));
        // A refill comes back in the same sort, new rows in their places.
        lib.addSong("B2", {.count = 7});
        QVERIFY(load(list, {"ｶｳﾝﾄ", "曲名"}));
        QCOMPARE(QList<int>({list.sorted(), list.sortKey(), list.sortOrder()}),
                 QList<int>({1, 1, 1}));
        QCOMPARE(column(list, 1), QStringList({"C", "B2", "b", "a"}));
        // The first column is a column like any other: counts as text.
        lvSortList(list, 0);
        QCOMPARE(list.sortKey(), 0);
        QCOMPARE(column(list, 0), QStringList({"10", "100", "7", "9"}));
        // Sorting off, a refill shows query order.
        list.setSort(false, 0, 0);
        QVERIFY(load(list, {"ｶｳﾝﾄ", "曲名"}));
        QCOMPARE(column(list, 1), QStringList({"b", "a", "C", "B2"}));
    }

    // New columns: the sort stays on its column, wherever it now stands.
    void theSortFollowsItsColumn_data() {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("key");
        QTest::newRow("added in front") << QStringList{"優先度", "ｶｳﾝﾄ", "曲名"} << 2;
        QTest::newRow("moved") << QStringList{"曲名", "ｶｳﾝﾄ"} << 0;
        QTest::newRow("same") << QStringList{"ｶｳﾝﾄ", "曲名"} << 1;
        // Gone: the place, when there is still a column there.
        QTest::newRow("gone, place left") << QStringList{"ｶｳﾝﾄ", "優先度"} << 1;
        QTest::newRow("gone, no place") << QStringList{"ｶｳﾝﾄ"} << 0;
    }
    void theSortFollowsItsColumn() {
        QFETCH(QStringList, columns);
        QFETCH(int, key);
        TempLibrary lib;
        addThree(lib);
        SongListModel list;
        QVERIFY(load(list, {"ｶｳﾝﾄ", "曲名"}));
        list.setSort(true, 1, 1);
        QVERIFY(load(list, columns));
        QCOMPARE(QList<int>({list.sorted(), list.sortKey(), list.sortOrder()}),
                 QList<int>({1, key, 1}));
        if (columns[key] == u"曲名")
            QCOMPARE(column(list, key), QStringList({"C", "b", "a"}));
    }

    void rewritingARowWithAndWithoutSkip() {
        SongListModel list;
        listrows::fill(
            list, {"曲名", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ", "謎"},
            {{"b", "9", "/b.mp3", ""}, {"a", "10", "/a.mp3", ""}, {"C", "100", "/C.mp3", ""}});
        list.setSort(true, 0, 0); // a, b, C
        Song song;
        song.setKeyString("1");
        song.setTitle("z");
        song.setFilePath("/new.mp3");
        song.setCount(5);
        lvSetSongItem(song, list, true);
        QCOMPARE(row(list, 1), QStringList({"b", "5", "/b.mp3", ""}));
        song.setKeyString("Key_1");
        lvSetSongItem(song, list, false);
        // The rewritten row moves to its sorted place.
        QCOMPARE(keys(list), QStringList({"Key_2", "Key_3", "Key_1"}));
        QCOMPARE(row(list, 2), QStringList({"z", "5", "/new.mp3", ""}));
        // A song that is not in the list changes nothing.
        song.setKeyString("99");
        lvSetSongItem(song, list, false);
        QCOMPARE(column(list, 0), QStringList({"a", "C", "z"}));
    }

    // Many rows rewritten at once land where one at a time would put them:
    // sorted, and after the rows whose cell they now equal.
    void rewritingManyRowsKeepsTheListSorted() {
        SongListModel list;
        listrows::fill(
            list, {"曲名", "優先度"},
            {{"t1", "5"}, {"t2", "3"}, {"t3", "1"}, {"t4", "3"}, {"t5", "9"}, {"t6", "0"}});
        list.setSort(true, 1, 0);
        QCOMPARE(keys(list), QStringList({"Key_6", "Key_3", "Key_2", "Key_4", "Key_1", "Key_5"}));
        const auto rewrite = [&](std::initializer_list<std::pair<const char*, int>> edits,
                                 bool skip) {
            std::vector<Song> songs;
            for (auto [key, priority] : edits) {
                Song& song = songs.emplace_back();
                song.setKeyString(key);
                song.setTitle("new");
                song.setPriority(priority);
            }
            lvSetSongItems(songs, list, skip);
        };
        QSignalSpy layouts(&list, &QAbstractItemModel::layoutChanged);
        rewrite({{"5", 3}, {"6", 3}, {"Key_1", 2}, {"3", 1}, {"9", 0}}, true);
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(keys(list), QStringList({"Key_3", "Key_1", "Key_2", "Key_4", "Key_6", "Key_5"}));
        QCOMPARE(column(list, 1), QStringList({"1", "2", "3", "3", "3", "3"}));
        QCOMPARE(column(list, 0), QStringList({"t3", "t1", "t2", "t4", "t6", "t5"}));

        // Descending, and without skipping the titles.
        list.setSort(true, 1, 1);
        rewrite({{"3", 4}, {"2", 0}}, false);
        QCOMPARE(column(list, 1), QStringList({"4", "3", "3", "3", "2", "0"}));
        QCOMPARE(keys(list), QStringList({"Key_3", "Key_4", "Key_6", "Key_5", "Key_1", "Key_2"}));
        QCOMPARE(list.cell("Key_3", 0), "new");

        // Unsorted, the rows stay where they are.
        list.setSort(false, 1, 0);
        rewrite({{"Key_2", 9}}, false);
        QCOMPARE(keys(list).last(), "Key_2");
        QCOMPARE(list.cell("Key_2", 1), "9");
    }

    // Letters beyond ASCII fold as well (Greek, and Deseret, whose letters
    // take two units); cells that differ only past their first eight units,
    // or share a start that is a whole cell, still sort by the rest.
    void foldedOrderReachesEveryLetterAndUnit_data() {
        QTest::addColumn<QStringList>("cells"); // Key_1, Key_2, ... in turn
        QTest::addColumn<QStringList>("up");
        QTest::addColumn<QStringList>("down");
        // ψ U+03C8 < ω U+03C9, where Ω U+03A9 would come first unfolded.
        QTest::newRow("greek") << QStringList{"Ω", "ψ", "α"}
                               << QStringList{"Key_3", "Key_2", "Key_1"}
                               << QStringList{"Key_1", "Key_2", "Key_3"};
        // 𐐀 folds to 𐐨 (both D801, then DC00 and DC28): "𐐨a" < "𐐀b",
        // the other way round unfolded; both after ω, before full width.
        QTest::newRow("two units")
            << QStringList{"𐐀b", "ｚ", "𐐨a", "Ω"} << QStringList{"Key_4", "Key_3", "Key_1", "Key_2"}
            << QStringList{"Key_2", "Key_1", "Key_3", "Key_4"};
        QTest::newRow("past eight units")
            << QStringList{"abcdefghXY1", "ABCDEFGHxy0", "zz"}
            << QStringList{"Key_2", "Key_1", "Key_3"} << QStringList{"Key_3", "Key_1", "Key_2"};
        QTest::newRow("a start every cell shares")
            << QStringList{"/music/AB/x9", "/music/ab/x10", "/music/ab/x", "/music/aB"}
            << QStringList{"Key_4", "Key_3", "Key_2", "Key_1"}
            << QStringList{"Key_1", "Key_2", "Key_3", "Key_4"};
        QTest::newRow("equal when folded")
            << QStringList{"same", "SAME", "ｓａｍｅ"} << QStringList{"Key_1", "Key_2", "Key_3"}
            << QStringList{"Key_3", "Key_1", "Key_2"};
    }

    void foldedOrderReachesEveryLetterAndUnit() {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, up);
        QFETCH(QStringList, down);
        QList<QStringList> rows;
        for (const QString& cell : cells)
            rows << QStringList{cell};
        SongListModel list;
        listrows::fill(list, {"曲名"}, rows);
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
        QTest::newRow("a shared start") << QString("/音楽/Ａ/");
    }
    void aLongColumnSortsAsAShortOneDoes() {
        QFETCH(QString, start);
        const QList<QString> letters = {"a",  "A",  "ａ", "Ａ", "b", "ｶ",
                                        "カ", "か", "1",  "１", "9", ""};
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
            up << "Key_" + QString::number(i + 1);
        SongListModel list;
        listrows::fill(list, {"曲名"}, rows);
        list.setSort(true, 0, 0);
        QCOMPARE(keys(list), up);
    }

    void nextKeyFollowsDisplayOrder() {
        SongListModel list;
        listrows::fill(list, {"曲名"}, {{"b"}, {"a"}, {"C"}});
        const auto next = [&] {
            QString key;
            return lvGetNextKey(list, key) ? key : "<none>";
        };
        QCOMPARE(next(), "Key_1");
        lvSetLastKey("Key_1");
        QCOMPARE(next(), "Key_2");
        lvSetLastKey("Key_3");
        QCOMPARE(next(), "<none>"); // no wrap-around
        lvSetLastKey("Key_42");
        QCOMPARE(next(), "<none>");
        list.setSort(true, 0, 0); // a, b, C = Key_2, Key_1, Key_3
        lvSetLastKey("Key_2");
        QCOMPARE(next(), "Key_1");
        lvResetLastKey();
        QCOMPARE(next(), "Key_2");
    }

    void insertRemoveAppendAndMove() {
        SongListModel list;
        listrows::fill(list, {"name"}, {{"one"}, {"three"}});
        QVERIFY(list.insertItem(1, "k2", {"two"}));
        QVERIFY(!list.insertItem(0, "k2", {"again"}));
        QVERIFY(list.insertItem(-1, "k4", {"four"}));
        QVERIFY(list.removeItem("Key_1"));
        QVERIFY(!list.removeItem("Key_1"));
        QCOMPARE(keys(list), QStringList({"k2", "Key_2", "k4"}));
        QCOMPARE(list.position("Key_1"), -1);
        QVERIFY(list.insertItem(0, "Key_1", {"one"}));
        // A key already there is skipped.
        QCOMPARE(list.appendItems({{"k5", {"five"}}, {"k2", {"again"}}}), 1);
        QCOMPARE(list.appendItems({}), 0);
        QCOMPARE(column(list, 0), QStringList({"one", "two", "three", "four", "five"}));
        QCOMPARE(list.item("k5").cell(0), QStringView(u"five"));
        QVERIFY(list.item("k9").key.isEmpty());
        QVERIFY(list.moveItem(0, 4));
        QVERIFY(list.moveItem(4, 1));
        QCOMPARE(keys(list), QStringList({"k2", "Key_1", "Key_2", "k4", "k5"}));
        QVERIFY(!list.moveItem(-1, 0));
        QVERIFY(!list.moveItem(0, 5));
        // While sorted, rows have no hand order: no move, and inserts and
        // appends go to their sorted places.
        list.setSort(true, 0, 0);
        QVERIFY(!list.moveItem(0, 1));
        QVERIFY(list.insertItem(0, "k6", {"six"}));
        QCOMPARE(list.appendItems({{"k7", {"seven"}}}), 1);
        QCOMPARE(column(list, 0),
                 QStringList({"five", "four", "one", "seven", "six", "three", "two"}));
        // A cell cannot carry the separator of cells.
        QVERIFY(list.setCells("k6", {QString("a") + QChar(0) + "b"}));
        QCOMPARE(list.cell("k6", 0), "ab");
    }
};

QTEST_GUILESS_MAIN(TestSongList)
#include "tst_songlist.moc"
