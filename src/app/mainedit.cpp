// The main window's edit commands: the set list, album, genre and artist
// editors, each run modally, the search window and the filter box. (The
// song property commands are in mainsongedit.cpp, playing the selected song
// in mainplayer.cpp.)

#include "app/mainwindow.h"

#include "base/modal.h"
#include "library/nameeditdialog.h"
#include "setlists/albumdialog.h"
#include "setlists/setlistdialog.h"
#include "songlist/filterbox.h"
#include "songlist/serchdialog.h"
#include "songlist/songlistview.h"

namespace {

// Unless the editor was cancelled, the list is read again so it shows the
// new names (the playing song plays on).
void runEditor(frmMain& window, NameEditDialog& editor) {
    runModal(editor);
    if (!editor.Cancel())
        window.frmMain_RefreshSetList();
}

} // namespace

void frmMain::mnuEdit_SetList_Click() {
    frmSetList dialog(this);
    runModal(dialog);
    frmMain_SetSetListCombo();
    frmMain_ReloadSetList();
}

void frmMain::mnuEdit_Album_Click() {
    frmAlbumList dialog(this);
    runModal(dialog);
}

void frmMain::mnuEdit_Category_Click() {
    frmJanlEdit editor(this);
    runEditor(*this, editor);
}

void frmMain::mnuEdit_Artist_Click() {
    frmArtistEdit editor(this);
    runEditor(*this, editor);
}

void frmMain::mnuEdit_Serch_Click() {
    // One search window: a second command brings the open one forward.
    if (serch_) {
        serch_->raise();
        serch_->activateWindow();
        return;
    }
    serch_ = new frmSerch(this);
    serch_->setAttribute(Qt::WA_DeleteOnClose);
    for (const QString& caption : lvSongList->songs().captions())
        serch_->frmSerch_AddSerchCol(caption);
    serch_->SerchListView = lvSongList;
    serch_->show();
}

void frmMain::mnuEdit_Filter_Click() {
    txtFilter->setFocus(Qt::ShortcutFocusReason);
    txtFilter->selectAll();
}
