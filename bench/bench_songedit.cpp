// Builds a 100,000-song library, starts the main window on it offscreen
// with the list sorted by priority, and prints the song editing figures
// beside their targets: opening the property editor for one song, and a
// bulk edit of 10,000 selected songs (writes and list rewrite together),
// after which the list must still be sorted.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "benchlibrary.h"
#include "data/adoconnector.h"
#include "library/songproperty.h"
#include "songlist/songlistview.h"

#include <QAction>
#include <QApplication>
#include <QItemSelection>
#include <QSlider>
#include <QTreeWidget>

#include <cstdio>

namespace {
constexpr int kSongs = 100000;
constexpr int kSelected = 10000;
constexpr int kPriorityColumn = 4;

// Whether the list's rows follow its sort column as it compares them.
bool stillSorted(const SongListModel& list) {
    QString previous;
    for (int p = 0; p < list.count(); ++p) {
        const QString cell = list.cell(list.keyAt(p), list.sortKey()).toCaseFolded();
        const int c = previous.compare(cell);
        if (p > 0 && (list.sortOrder() == 0 ? c > 0 : c < 0))
            return false;
        previous = cell;
    }
    return true;
}
} // namespace

int main(int argc, char* argv[]) {
    drawOffscreenByDefault();
    QApplication app(argc, argv);
    BenchLibrary library(kSongs);
    const QString path = library.db().path();

    frmOpening::setInterval(0);
    frmMain w(path);
    if (!w.Form_Load())
        return 1;
    w.show();
    SongListModel& list = w.lvSongList->songs();
    list.setSort(true, kPriorityColumn, 0);
    app.processEvents();

    // Opening the editor: from the command to the editor drawn, for songs
    // spread over the list; the worst of them.
    QElapsedTimer timer;
    double opened = 0;
    double openCpu = 0;
    double cpuStart = 0;
    setModalHandler([&](QDialog& dialog) {
        dialog.show();
        app.processEvents();
        opened = ms(timer);
        openCpu = threadCpuMs() - cpuStart;
        dialog.reject();
        return int(QDialog::Rejected);
    });
    double worstOpen = 0;
    double worstOpenCpu = 0;
    for (int i = 0; i < 10; ++i) {
        w.lvSongList->selectKey(list.keyAt(i * (kSongs / 10) + 5));
        cpuStart = threadCpuMs();
        timer.restart();
        w.mnuEdit_SongProp->trigger();
        worstOpen = std::max(worstOpen, opened);
        worstOpenCpu = std::max(worstOpenCpu, openCpu);
    }
    report("opening the editor, worst of 10", worstOpen, "ms", "<= 100");
    report("  of which processor time", worstOpenCpu, "ms", "-");

    // A bulk edit of every tenth row: a new priority and genres for all.
    QItemSelection rows;
    for (int i = 0; i < kSelected; ++i)
        rows.select(list.index(i * 10, 0), list.index(i * 10, list.columnCount() - 1));
    w.lvSongList->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    w.lvSongList->selectionModel()->setCurrentIndex(list.index(50, 0),
                                                    QItemSelectionModel::NoUpdate);
    app.processEvents();
    QElapsedTimer edit;
    double editCpu = 0;
    setModalHandler([&](QDialog& dialog) {
        auto& editor = static_cast<frmSongProperty&>(dialog);
        editor.sldPriority->setValue(37);
        for (int g = 0; g < editor.lvSongList->topLevelItemCount(); ++g)
            editor.lvSongList->topLevelItem(g)->setCheckState(
                0, g % 7 == 0 && g < 21 ? Qt::Checked : Qt::Unchecked);
        editor.cmdOK_Click();
        edit.start(); // what follows OK is the write and the rewrite
        editCpu = threadCpuMs();
        return editor.result();
    });
    timer.restart();
    w.mnuEdit_SongPropDirect->trigger();
    app.processEvents();
    const double written = ms(edit);
    editCpu = threadCpuMs() - editCpu;
    const double whole = ms(timer);
    report("bulk edit of 10,000 songs: writes, rewrite", written, "ms", "<= 1000");
    report("  of which processor time", editCpu, "ms", "-");
    report("  with the editor opened and confirmed", whole, "ms", "-");

    // Every selected row shows the edit and every selected song holds it.
    const QStringList keys = w.lvSongList->selectedKeys();
    int shown = 0;
    for (const QString& key : keys)
        shown += list.cell(key, kPriorityColumn) == u"37" ? 1 : 0;
    int stored = 0;
    gConnector->adoGetEachRow(
        Read::StoredQuery, QStringLiteral("Q_SetList_ALL"), [&stored](const Recordset& row) {
            stored += row.Field(QStringLiteral("優先度")).toInt() == 37 ? 1 : 0;
        });
    const bool sorted = list.sorted() && stillSorted(list);
    std::printf("%-44s %9s     (target yes)\n", "list still sorted afterwards",
                sorted ? "yes" : "no");
    std::printf("%-44s %9d     (target %d)\n", "selected rows showing the edit", shown, kSelected);
    const bool ok = sorted && keys.size() == kSelected && shown == kSelected && stored >= kSelected;
    setModalHandler({});
    return ok ? 0 : 1;
}
