// The main window's file commands for the library: the library window and
// exporting the list on screen as an M3U playlist.

#include "app/mainwindow.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "export/m3ufile.h"
#include "library/librarywindow.h"
#include "library/pickers.h"
#include "songlist/songlistview.h"

#include <QAction>

void frmMain::connectLibrary() {
    connect(action(QStringLiteral("mnuFile_ShowMLP")), &QAction::triggered, this,
            &frmMain::mnuFile_ShowMLP_Click);
    connect(action(QStringLiteral("mnuFile_ExportM3u")), &QAction::triggered, this,
            &frmMain::mnuFile_ExportM3u_Click);
}

void frmMain::mnuFile_ShowMLP_Click() {
    frmMain_ShowLibrary({});
}

void frmMain::frmMain_ShowLibrary(const QStringList& pending) {
    frmMelodara library(this);
    library_ = &library;
    // Added once the window runs, so a folder's progress box stands on it.
    if (!pending.isEmpty())
        QMetaObject::invokeMethod(
            &library, [&library, pending] { library.frmMld_AddPaths(pending); },
            Qt::QueuedConnection);
    runModal(library);
    if (library.Registed())
        frmMain_ReloadSetList();
}

void frmMain::mnuFile_ExportM3u_Click() {
    ShowMessage(Msg::ExportM3u, 0);
    frmFileNameSet picker(this);
    runModal(picker);
    if (picker.RetCode() != 1)
        return;
    QStringList lines;
    if (!M3uLinesOf(lvSongList->songs(), lines)) {
        ShowMessage(Msg::M3uFailed, 0);
        return;
    }
    const int leftOut = RemoveUnwritableLines(lines);
    if (!WriteM3uFile(M3uFileName(picker.frmFilSet_GetFile()), lines))
        ShowMessage(Msg::M3uFailed, 0);
    else if (leftOut > 0)
        msgbox::show(
            QStringLiteral("ファイルパスに改行を含む %1 曲は、m3uファイルに書き出せないため"
                           "除きました。")
                .arg(leftOut),
            0, kDefaultMessageTitle);
}
