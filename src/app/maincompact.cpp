// The main window's side of compact mode: it minimises itself, opens the
// compact window with the now-playing texts and buttons, and takes them
// back, with the window's place, when the compact window returns.

#include "app/mainwindow.h"

#include "base/modal.h"
#include "data/adoconnector.h"
#include "playback/compactwindow.h"

#include <QLabel>
#include <QToolButton>

void frmMain::frmMain_StartCompact() {
    if (compact_)
        return;
    compact_ = true;
    const Qt::WindowStates before = windowState();
    setWindowState(before | Qt::WindowMinimized);

    frmCompact compact;
    frmCpt_ = &compact;
    compact.setScreen(screen());
    compact.frmCpt_LoadSettings();
    compact.frmCpt_SetCaption(lblSongDisp1->text(), lblSongDisp2->text(), *cmdPlay, *cmdStop,
                              *cmdNext);
    connect(compact.cmdPlay, &QToolButton::clicked, this, [this] { frmMain_PlaySong(QString()); });
    connect(compact.cmdStop, &QToolButton::clicked, this, &frmMain::frmMain_StopSong);
    connect(compact.cmdNext, &QToolButton::clicked, this, &frmMain::frmMain_NextSong);
    connect(&compact, &frmCompact::returned, this, &frmMain::frmMain_EndCompact);
    runModal(compact);
    // However the window ended, the player must not keep writing to it.
    if (compact_)
        compact.cmdReturn_Click();
    frmCpt_ = nullptr;

    setWindowState(before & ~Qt::WindowMinimized);
    if (isVisible())
        activateWindow();
}

void frmMain::frmMain_EndCompact(int left, int top) {
    compact_ = false;
    if (frmCpt_) {
        lblSongDisp1->setText(frmCpt_->lblSongDisp1->text());
        lblSongDisp2->setText(frmCpt_->lblSongDisp2->text());
        copyPicture(*frmCpt_->cmdPlay, *cmdPlay);
        copyPicture(*frmCpt_->cmdStop, *cmdStop);
        copyPicture(*frmCpt_->cmdNext, *cmdNext);
    }
    gConnector->adoSetData(56, {QString::number(left), QString::number(top)});
}

QLabel* frmMain::songDisp(int line) {
    if (compact_ && frmCpt_)
        return line == 0 ? frmCpt_->lblSongDisp1 : frmCpt_->lblSongDisp2;
    return line == 0 ? lblSongDisp1 : lblSongDisp2;
}
