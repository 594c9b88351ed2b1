// The report view over a song list: columns from the display settings,
// selection in display order, row height, the header.

#include "listrows.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class TestSongListView : public QObject {
    Q_OBJECT

private slots:
    void columnsAndWidthsComeFromDisplaySettings_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("pixels");
        // At 96 DPI: 1500 twips (the default) are 100 pixels, 3000 are 200.
        QTest::newRow("number") << "3000" << 200;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("text") << "'wide'" << 100;
        QTest::newRow("negative") << "-1" << 100;
        QTest::newRow("infinite") << "1e999" << 100;
    }
    void columnsAndWidthsComeFromDisplaySettings() {
        QFETCH(QString, stored);
        QFETCH(int, pixels);
        TempLibrary lib;
        lib.showColumns({QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")});
        QVERIFY(
            lib.db().adoSetData(Write::RunSql, {QStringLiteral("UPDATE TM_表示項目 SET 幅 = ") +
                                                stored + QStringLiteral(" WHERE 列名 = 'ｶｳﾝﾄ'")}));
        SongListView view;
        QCOMPARE(view.logicalDpiX(), 96);
        QVERIFY(lvSetColumns(view));
        QCOMPARE(view.songs().captions(),
                 QStringList({QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("曲名")}));
        QCOMPARE(view.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("曲名"));
        QCOMPARE(view.columnWidth(0), pixels);
        QCOMPARE(view.columnWidthTwips(0), pixels * 15.0); // what shutdown stores
        QCOMPARE(view.columnWidth(1), 240);                // 3600 twips
        // A read that fails says so and keeps the columns.
        ScriptedPresenter boxes;
        QVERIFY(lib.db().adoSetData(Write::RunSql, {QStringLiteral("DROP TABLE TM_表示項目")}));
        QVERIFY(!lvSetColumns(view));
        QCOMPARE(view.songs().captions().size(), 2);
        QCOMPARE(boxes.boxes().size(), 1);
    }

    void rowHeightComesFromTheFontNotTheFirstRow() {
        const QString japanese = QString::fromUtf16(u"日本語の曲");
        SongListView view;
        listrows::fill(view.songs(), {QStringLiteral("曲名")},
                       {{QStringLiteral("abc")}, {japanese}});
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int latinFirst = view.visualRect(view.songs().index(1, 0)).height();
        view.songs().setSort(true, 0, 1); // descending: the Japanese title first
        QCOMPARE(view.songs().cellAt(0, 0), japanese);
        const int japaneseFirst = view.visualRect(view.songs().index(1, 0)).height();
        QCOMPARE(latinFirst, japaneseFirst);
        // Tall enough for a line of Japanese in the list's font.
        QLabel line(japanese);
        line.setFont(view.font());
        QCOMPARE_GE(japaneseFirst, line.sizeHint().height());
    }

    void selectedKeysAreInDisplayOrder() {
        SongListView view;
        listrows::fill(view.songs(), {QStringLiteral("曲名")},
                       {{QStringLiteral("b")},
                        {QStringLiteral("a")},
                        {QStringLiteral("c")},
                        {QStringLiteral("d")}});
        // The selected keys (untouched when there are none), then the selected key.
        const auto selection = [&] {
            QStringList keys = {QStringLiteral("untouched")};
            lvGetSelectedKeys(view, keys);
            return keys.join(u',') + QStringLiteral(" / ") + lvGetSelectedKey(view);
        };
        QCOMPARE(selection(), QStringLiteral("untouched / "));
        QVERIFY(view.selectKey(QStringLiteral("Key_3")));
        QVERIFY(view.selectKey(QStringLiteral("Key_1"), true));
        QVERIFY(view.selectKey(QStringLiteral("Key_2"), true));
        QVERIFY(!view.selectKey(QStringLiteral("Key_9"), true));
        QCOMPARE(selection(), QStringLiteral("Key_1,Key_2,Key_3 / Key_2"));
        // Sorting moves the selection with its rows: a, b, c = Key_2, Key_1, Key_3.
        view.songs().setSort(true, 0, 0);
        QCOMPARE(selection(), QStringLiteral("Key_2,Key_1,Key_3 / Key_2"));
        // The focused row unselected: the first selected row is the selection.
        view.selectionModel()->select(view.songs().index(0, 0),
                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        QCOMPARE(selection(), QStringLiteral("Key_1,Key_3 / Key_1"));
        QVERIFY(view.selectKey(QStringLiteral("Key_4")));
        QCOMPARE(selection(), QStringLiteral("Key_4 / Key_4"));
        view.setMultiSelect(false);
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
    }

    void headerShowsTheSortAndClicksAreSignalled() {
        SongListView view;
        listrows::fill(view.songs(), {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ")},
                       {{QStringLiteral("a"), QStringLiteral("1")}});
        QVERIFY(!view.header()->isSortIndicatorShown());
        view.songs().setSort(true, 1, 1);
        QVERIFY(view.header()->isSortIndicatorShown());
        QCOMPARE(view.header()->sortIndicatorSection(), 1);
        QCOMPARE(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
        // Refilled, the rows come back in the sort the header shows.
        listrows::fill(view.songs(), {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ")},
                       {{QStringLiteral("a"), QStringLiteral("1")},
                        {QStringLiteral("b"), QStringLiteral("2")}});
        QCOMPARE(listrows::column(view.songs(), 1),
                 QStringList({QStringLiteral("2"), QStringLiteral("1")}));
        QVERIFY(view.header()->isSortIndicatorShown());
        QCOMPARE(view.header()->sortIndicatorSection(), 1);
        QCOMPARE(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);

        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy clicks(&view, &SongListView::columnClicked);
        QHeaderView* header = view.header();
        const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.front().front().toInt(), 1);

        QSignalSpy doubles(&view, &SongListView::itemDoubleClicked);
        const QRect row = view.visualRect(view.songs().index(0, 0));
        // A double click follows a press on the same row, as a real one does.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(doubles.size(), 1);
        QCOMPARE(doubles.front().front().toString(), QStringLiteral("Key_2")); // "b", sorted first
    }
};

QTEST_MAIN(TestSongListView)
#include "tst_songlistview.moc"
