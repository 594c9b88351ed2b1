// The main window's search command: one modeless search window over the
// song list, its columns, and where searches start after it reopens.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "scriptedpresenter.h"
#include "songlist/search.h"
#include "songlist/serchdialog.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestMainSearch : public QObject {
    Q_OBJECT

    static QList<frmSerch*> searchWindows(frmMain& w) {
        return w.findChildren<frmSerch*>(QString(), Qt::FindDirectChildrenOnly);
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }

    void searchFromTheMenu() {
        TempLibrary lib;
        for (const char* t : {"Alpha", "Beta", "Gamma", "Delta"})
            lib.addSong(t);
        lib.showColumns({"曲名", "ﾌｧｲﾙﾊﾟｽ"});
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        w.show();
        w.lvSongList->songs().setSort(true, 0, 0); // Alpha, Beta, Delta, Gamma
        QAction* command = w.action("mnuEdit_Serch");
        QCOMPARE(command->shortcut(), QKeySequence("Ctrl+F"));

        command->trigger();
        QCOMPARE(searchWindows(w).size(), 1);
        frmSerch* serch = searchWindows(w).front();
        QVERIFY(serch->isVisible());
        QVERIFY(!serch->isModal());
        QCOMPARE(serch->SerchListView.data(), w.lvSongList);
        QComboBox* columns = serch->cboSerchColumn;
        QCOMPARE(columns->count(), 2);
        QCOMPARE(columns->itemText(0), QStringLiteral("曲名"));
        QCOMPARE(columns->currentText(), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"));

        // A second command brings the open window forward, columns once.
        command->trigger();
        QCOMPARE(searchWindows(w), QList<frmSerch*>({serch}));
        QCOMPARE(columns->count(), 2);

        columns->setCurrentIndex(0);
        serch->txtSerch->setText("ta");
        serch->cmdNext->click();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_2"}));
        serch->cmdNext->click();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_4"}));
        QCOMPARE(gSerchPos, 3);

        // Closed and opened again: the first search starts from the top.
        serch->cmdCancel->click();
        QTRY_VERIFY(searchWindows(w).isEmpty());
        command->trigger();
        serch = searchWindows(w).front();
        QCOMPARE(serch->cboSerchColumn->count(), 2);
        QCOMPARE(gSerchPos, 3);
        serch->cboSerchColumn->setCurrentIndex(0);
        serch->txtSerch->setText("a");
        serch->cmdNext->click();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_1"}));
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_MAIN(TestMainSearch)
#include "tst_mainsearch.moc"
