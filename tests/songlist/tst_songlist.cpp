// Filling, sorting, rewriting and walking a song list against a real
// library database.

#include "data/song.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songlistmodel.h"
#include "songlist/songrows.h"
#include "templibrary.h"

#include <QSignalSpy>
#include <QTest>

class TestSongList : public QObject {
    Q_OBJECT

    // Row texts of one column in display order.
    static QStringList column(const SongListModel& list, int c) {
        QStringList out;
        for (int p = 0; p < list.count(); ++p)
            out << list.cell(list.keyAt(p), c);
        return out;
    }
    static QStringList keys(const SongListModel& list) {
        QStringList out;
        for (int p = 0; p < list.count(); ++p)
            out << list.keyAt(p);
        return out;
    }
    static void setStoredSort(TempLibrary& lib, const QString& kind, const QString& column) {
        // Written directly: write 53 refuses a non-numeric column.
        lib.db().adoSetData(46, {"UPDATE TM_初期設定 SET 設定値 = " + sqlQuote(kind) +
                                 " WHERE 設定情報 = 'ソート種別'"});
        lib.db().adoSetData(46, {"UPDATE TM_初期設定 SET 設定値 = " + sqlQuote(column) +
                                 " WHERE 設定情報 = 'ソート列'"});
    }
    static QString sqlQuote(QString s) { return "'" + s.replace("'", "''") + "'"; }

private slots:
    void init() { gLastKey.clear(); }

    void genreText_data() {
        QTest::addColumn<QString>("g1");
        QTest::addColumn<QString>("g2");
        QTest::addColumn<QString>("g3");
        QTest::addColumn<QString>("cell");
        const QString none = QStringLiteral("指定無し");
        QTest::newRow("first none") << none << "B"
                                    << "C" << none;
        QTest::newRow("second none") << "A" << none << "C"
                                     << "A";
        QTest::newRow("third none") << "A"
                                    << "B" << none << "A/B";
        QTest::newRow("all set") << "A"
                                 << "B"
                                 << "C"
                                 << "A/B/C";
        QTest::newRow("all none") << none << none << none << none;
    }
    void genreText() {
        QFETCH(QString, g1);
        QFETCH(QString, g2);
        QFETCH(QString, g3);
        QFETCH(QString, cell);
        QCOMPARE(songrows::genreText(g1, g2, g3), cell);
    }

    void captionsIgnoreCaseAndWidth_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("cell");
        QTest::newRow("half-width") << QStringLiteral("ｶｳﾝﾄ") << int(songrows::Cell::Count);
        QTest::newRow("full-width") << QStringLiteral("カウント") << int(songrows::Cell::Count);
        QTest::newRow("title") << QStringLiteral("曲名") << int(songrows::Cell::Title);
        QTest::newRow("empty") << QString() << int(songrows::Cell::Skip);
        QTest::newRow("unknown") << QStringLiteral("作曲者") << int(songrows::Cell::Other);
    }
    void captionsIgnoreCaseAndWidth() {
        QFETCH(QString, caption);
        QFETCH(int, cell);
        QCOMPARE(int(songrows::cellOf(caption)), cell);
    }

    void fillsSetListWithEveryCellForm() {
        TempLibrary lib;
        const int rock = lib.addGenre("Rock");
        const int pop = lib.addGenre("Pop");
        const int ann = lib.addArtist("Ann");
        TempLibrary::Fields f;
        f.genres[0] = rock;
        f.genres[1] = pop;
        f.artist = ann;
        f.count = 12;
        f.priority = 80;
        f.breakOut = true;
        f.volume = -300;
        lib.addSong("first", f);
        lib.addSong("second");
        SongListModel list;
        list.setColumns({"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌﾞﾚｰｸｱｳﾄ", "ﾄﾚﾝﾄﾞ",
                         "ﾎﾞﾘｭｰﾑ補正", "ﾌｧｲﾙﾊﾟｽ"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        QCOMPARE(keys(list), QStringList({"Key_1", "Key_2"}));
        QCOMPARE(list.cell("Key_1", 0), QStringLiteral("first"));
        QCOMPARE(list.cell("Key_1", 1), QStringLiteral("Ann"));
        QCOMPARE(list.cell("Key_1", 2), QStringLiteral("Rock/Pop"));
        QCOMPARE(list.cell("Key_1", 3), QStringLiteral("12"));
        QCOMPARE(list.cell("Key_1", 4), QStringLiteral("80"));
        QCOMPARE(list.cell("Key_1", 5), QStringLiteral("True"));
        QCOMPARE(list.cell("Key_1", 6), QStringLiteral("False"));
        QCOMPARE(list.cell("Key_1", 7), QStringLiteral("-300"));
        QCOMPARE(list.cell("Key_1", 8), lib.folder() + "/music/first.mp3");
        QCOMPARE(list.cell("Key_2", 2), QStringLiteral("指定無し"));
        QCOMPARE(list.data(list.index(1, 1)).toString(), QStringLiteral("指定無し"));
    }

    void songsSharingGenresShowTheSameGenreText() {
        // Genre names repeat from row to row: each later row must show what
        // the first one did, for a set genre and for the "none" entry alike.
        TempLibrary lib;
        const int rock = lib.addGenre("Rock");
        const int pop = lib.addGenre("Pop");
        TempLibrary::Fields both;
        both.genres[0] = rock;
        both.genres[1] = pop;
        TempLibrary::Fields rockOnly;
        rockOnly.genres[0] = rock;
        lib.addSong("one", both);
        lib.addSong("two", both);
        lib.addSong("three", rockOnly);
        lib.addSong("four");
        lib.addSong("five");
        SongListModel list;
        list.setColumns({"曲名", "ｼﾞｬﾝﾙ"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        QCOMPARE(column(list, 1),
                 QStringList({"Rock/Pop", "Rock/Pop", "Rock", "指定無し", "指定無し"}));
    }

    void emptyCaptionIsSkippedAndUnknownCaptionKeepsItsPlace() {
        TempLibrary lib;
        TempLibrary::Fields f;
        f.count = 7;
        lib.addSong("song", f);
        SongListModel list;
        list.setColumns({"", "曲名", "ｶｳﾝﾄ"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        // The item text comes from the first column that is not skipped.
        QCOMPARE(list.cell("Key_1", 0), QStringLiteral("song"));
        QCOMPARE(list.cell("Key_1", 1), QStringLiteral("7"));
        QCOMPARE(list.cell("Key_1", 2), QString());

        list.setColumns({"曲名", "作曲者", "ｶｳﾝﾄ"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        QCOMPARE(list.cell("Key_1", 1), QString());
        QCOMPARE(list.cell("Key_1", 2), QStringLiteral("7"));
    }

    void nullFieldsShowEmpty() {
        TempLibrary lib;
        lib.addSong("song");
        lib.db().adoxCreateQuery("SELECT ID, NULL AS タイトル, カウント FROM TM_曲情報",
                                 "Q_SetList_nulls");
        SongListModel list;
        list.setColumns({"曲名", "ｶｳﾝﾄ", "ｱｰﾃｨｽﾄ名"});
        QVERIFY(lvSetSongList(0, "nulls", list));
        QCOMPARE(list.cell("Key_1", 0), QString());
        QCOMPARE(list.cell("Key_1", 1), QStringLiteral("0"));
        QCOMPARE(list.cell("Key_1", 2), QString());
    }

    void albumModeFollowsTrackOrder() {
        TempLibrary lib;
        for (const char* t : {"a", "b", "c"})
            lib.addSong(t);
        lib.db().adoSetData(22, {"Mix", "3", "1"});
        lib.db().adoSetData(22, {"Mix", "1", "2"});
        SongListModel list;
        list.setColumns({"曲名"});
        QVERIFY(lvSetSongList(1, "Mix", list));
        QCOMPARE(column(list, 0), QStringList({"c", "a"}));
        QVERIFY(lvSetSongList(1, "no such album", list));
        QCOMPARE(list.count(), 0);
    }

    void failedReadKeepsTheRows() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        lib.addSong("a");
        SongListModel list;
        list.setColumns({"曲名"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        QVERIFY(!lvSetSongList(0, "gone", list));
        QCOMPARE(column(list, 0), QStringList({"a"}));
        QCOMPARE(boxes.boxes().size(), 1);
    }

    void storedSortIsRestored_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("order");
        // The stored pairing: "昇順" is order 1, "降順" order 0.
        QTest::newRow("昇順 1") << "昇順"
                                << "1" << 1 << 1;
        QTest::newRow("降順 0") << "降順"
                                << "0" << 0 << 0;
        QTest::newRow("column too large") << "昇順"
                                          << "2" << 0 << 1;
        QTest::newRow("column not a number") << "昇順"
                                             << "x" << 0 << 1;
        QTest::newRow("column negative") << "昇順"
                                         << "-1" << 0 << 1;
        QTest::newRow("unknown order") << "up"
                                       << "1" << 1 << 0;
    }
    void storedSortIsRestored() {
        QFETCH(QString, kind);
        QFETCH(QString, column);
        QFETCH(int, key);
        QFETCH(int, order);
        TempLibrary lib;
        TempLibrary::Fields f;
        f.count = 9;
        lib.addSong("b", f);
        f.count = 10;
        lib.addSong("a", f);
        f.count = 100;
        lib.addSong("C", f);
        setStoredSort(lib, kind, column);
        SongListModel list;
        list.setColumns({"曲名", "ｶｳﾝﾄ"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        lvSortList(list, -1);
        QVERIFY(list.sorted());
        QCOMPARE(list.sortKey(), key);
        QCOMPARE(list.sortOrder(), order);
        // Cells compare as text ignoring case: "10" < "100" < "9", "a" < "b" < "C".
        const QStringList ascending =
            key == 1 ? QStringList({"10", "100", "9"}) : QStringList({"a", "b", "C"});
        QStringList expected = ascending;
        if (order == 1)
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(this->column(list, key), expected);
    }

    void clicksReverseTheOrderEveryTime() {
        TempLibrary lib;
        TempLibrary::Fields f;
        f.count = 2;
        lib.addSong("b", f);
        f.count = 10;
        lib.addSong("a", f);
        f.count = 1;
        lib.addSong("c", f);
        SongListModel list;
        list.setColumns({"ｶｳﾝﾄ", "曲名"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        lvSortList(list, -1); // a new library: "降順", column 0
        QCOMPARE(list.sortOrder(), 0);
        lvSortList(list, 1);
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(list.sortOrder(), 1);
        QCOMPARE(column(list, 1), QStringList({"c", "b", "a"}));
        lvSortList(list, 1);
        QCOMPARE(column(list, 1), QStringList({"a", "b", "c"}));
        // A click outside the columns still reverses the order.
        lvSortList(list, 5);
        QCOMPARE(list.sortKey(), 1);
        QCOMPARE(column(list, 1), QStringList({"c", "b", "a"}));
        // The first column is a column like any other: counts as text.
        lvSortList(list, 0);
        QCOMPARE(list.sortKey(), 0);
        QCOMPARE(list.sortOrder(), 0);
        QCOMPARE(column(list, 0), QStringList({"1", "10", "2"}));
    }

    void refillShowsQueryOrderAndKeepsSortState() {
        TempLibrary lib;
        for (const char* t : {"b", "a", "c"})
            lib.addSong(t);
        SongListModel list;
        list.setColumns({"曲名"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        lvSortList(list, 0);
        QCOMPARE(column(list, 0), QStringList({"c", "b", "a"}));
        QVERIFY(lvSetSongList(0, "ALL", list));
        QVERIFY(!list.sorted());
        QCOMPARE(list.sortOrder(), 1);
        QCOMPARE(column(list, 0), QStringList({"b", "a", "c"}));
        lvSortList(list, 0);
        QCOMPARE(column(list, 0), QStringList({"a", "b", "c"}));
    }

    void rewritingARowWithAndWithoutSkip() {
        TempLibrary lib;
        lib.addSong("old");
        lib.addSong("other");
        SongListModel list;
        list.setColumns({"曲名", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ", "謎"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        const QString path = list.cell("Key_1", 2);
        Song song;
        song.setKeyString("1");
        song.setTitle("new");
        song.setFilePath("/new.mp3");
        song.setCount(5);
        lvSetSongItem(song, list, true);
        QCOMPARE(list.cell("Key_1", 0), QStringLiteral("old"));
        QCOMPARE(list.cell("Key_1", 1), QStringLiteral("5"));
        QCOMPARE(list.cell("Key_1", 2), path);
        song.setKeyString("Key_1");
        lvSetSongItem(song, list, false);
        QCOMPARE(list.cell("Key_1", 0), QStringLiteral("new"));
        QCOMPARE(list.cell("Key_1", 2), QStringLiteral("/new.mp3"));
        QCOMPARE(list.cell("Key_2", 0), QStringLiteral("other"));
        // A song that is not in the list changes nothing.
        song.setKeyString("99");
        lvSetSongItem(song, list, false);
        QCOMPARE(list.count(), 2);
    }

    void rewrittenRowMovesToItsSortedPlace() {
        TempLibrary lib;
        for (const char* t : {"a", "b", "c"})
            lib.addSong(t);
        SongListModel list;
        list.setColumns({"曲名", "ｶｳﾝﾄ"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        list.setSort(true, 0, 0);
        Song song;
        song.setKeyString("1");
        song.setTitle("z");
        lvSetSongItem(song, list, false);
        QCOMPARE(column(list, 0), QStringList({"b", "c", "z"}));
        QCOMPARE(list.position("Key_1"), 2);
    }

    // Many rows rewritten at once land where one at a time would put them:
    // sorted, and after the rows whose cell they now equal.
    void rewritingManyRowsKeepsTheListSorted() {
        SongListModel list;
        list.setColumns({"曲名", "優先度"});
        const char* priorities[] = {"5", "3", "1", "3", "9", "0"};
        for (int i = 0; i < 6; ++i)
            list.insertItem(-1, QString("Key_%1").arg(i + 1),
                            {QString("t%1").arg(i + 1), priorities[i]});
        list.setSort(true, 1, 0);
        QCOMPARE(keys(list), QStringList({"Key_6", "Key_3", "Key_2", "Key_4", "Key_1", "Key_5"}));
        QSignalSpy layouts(&list, &QAbstractItemModel::layoutChanged);
        std::vector<Song> songs(5);
        const char* edits[][2] = {{"5", "3"}, {"6", "3"}, {"Key_1", "2"}, {"3", "1"}, {"9", "0"}};
        for (int i = 0; i < 5; ++i) {
            songs[size_t(i)].setKeyString(edits[i][0]);
            songs[size_t(i)].setTitle("new");
            songs[size_t(i)].setPriority(QString(edits[i][1]).toInt());
        }
        lvSetSongItems(songs, list, true);
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(keys(list), QStringList({"Key_3", "Key_1", "Key_2", "Key_4", "Key_6", "Key_5"}));
        QCOMPARE(column(list, 1), QStringList({"1", "2", "3", "3", "3", "3"}));
        QCOMPARE(column(list, 0), QStringList({"t3", "t1", "t2", "t4", "t6", "t5"}));
        QCOMPARE(list.count(), 6); // Key_9 is not in the list

        // Descending, and without skipping the titles.
        list.setSort(true, 1, 1);
        songs.resize(2);
        songs[0].setKeyString("3");
        songs[0].setPriority(4);
        songs[1].setKeyString("2");
        songs[1].setPriority(0);
        lvSetSongItems(songs, list, false);
        QCOMPARE(column(list, 1), QStringList({"4", "3", "3", "3", "2", "0"}));
        QCOMPARE(keys(list), QStringList({"Key_3", "Key_4", "Key_6", "Key_5", "Key_1", "Key_2"}));
        QCOMPARE(list.cell("Key_3", 0), QStringLiteral("new"));

        // Unsorted, the rows stay where they are.
        list.setSort(false, 1, 0);
        songs.resize(1);
        songs[0].setKeyString("Key_2");
        songs[0].setPriority(9);
        lvSetSongItems(songs, list, false);
        QCOMPARE(keys(list).last(), QStringLiteral("Key_2"));
        QCOMPARE(list.cell("Key_2", 1), QStringLiteral("9"));
    }

    void nextKeyFollowsDisplayOrder() {
        TempLibrary lib;
        for (const char* t : {"b", "a", "c"})
            lib.addSong(t);
        SongListModel list;
        list.setColumns({"曲名"});
        QVERIFY(lvSetSongList(0, "ALL", list));
        QString key;
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_1"));
        lvSetLastKey(key);
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_2"));
        lvSetLastKey("Key_3");
        QVERIFY(!lvGetNextKey(list, key)); // no wrap-around
        lvSetLastKey("Key_42");
        QVERIFY(!lvGetNextKey(list, key));
        list.setSort(true, 0, 0); // a, b, c = Key_2, Key_1, Key_3
        lvSetLastKey("Key_2");
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_1"));
        lvResetLastKey();
        QVERIFY(gLastKey.isEmpty());
        QVERIFY(lvGetNextKey(list, key));
        QCOMPARE(key, QStringLiteral("Key_2"));
    }

    void insertAndRemoveKeepPositions() {
        SongListModel list;
        list.setColumns({"name"});
        QVERIFY(list.insertItem(-1, "k1", {"one"}));
        QVERIFY(list.insertItem(-1, "k3", {"three"}));
        QVERIFY(list.insertItem(1, "k2", {"two"}));
        QVERIFY(!list.insertItem(0, "k2", {"again"}));
        QCOMPARE(keys(list), QStringList({"k1", "k2", "k3"}));
        QVERIFY(list.removeItem("k1"));
        QVERIFY(!list.removeItem("k1"));
        QCOMPARE(list.position("k3"), 1);
        QCOMPARE(list.position("k1"), -1);
        QVERIFY(list.insertItem(0, "k1", {"one"}));
        QCOMPARE(keys(list), QStringList({"k1", "k2", "k3"}));
        // While sorted, an insert goes to its sorted place.
        list.setSort(true, 0, 0);
        QVERIFY(list.insertItem(0, "k4", {"six"}));
        QCOMPARE(column(list, 0), QStringList({"one", "six", "three", "two"}));
        // A cell cannot carry the separator of cells.
        QVERIFY(list.setCells("k4", {QString("a") + QChar(0) + "b"}));
        QCOMPARE(list.cell("k4", 0), QStringLiteral("ab"));
    }

    void appendAndMoveRows() {
        SongListModel list;
        list.setColumns({"name"});
        QVERIFY(list.insertItem(-1, "k1", {"one"}));
        std::vector<SongListItem> more;
        more.emplace_back("k2", QStringList{"two"});
        more.emplace_back("k1", QStringList{"again"}); // already there: skipped
        more.emplace_back("k3", QStringList{"three"});
        QCOMPARE(list.appendItems(std::move(more)), 2);
        QCOMPARE(keys(list), QStringList({"k1", "k2", "k3"}));
        QCOMPARE(list.cell("k1", 0), QStringLiteral("one"));
        QCOMPARE(list.item("k3").cell(0), QStringView(u"three"));
        QVERIFY(list.item("k9").key.isEmpty());
        QCOMPARE(list.appendItems({}), 0);

        QVERIFY(list.moveItem(0, 2));
        QCOMPARE(keys(list), QStringList({"k2", "k3", "k1"}));
        QCOMPARE(list.position("k1"), 2);
        QCOMPARE(list.position("k2"), 0);
        QVERIFY(list.moveItem(2, 1));
        QCOMPARE(keys(list), QStringList({"k2", "k1", "k3"}));
        QCOMPARE(list.position("k3"), 2);
        QVERIFY(!list.moveItem(-1, 0));
        QVERIFY(!list.moveItem(0, 3));
        // While sorted, rows have no hand order: no move, appends go to
        // their sorted places.
        list.setSort(true, 0, 0);
        QVERIFY(!list.moveItem(0, 1));
        more.clear();
        more.emplace_back("k4", QStringList{"four"});
        QCOMPARE(list.appendItems(std::move(more)), 1);
        QCOMPARE(column(list, 0), QStringList({"four", "one", "three", "two"}));
    }
};

QTEST_GUILESS_MAIN(TestSongList)
#include "tst_songlist.moc"
