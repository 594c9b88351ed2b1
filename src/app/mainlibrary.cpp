// The main window's file commands: the library window, exporting the list
// on screen as an M3U playlist, and copying its files into a folder the
// user picks, for example a portable player's.

#include "app/mainwindow.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "export/copydialog.h"
#include "library/librarywindow.h"
#include "library/pickers.h"
#include "playlists/m3ufile.h"
#include "songlist/songlistview.h"

namespace {

// The folder picked in the folder picker (which opens at, and keeps, the
// pickers' shared folder), or nothing when it was cancelled.
std::optional<QString> pickFolder(QWidget* owner) {
    frmDirSelectBas picker(owner);
    runModal(picker);
    if (picker.RetCode() != 1)
        return std::nullopt;
    return picker.frmDirSelBas_GetDirectory();
}

} // namespace

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

void frmMain::mnuFile_CopySong_Click() {
    ShowMessage(Msg::CopyToFolder, 0);
    const std::optional<QString> folder = pickFolder(this);
    if (!folder)
        return;
    // The list's file paths in display order, as the playlist export takes them.
    QStringList sources;
    if (!M3uLinesOf(lvSongList->songs(), sources)) {
        msgbox::show(QStringLiteral("ﾌｧｲﾙﾊﾟｽの列が表示されていないため、コピーできません"), 0,
                     kDefaultMessageTitle);
        return;
    }
    CopyToFolder(this, sources, *folder);
}
