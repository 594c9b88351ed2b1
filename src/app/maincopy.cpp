// The main window's copy command: the files of the list on screen into a
// folder the user picks, for example a portable player's.

#include "app/mainwindow.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "export/copydialog.h"
#include "export/m3ufile.h"
#include "library/pickers.h"
#include "songlist/songlistview.h"

#include <QAction>

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

void frmMain::connectCopy() {
    connect(action(QStringLiteral("mnuFile_CopySong")), &QAction::triggered, this,
            &frmMain::mnuFile_CopySong_Click);
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
