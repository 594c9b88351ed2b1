// The report view over a song list: columns from the display settings,
// selection in display order, header clicks, fitting to the window.

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
    void twipsAndPixels() {
        QCOMPARE(twipsToPixels(3600, 96), 240);
        QCOMPARE(twipsToPixels(15, 96), 1);
        QCOMPARE(pixelsToTwips(240, 96), 3600.0);
        QCOMPARE(twipsToPixels(1440, 120), 120);
    }

    void columnsComeFromDisplaySettings() {
        TempLibrary lib;
        SongListView view;
        QVERIFY(lvSetColumns(view));
        QCOMPARE(view.songs().captions(),
                 QStringList({"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"}));
        QCOMPARE(view.logicalDpiX(), 96); // 15 twips a pixel
        QCOMPARE(view.columnWidth(0), 240);
        QCOMPARE(view.columnWidth(5), 400);
        QCOMPARE(view.columnWidthTwips(0), 3600.0);

        lib.showColumns({"ﾄﾚﾝﾄﾞ", "曲名"});
        QVERIFY(lvSetColumns(view));
        QCOMPARE(view.songs().captions(), QStringList({"ﾄﾚﾝﾄﾞ", "曲名"}));
        QCOMPARE(view.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("曲名"));
    }

    void unusableStoredWidthsGetTheDefault_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("pixels");
        // At 96 DPI: 1500 twips (the default) are 100 pixels, 3000 are 200.
        QTest::newRow("number") << "3000" << 200;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("text") << "'wide'" << 100;
        QTest::newRow("negative") << "-1" << 100;
        QTest::newRow("infinite") << "1e999" << 100;
    }
    void unusableStoredWidthsGetTheDefault() {
        QFETCH(QString, stored);
        QFETCH(int, pixels);
        TempLibrary lib;
        lib.showColumns({"曲名", "ｶｳﾝﾄ"});
        QVERIFY(lib.db().adoSetData(
            46, {"UPDATE TM_表示項目 SET 幅 = " + stored + " WHERE 列名 = 'ｶｳﾝﾄ'"}));
        SongListView view;
        QCOMPARE(view.logicalDpiX(), 96);
        QVERIFY(lvSetColumns(view));
        QCOMPARE(view.columnWidth(0), 240); // 3600 twips
        QCOMPARE(view.columnWidth(1), pixels);
        QCOMPARE(view.columnWidthTwips(1), pixels * 15.0); // what shutdown stores
    }

    void rowHeightComesFromTheFontNotTheFirstRow() {
        TempLibrary lib;
        lib.addSong("abc");
        lib.addSong(QString::fromUtf16(u"日本語の曲"));
        lib.showColumns({"曲名"});
        SongListView view;
        view.resize(400, 300);
        QVERIFY(lvSetColumns(view));
        QVERIFY(lvSetSongList(0, "ALL", view.songs()));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int latinFirst = view.visualRect(view.songs().index(1, 0)).height();
        view.songs().setSort(true, 0, 1); // descending: the Japanese title first
        QCOMPARE(view.songs().cell(view.songs().keyAt(0), 0), QString::fromUtf16(u"日本語の曲"));
        const int japaneseFirst = view.visualRect(view.songs().index(1, 0)).height();
        QCOMPARE(latinFirst, japaneseFirst);
        // Tall enough for a line of Japanese in the list's font.
        QLabel line(QString::fromUtf16(u"日本語の曲"));
        line.setFont(view.font());
        QVERIFY2(japaneseFirst >= line.sizeHint().height(),
                 qPrintable(QString("%1 < %2").arg(japaneseFirst).arg(line.sizeHint().height())));
    }

    void failedColumnReadKeepsColumns() {
        SongListView view;
        {
            TempLibrary lib;
            QVERIFY(lvSetColumns(view));
        }
        // A connector whose file is broken fails every read.
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/DataBase");
        QFile f(dir.path() + "/DataBase/MelodaraPlayer.db");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        ScriptedPresenter boxes;
        ADO_Connector broken(f.fileName());
        ADO_Connector* previous = gConnector;
        gConnector = &broken;
        QVERIFY(!lvSetColumns(view));
        gConnector = previous;
        QCOMPARE(view.songs().captions().size(), 6);
    }

    void selectedKeysAreInDisplayOrder() {
        TempLibrary lib;
        for (const char* t : {"b", "a", "c", "d"})
            lib.addSong(t);
        lib.showColumns({"曲名"});
        SongListView view;
        QVERIFY(lvSetColumns(view));
        QVERIFY(lvSetSongList(0, "ALL", view.songs()));

        QStringList keys = {"untouched"};
        lvGetSelectedKeys(view, keys);
        QCOMPARE(keys, QStringList({"untouched"}));
        QCOMPARE(lvGetSelectedKey(view), QString());

        QVERIFY(view.selectKey("Key_3"));
        QVERIFY(view.selectKey("Key_1", true));
        QVERIFY(view.selectKey("Key_2", true));
        QVERIFY(!view.selectKey("Key_9", true));
        lvGetSelectedKeys(view, keys);
        QCOMPARE(keys, QStringList({"Key_1", "Key_2", "Key_3"}));
        QCOMPARE(lvGetSelectedKey(view), QStringLiteral("Key_2"));

        // Sorting moves the selection with its rows: a, b, c = Key_2, Key_1, Key_3.
        view.songs().setSort(true, 0, 0);
        lvGetSelectedKeys(view, keys);
        QCOMPARE(keys, QStringList({"Key_2", "Key_1", "Key_3"}));
        QCOMPARE(lvGetSelectedKey(view), QStringLiteral("Key_2"));

        QVERIFY(view.selectKey("Key_4"));
        lvGetSelectedKeys(view, keys);
        QCOMPARE(keys, QStringList({"Key_4"}));
    }

    void focusedRowThatIsNotSelectedIsNotTheSelection() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        SongListView view;
        QVERIFY(lvSetColumns(view));
        QVERIFY(lvSetSongList(0, "ALL", view.songs()));
        view.selectKey("Key_1");
        view.selectKey("Key_2", true);
        view.selectionModel()->select(view.songs().index(1, 0),
                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        QCOMPARE(lvGetSelectedKey(view), QStringLiteral("Key_1"));
        view.clearSelection();
        QCOMPARE(lvGetSelectedKey(view), QString());
    }

    void headerClickAndDoubleClickAreSignalled() {
        TempLibrary lib;
        lib.addSong("a");
        SongListView view;
        view.resize(600, 300);
        QVERIFY(lvSetColumns(view));
        QVERIFY(lvSetSongList(0, "ALL", view.songs()));
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
        QCOMPARE(doubles.front().front().toString(), QStringLiteral("Key_1"));
    }

    void sortIndicatorFollowsTheModel() {
        SongListView view;
        view.songs().setColumns({"a", "b"});
        QVERIFY(!view.header()->isSortIndicatorShown());
        view.songs().setSort(true, 1, 1);
        QVERIFY(view.header()->isSortIndicatorShown());
        QCOMPARE(view.header()->sortIndicatorSection(), 1);
        QCOMPARE(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void fitControlLeavesMargins() {
        QWidget window;
        QWidget control(&window);
        control.move(10, 30);
        lvFitControl(640, 8, 480, 20, control);
        QCOMPARE(control.size(), QSize(622, 430));
        lvFitControl(10, 8, 10, 20, control);
        QCOMPARE(control.size(), QSize(0, 0));
    }

    void multiSelectCanBeTurnedOff() {
        SongListView view;
        QVERIFY(view.multiSelect());
        view.setMultiSelect(false);
        QVERIFY(!view.multiSelect());
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
    }
};

QTEST_MAIN(TestSongListView)
#include "tst_songlistview.moc"
