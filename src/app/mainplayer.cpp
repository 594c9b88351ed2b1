// The main window's player control and now-playing display: play, pause,
// resume, stop and next, the one-second tick that counts a play, and the
// frame, status bar and play button that show the song.

#include "app/mainwindow.h"

#include "base/messagecatalogue.h"
#include "base/pictures.h"
#include "data/adoconnector.h"
#include "playback/compactwindow.h"
#include "playback/mediaplayer.h"
#include "playback/nowplaying.h"
#include "playback/playstate.h"
#include "playback/selectsong.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "songlist/songrows.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace {
const QString kPlayWord = QStringLiteral("再生");
const QString kPauseWord = QStringLiteral("一時停止");
} // namespace

void frmMain::connectPlayer() {
    connect(mpPlayer, &MediaPlayer::endOfStream, this, &frmMain::mpPlayer_EndOfStream);
    connect(mpPlayer, &MediaPlayer::errorOccurred, this, &frmMain::mpPlayer_Error);
    connect(tmDuration, &QTimer::timeout, this, &frmMain::tmDuration_Timer);
    connect(sldVolume, &QSlider::valueChanged, this, &frmMain::sldVolume_Change);
    connect(cmdPlay, &QToolButton::clicked, this, [this] { frmMain_PlaySong(QString()); });
    connect(cmdStop, &QToolButton::clicked, this, &frmMain::frmMain_StopSong);
    connect(cmdNext, &QToolButton::clicked, this, &frmMain::frmMain_NextSong);
    connect(action(QStringLiteral("mnuEdit_PlaySelListSong")), &QAction::triggered, this,
            &frmMain::mnuEdit_PlaySelListSong_Click);
    connect(action(QStringLiteral("mnuDisp_ShowPlaySong")), &QAction::triggered, this,
            &frmMain::frmMain_ShowPlaySong);
}

// --- small operations ---

bool frmMain::startPlayer() {
    if (!mpPlayer->start()) {
        showPlayFailure();
        return false;
    }
    return true;
}

void frmMain::showPlayFailure() {
    qWarning("Cannot play %s: %s", qPrintable(currentSong_ ? currentSong_->FilePath() : QString()),
             qPrintable(mpPlayer->lastError()));
    // A modal box runs the event loop: no tick or player event may run
    // under it and stack more boxes or start songs behind the user's back.
    timerOff();
    const QSignalBlocker quietPlayer(mpPlayer);
    ShowMessage(17, 0);
}

bool frmMain::setPlayerVolume(int volume) {
    if (volume < 0 || volume > 10000)
        return false;
    mpPlayer->setVolume(volume - 10000);
    return true;
}

void frmMain::setSliderRange(int maximum) {
    sldDuration->setMinimum(0);
    if (maximum != 0)
        sldDuration->setMaximum(maximum);
}

void frmMain::timerOn() {
    tmDuration->setInterval(1000);
    tmDuration->start();
}

void frmMain::timerOff() {
    tmDuration->stop();
}

QToolButton* frmMain::playButton() {
    // The compact window's button stands in while it is shown.
    return compact_ && frmCpt_ ? frmCpt_->cmdPlay : cmdPlay;
}

// --- player control ---

void frmMain::frmMain_PlaySong(const QString& key) {
    switch (gPlayState) {
    case kStopped:
        if (lvSongList->songs().count() == 0)
            return;
        gPlayState = kPlaying;
        frmMain_SetPlayButton(playButton(), kPauseWord);
        frmMain_StartSong(key);
        break;
    case kPaused:
        gPlayState = kPlaying;
        frmMain_SetPlayButton(playButton(), kPauseWord);
        frmMain_ResumeSong();
        break;
    default:
        gPlayState = kPaused;
        frmMain_SetPlayButton(playButton(), kPlayWord);
        frmMain_PauseSong();
        break;
    }
    emit playerChanged();
}

void frmMain::frmMain_StartSong(const QString& startKey) {
    QString mode = cboHowToPlay->currentText();
    QString key = startKey;
    if (!key.isEmpty()) {
        lvSetLastKey(key);
    } else if (mode == kProgramPlay) {
        if (!lvGetNextKey(lvSongList->songs(), key)) {
            frmMain_StopSong();
            return;
        }
        lvSetLastKey(key);
    }
    currentSong_ = Song();
    if (!SelectSong(cboSetList->currentText(), mode, *currentSong_, key)) {
        // Nothing to draw from: end as a refused start would.
        frmMain_StopSong();
        return;
    }
    frmMain_SetFrameSong();
    frmMain_SetStatusBarSong();
    // The volume goes first, so the buffer decoded while opening already
    // has the song's level.
    setPlayerVolume(sldVolume->value() + currentSong_->Volume());
    mpPlayer->open(currentSong_->FilePath());
    setSliderRange(int(std::lround(mpPlayer->length())));
    counted_ = false;
    if (startPlayer())
        timerOn();
    else
        frmMain_StopSong();
    emit playerChanged();
}

void frmMain::frmMain_PauseSong() {
    mpPlayer->pause();
    timerOff();
}

void frmMain::frmMain_ResumeSong() {
    if (startPlayer())
        timerOn();
    else
        frmMain_StopSong();
}

void frmMain::frmMain_StopSong() {
    sldDuration->setValue(0);
    mpPlayer->stop();
    timerOff();
    gPlayState = kStopped;
    frmMain_SetPlayButton(playButton(), kPlayWord);
    songDisp(0)->clear();
    songDisp(1)->clear();
    lblStatBarSong->clear();
    emit playerChanged();
}

void frmMain::frmMain_NextSong() {
    if (lvSongList->songs().count() == 0)
        return;
    sldDuration->setValue(0);
    mpPlayer->stop();
    timerOff();
    frmMain_SetPlayButton(playButton(), kPauseWord);
    gPlayState = kPlaying;
    frmMain_StartSong(QString());
}

void frmMain::tmDuration_Timer() {
    // The slider holds at its maximum if the count gets there before the
    // player reports the end.
    sldDuration->setValue(sldDuration->value() + 1);
    if (counted_ || !currentSong_ ||
        double(sldDuration->value()) <= double(sldDuration->maximum()) / 2.0)
        return;
    counted_ = true;
    currentSong_->setCount(currentSong_->Count() + 1);
    lvSetSongItem(*currentSong_, lvSongList->songs(), false);
    // A failed write shows the connector's box, which runs the event loop:
    // no tick or player event may run under it, or each would stack
    // another box on the last.
    timerOff();
    bool written;
    {
        const QSignalBlocker quietPlayer(mpPlayer);
        written = gConnector->adoSetData(26, frmMain_MakeSongParams());
    }
    if (written || gConnector->wasBusy()) {
        // Long work holds the library: count again at the next tick.
        if (!written) {
            counted_ = false;
            currentSong_->setCount(currentSong_->Count() - 1);
            lvSetSongItem(*currentSong_, lvSongList->songs(), false);
        }
        timerOn();
        return;
    }
    // Playback that cannot keep its counts stops after that one box, and
    // the list shows the count the library holds.
    currentSong_->setCount(currentSong_->Count() - 1);
    lvSetSongItem(*currentSong_, lvSongList->songs(), false);
    frmMain_StopSong();
}

void frmMain::mpPlayer_EndOfStream() {
    timerOff();
    sldDuration->setValue(0);
    gPlayState = kPlaying;
    frmMain_StartSong(QString());
}

void frmMain::mpPlayer_Error() {
    // The song stopped part-way: as a start the player refused.
    if (gPlayState == kStopped)
        return;
    showPlayFailure();
    frmMain_StopSong();
}

void frmMain::sldVolume_Change() {
    setPlayerVolume(sldVolume->value() + (currentSong_ ? currentSong_->Volume() : 0));
}

void frmMain::mnuEdit_PlaySelListSong_Click() {
    const QString key = lvGetSelectedKey(*lvSongList);
    if (key.isEmpty())
        return;
    frmMain_StopSong();
    frmMain_PlaySong(key);
}

QStringList frmMain::frmMain_MakeSongParams() const {
    return currentSong_ ? nowplaying::songParams(*currentSong_) : QStringList();
}

// --- now-playing display ---

void frmMain::frmMain_SetFrameSong(const Song* song) {
    if (!song && !currentSong_)
        return;
    const auto texts = nowplaying::frameTexts(song ? *song : *currentSong_);
    if (!texts)
        return;
    songDisp(0)->setText(texts->first);
    songDisp(1)->setText(texts->second);
}

void frmMain::frmMain_SetStatusBarSong() {
    if (!currentSong_)
        return;
    if (const auto text = nowplaying::statusText(*currentSong_))
        lblStatBarSong->setText(*text);
}

void frmMain::frmMain_SetPlayButton(QToolButton* button, const QString& state) {
    if (state == kPlayWord || state == kPauseWord) {
        button->setIcon(QIcon());
        button->setIcon(pictures::load(state == kPlayWord ? pictures::Picture::Play
                                                          : pictures::Picture::AtStop));
        button->setToolTip(state);
    } else {
        button->setText(state);
    }
}

void frmMain::frmMain_ShowPlaySong() {
    if (!currentSong_)
        return;
    QString key = currentSong_->KeyString();
    if (!key.contains(QStringLiteral("Key_")))
        key = songrows::keyOf(key);
    if (lvSongList->songs().position(key) < 0)
        return;
    lvSongList->setMultiSelect(false);
    lvSongList->selectKey(key);
    lvSongList->setMultiSelect(true);
    lvSongList->setFocus();
}
