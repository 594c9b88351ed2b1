// The desktop's media controls: the MPRIS object gets the main window's
// player commands as the buttons run them, and follows the player's state,
// song and volume.

#include "app/mainwindow.h"

#include "data/songrecord.h"
#include "playback/mediaplayer.h"
#include "playback/mpris.h"
#include "playback/playercontrol.h"
#include "playback/playstate.h"

#include <QApplication>
#include <QSlider>
#include <QTimer>

#include <cmath>

namespace {

constexpr qint64 kMicrosecondsPerSecond = 1000000;

Mpris::Status mprisStatus(int playState) {
    switch (playState) {
    case kPlaying:
        return Mpris::Status::Playing;
    case kPaused:
        return Mpris::Status::Paused;
    default:
        return Mpris::Status::Stopped;
    }
}

} // namespace

void frmMain::connectMpris() {
    MprisCommands commands;
    commands.playPause = [this] { frmMain_PlaySong(QString()); };
    commands.play = [this] {
        if (gPlayState != kPlaying)
            frmMain_PlaySong(QString());
    };
    commands.pause = [this] {
        if (gPlayState == kPlaying)
            frmMain_PlaySong(QString());
    };
    commands.stop = [this] { frmMain_StopSong(); };
    commands.next = [this] { frmMain_NextSong(); };
    commands.raise = [this] { frmMain_Raise(); };
    commands.quit = [this] {
        // A dialog still open has work the user has not finished.
        if (QApplication::activeModalWidget())
            frmMain_Raise();
        else
            close();
    };
    commands.setVolume = [this](double volume) {
        sldVolume->setValue(qRound(volume * sldVolume->maximum()));
    };
    commands.position = [this] { return sldDuration->value() * kMicrosecondsPerSecond; };
    // The slider's own seek, to the nearest second.
    commands.seek = [this](qint64 position) {
        return player_->seek(int(std::lround(double(position) / kMicrosecondsPerSecond)));
    };
    Mpris::connectSessionBusAhead();
    mpris_ = new Mpris(std::move(commands), this);
    // Once per turn of the event loop: a command passes through states it
    // does not stay in (Play at the end of the list is playing for a moment,
    // then stopped), and the desktop should see only where it ends.
    connect(this, &frmMain::playerChanged, this, [this] {
        if (!mprisSyncQueued_) {
            mprisSyncQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                mprisSyncQueued_ = false;
                syncMpris();
            });
        }
    });
    connect(sldVolume, &QSlider::valueChanged, mpris_,
            [this](int value) { mpris_->setVolume(double(value) / sldVolume->maximum()); });
    // Offered once the window runs, so start-up does not wait for the bus.
    QTimer::singleShot(0, mpris_, [this] { mpris_->registerOnSessionBus(); });
}

void frmMain::syncMpris() {
    mpris_->setStatus(mprisStatus(gPlayState));
    // The song is told once it plays; its length is known from then on.
    if (player_->opening())
        return;
    if (gPlayState == kStopped || !currentSong()) {
        mpris_->clearSong();
        return;
    }
    MprisSong song;
    song.id = songrecord::idOfKey(currentSong()->KeyString());
    song.title = currentSong()->Title();
    song.artist = currentSong()->Artist();
    song.genres = currentSong()->Janl().split(u'/', Qt::SkipEmptyParts);
    song.filePath = currentSong()->FilePath();
    song.lengthUs = qint64(player_->player().length() * double(kMicrosecondsPerSecond));
    song.seekable = player_->player().seekable();
    mpris_->setSong(song);
}
