// The main window's side of the display settings: the dialog, then the
// columns, the list and the list's appearance rebuilt from what it stored.

#include "app/mainwindow.h"

#include "base/modal.h"
#include "playback/playercontrol.h"
#include "songlist/dispsetdialog.h"
#include "songlist/songlistview.h"

void frmMain::mnuSetting_Disp_Click() {
    frmDispSet dialog(this);
    runModal(dialog);
    if (dialog.State != 0)
        return;
    player_->setCrossfade(dialog.settings().crossfade);
    if (!lvSetColumns(*lvSongList))
        return;
    frmMain_RefreshSetList();
    frmMain_SetMainAppearance();
}
