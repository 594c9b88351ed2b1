// The main window's side of compact mode: it minimises itself, opens the
// compact window with the now-playing texts and buttons, which then follows
// the player control as the main window does, and stores the compact
// window's place when it returns.

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
    compact.follow(*player_);
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
    gConnector->adoSetData(Write::CompactPosition, {QString::number(left), QString::number(top)});
}
