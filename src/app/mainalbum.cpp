// The main window's album command: the album list, modal.

#include "app/mainwindow.h"

#include "base/modal.h"
#include "setlists/albumdialog.h"

void frmMain::mnuEdit_Album_Click() {
    frmAlbumList dialog(this);
    runModal(dialog);
}
