// The main window's side of playing: its buttons, menu entry, volume and
// play mode drive the player control, and the frame, status bar and play
// button show what the control reports. In compact mode the main window
// minimises itself and the compact window, with the now-playing texts and
// buttons, follows the player control instead until it returns with its
// place.

#include "app/mainwindow.h"

#include "base/modal.h"
#include "data/adoconnector.h"
#include "data/songrecord.h"
#include "playback/compactwindow.h"
#include "playback/mediaplayer.h"
#include "playback/nowplaying.h"
#include "playback/playbutton.h"
#include "playback/playercontrol.h"
#include "playback/playstate.h"
#include "playback/seekslider.h"
#include "songlist/filterbox.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"

#include <QComboBox>
#include <QLabel>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

void frmMain::connectPlayer() {
    player_ = new PlayerControl(*mpPlayer, lvSongList->songs(), this);
    tmDuration = &player_->timer();
    player_->setPlayMode(cboHowToPlay->currentText());
    player_->setVolume(sldVolume->value());
    connect(cboHowToPlay, &QComboBox::currentTextChanged, player_, &PlayerControl::setPlayMode);
    connect(player_, &PlayerControl::songStarted, this, [this] {
        skipShown_ = false;
        frmMain_SetFrameSong();
        frmMain_SetStatusBarSong();
    });
    connect(player_, &PlayerControl::stateChanged, this,
            [this](int state) { frmMain_SetPlayButton(cmdPlay, playStateWord(state)); });
    connect(player_, &PlayerControl::positionChanged, this, [this](int seconds, int maximum) {
        lblDuration->setText(nowplaying::positionText(seconds, maximum));
        // The handle the user holds is not taken from under the pointer.
        if (sldDuration->isSliderDown())
            return;
        sldDuration->setMaximum(maximum);
        sldDuration->setValue(seconds);
    });
    makeSeekSlider(*sldDuration, [this](int seconds) { player_->seek(seconds); });
    connect(player_, &PlayerControl::songSkipped, this, &frmMain::showSkippedSong);
    connect(player_, &PlayerControl::stopped, this, &frmMain::clearSongDisplay);
    // The desktop's media controls follow the state and the song.
    connect(player_, &PlayerControl::stateChanged, this, &frmMain::playerChanged);
    connect(player_, &PlayerControl::songStarted, this, &frmMain::playerChanged);
    connect(player_, &PlayerControl::stopped, this, &frmMain::playerChanged);
    connect(sldVolume, &QSlider::valueChanged, this, &frmMain::sldVolume_Change);
    connect(cmdPlay, &QToolButton::clicked, this, [this] { frmMain_PlaySong(QString()); });
    connect(cmdStop, &QToolButton::clicked, this, &frmMain::frmMain_StopSong);
    connect(cmdNext, &QToolButton::clicked, this, &frmMain::frmMain_NextSong);
}

void frmMain::connectListKeys() {
    const auto onList = [this](QKeySequence key, auto run) {
        auto* shortcut = new QShortcut(key, lvSongList, run, Qt::WidgetShortcut);
        shortcut->setAutoRepeat(false);
    };
    onList(QKeySequence(Qt::Key_Space), [this] { frmMain_PlaySong(QString()); });
    onList(QKeySequence(Qt::Key_Return), [this] { mnuEdit_PlaySelListSong_Click(); });
    onList(QKeySequence(Qt::Key_Enter), [this] { mnuEdit_PlaySelListSong_Click(); });
    connect(lvSongList, &SongListView::itemDoubleClicked, this, &frmMain::frmMain_EditSongProp);
}

// --- player control ---

void frmMain::frmMain_PlaySong(const QString& key) {
    player_->toggle(key);
}

void frmMain::frmMain_StopSong() {
    player_->stop();
}

void frmMain::frmMain_NextSong() {
    player_->next();
}

void frmMain::tmDuration_Timer() {
    player_->tick();
}

void frmMain::sldVolume_Change() {
    player_->setVolume(sldVolume->value());
}

void frmMain::mnuEdit_PlaySelListSong_Click() {
    const QString key = lvGetSelectedKey(*lvSongList);
    if (!key.isEmpty())
        player_->playKey(key);
}

const std::optional<Song>& frmMain::currentSong() const {
    return player_->currentSong();
}

bool frmMain::counted() const {
    return player_->counted();
}

QStringList frmMain::frmMain_MakeSongParams() const {
    return currentSong() ? songrecord::songParams(*currentSong()) : QStringList();
}

// --- now-playing display ---

void frmMain::frmMain_SetFrameSong(const Song* song) {
    if (!song && !currentSong())
        return;
    const auto texts = nowplaying::frameTexts(song ? *song : *currentSong());
    if (!texts)
        return;
    lblSongDisp1->setText(texts->first);
    lblSongDisp2->setText(texts->second);
}

void frmMain::frmMain_SetStatusBarSong() {
    if (!currentSong())
        return;
    if (const auto text = nowplaying::statusText(*currentSong()))
        lblStatBarSong->setText(*text);
}

void frmMain::frmMain_SetPlayButton(QToolButton* button, const QString& state) {
    setPlayButton(*button, state);
}

// Until the next song starts, the status bar says which file was passed
// over and why, also after playing stopped.
void frmMain::showSkippedSong(const Song& song, const QString& reason) {
    lblStatBarSong->setText(nowplaying::skippedText(song, reason));
    skipShown_ = true;
}

void frmMain::clearSongDisplay() {
    lblSongDisp1->clear();
    lblSongDisp2->clear();
    if (!skipShown_)
        lblStatBarSong->clear();
}

void frmMain::frmMain_ShowPlaySong() {
    if (!currentSong())
        return;
    const QString key = songrecord::listKey(currentSong()->KeyString());
    if (lvSongList->songs().position(key) < 0)
        return;
    lvSongList->setMultiSelect(false);
    lvSongList->selectKey(key);
    lvSongList->setMultiSelect(true);
    lvSongList->setFocus();
}

// --- compact mode ---

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
