// The main window's search command: the modeless search window over the
// song list.

#include "app/mainwindow.h"

#include "songlist/serchdialog.h"
#include "songlist/songlistview.h"

#include <QAction>

void frmMain::connectSearch() {
    connect(action(QStringLiteral("mnuEdit_Serch")), &QAction::triggered, this,
            &frmMain::mnuEdit_Serch_Click);
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
