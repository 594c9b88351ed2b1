#include "playback/playercontrol.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "data/adoconnector.h"
#include "data/songrecord.h"
#include "playback/mediaplayer.h"
#include "playback/playstate.h"
#include "songlist/songlist.h"
#include "songlist/songlistmodel.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

PlayerControl::PlayerControl(MediaPlayer& player, SongListModel& list, QObject* parent)
    : QObject(parent), player_(&player), list_(list), state_(kStopped), level_(player.volume()) {
    timer_.setObjectName(QStringLiteral("tmDuration"));
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &PlayerControl::tick);
    fadeStep_.setInterval(kFadeStepMs);
    connect(&fadeStep_, &QTimer::timeout, this, &PlayerControl::stepFade);
    connectToPlayer(player);
    gPlayState = kStopped;
}

// Both players report here; only the current song's answers drive the
// control. The fading song's end or failure ends the fade.
void PlayerControl::connectToPlayer(MediaPlayer& player) {
    MediaPlayer* p = &player;
    connect(p, &MediaPlayer::opened, this, [this, p] {
        if (p == player_)
            onOpened();
    });
    connect(p, &MediaPlayer::endOfStream, this, [this, p] {
        if (p == player_)
            onEndOfStream();
        else
            endFade();
    });
    connect(p, &MediaPlayer::errorOccurred, this, [this, p] {
        if (p == player_)
            onPlayerError();
        else
            endFade();
    });
    connect(p, &MediaPlayer::lengthChanged, this, [this, p] {
        if (p != player_ || state_ == kStopped || opening_)
            return;
        setMaximum(player_->length());
        showPosition();
    });
}

int PlayerControl::playerVolume(int v) {
    // 20 log10((v / 10000)^3) dB, in hundredths.
    if (v <= 0)
        return -10000;
    return std::max(-10000, int(std::lround(6000.0 * std::log10(v / 10000.0))));
}

void PlayerControl::setVolume(int volume) {
    volume_ = volume;
    const int outgoing = volume_ + outgoingCorrection_;
    if (fade_.active() && outgoing >= 0 && outgoing <= 10000)
        outgoingLevel_ = playerVolume(outgoing);
    applyVolume();
}

// A sum outside 0 to 10000 is not applied: the player keeps its volume
// (during a fade, the level it had, faded).
void PlayerControl::applyVolume() {
    const int v = volume_ + (current_ ? current_->Volume() : 0);
    const bool inRange = v >= 0 && v <= 10000;
    if (inRange)
        level_ = playerVolume(v);
    if (inRange || fade_.active())
        player_->setVolume(Crossfade::faded(level_, fade_.at(fadeElapsed()).in));
}

void PlayerControl::setState(int state) {
    gPlayState = state;
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged(state);
}

// --- commands ---

void PlayerControl::toggle(const QString& key) {
    switch (state_) {
    case kStopped:
        if (list_.count() == 0)
            return;
        failures_ = 0;
        setState(kPlaying);
        startSong(key);
        break;
    case kPaused:
        setState(kPlaying);
        resumeSong();
        break;
    default:
        setState(kPaused);
        pauseSong();
        break;
    }
}

void PlayerControl::play() {
    if (state_ != kPlaying)
        toggle();
}

void PlayerControl::pause() {
    if (state_ == kPlaying)
        toggle();
}

void PlayerControl::stop() {
    endPlay(StopReason::Command);
}

void PlayerControl::next() {
    if (list_.count() == 0)
        return;
    endFade();
    position_ = 0;
    player_->stop();
    timer_.stop();
    opening_ = false;
    failures_ = 0;
    setState(kPlaying);
    startSong(QString());
}

void PlayerControl::playKey(const QString& key) {
    stop();
    toggle(key);
}

// --- the song ---

// Chooses the song and hands it to the player; the player's answer goes
// on in onOpened, or in onPlayerError.
void PlayerControl::startSong(const QString& key) {
    timer_.stop();
    Song song;
    switch (chooser_.choose(key, list_, song)) {
    case SongChooser::Outcome::EndOfList:
        // The next Play starts again from the top.
        lvResetLastKey();
        return endPlay(StopReason::EndOfList);
    case SongChooser::Outcome::NothingToPlay:
        return endPlay(StopReason::NothingToPlay);
    case SongChooser::Outcome::AllUnplayable:
        endPlay(StopReason::AllUnplayable);
        msgbox::show(MessageText(Msg::PlayFailed) + QStringLiteral("\n\n") + lastFailure_, 0,
                     kDefaultMessageTitle);
        return;
    case SongChooser::Outcome::Chosen:
        break;
    }
    playSong(song);
}

void PlayerControl::playSong(const Song& song) {
    current_ = song;
    handedOver_ = false;
    started_ = false;
    counted_ = false;
    position_ = 0;
    played_ = 0;
    showPosition();
    // The volume goes first, so the buffer decoded while opening already
    // has the song's level.
    applyVolume();
    opening_ = true;
    player_->open(song.FilePath());
}

void PlayerControl::onOpened() {
    if (!opening_ || state_ == kStopped)
        return;
    opening_ = false;
    setMaximum(player_->length());
    showPosition();
    // Paused while it opened: resuming starts it.
    if (state_ == kPlaying)
        resumeSong();
}

void PlayerControl::pauseSong() {
    endFade();
    player_->pause();
    timer_.stop();
}

void PlayerControl::resumeSong() {
    if (opening_)
        return; // the open's answer starts it
    if (!player_->start())
        return skip(player_->lastError());
    timer_.start();
    if (started_ || !current_)
        return;
    started_ = true;
    if (fade_.phase() == Crossfade::Phase::Handing) {
        fade_.started(player_->length());
        fadeClock_.start();
        fadeStep_.start();
    }
    failures_ = 0;
    chooser_.played(*current_);
    const QString id = songrecord::idOfKey(current_->KeyString());
    if (chooser_.isMarked(id)) {
        // Played by its key after all: the file is back.
        chooser_.unmark(id);
        list_.setUnplayable(songrecord::keyOf(id), QString());
    }
    emit songStarted(*current_);
}

void PlayerControl::endPlay(StopReason reason) {
    endFade();
    position_ = 0;
    player_->stop();
    timer_.stop();
    opening_ = false;
    setState(kStopped);
    showPosition();
    emit stopped(reason);
}

void PlayerControl::onEndOfStream() {
    if (state_ == kStopped)
        return;
    endFade();
    timer_.stop();
    position_ = 0;
    showPosition();
    setState(kPlaying);
    startSong(QString());
}

void PlayerControl::onPlayerError() {
    if (state_ == kStopped)
        return;
    skip(player_->lastError());
}

// The song cannot be played: marked, passed over, and the next one
// chosen, until too many fail in a row.
void PlayerControl::skip(const QString& reason) {
    timer_.stop();
    opening_ = false;
    player_->stop();
    const Song song = current_.value_or(Song());
    const QString id = songrecord::idOfKey(song.KeyString());
    qWarning("Cannot play %s: %s", qPrintable(song.FilePath()), qPrintable(reason));
    if (!id.isEmpty()) {
        chooser_.mark(id, reason);
        list_.setUnplayable(songrecord::keyOf(id), reason);
    }
    lastFailure_ = song.FilePath() + QLatin1Char('\n') + reason;
    emit songSkipped(song, reason);
    if (++failures_ >= kFailuresToStop) {
        endPlay(StopReason::Failures);
        msgbox::show(MessageText(Msg::PlayFailed) + QStringLiteral("\n\n") + lastFailure_, 0,
                     kDefaultMessageTitle);
        return;
    }
    position_ = 0;
    startSong(QString());
}

// --- the tick ---

void PlayerControl::tick() {
    // The count holds at the length if it gets there before the player
    // reports the end.
    if (position_ < maximum_)
        ++position_;
    ++played_;
    showPosition();
    if (!counted_ && current_ && double(played_) > double(maximum_) / 2.0) {
        countPlay();
        if (state_ == kStopped)
            return;
    }
    if (!handedOver_ && state_ == kPlaying && !opening_ && fade_.due(position_, maximum_))
        handOver();
}

// --- the crossfade ---

// The playing song's end, as far as counting and commands go: the next
// song is chosen and opened on the other player, silent, while this one
// plays on at its level. When there is no next song to start (the end of
// the list, nothing left to draw) this one plays to its end as without a
// crossfade.
void PlayerControl::handOver() {
    handedOver_ = true;
    Song song;
    if (chooser_.choose(QString(), list_, song) != SongChooser::Outcome::Chosen)
        return;
    endFade(); // one still under way from a very short song
    if (!other_) {
        other_ = player_->twin(this);
        connectToPlayer(*other_);
    }
    std::swap(player_, other_);
    outgoingLevel_ = level_;
    outgoingCorrection_ = current_ ? current_->Volume() : 0;
    fade_.handOver(maximum_);
    fadeClock_.invalidate();
    timer_.stop();
    position_ = 0;
    showPosition();
    playSong(song);
}

void PlayerControl::stepFade() {
    const double elapsed = fadeElapsed();
    if (fade_.done(elapsed))
        return endFade();
    const Crossfade::Gains gains = fade_.at(elapsed);
    other_->setVolume(Crossfade::faded(outgoingLevel_, gains.out));
    player_->setVolume(Crossfade::faded(level_, gains.in));
}

// The fading song is silenced and the current one is at its full level.
void PlayerControl::endFade() {
    if (!fade_.active())
        return;
    fadeStep_.stop();
    fadeClock_.invalidate();
    fade_.end();
    other_->stop();
    player_->setVolume(level_);
}

bool PlayerControl::seek(int seconds) {
    if (state_ == kStopped || opening_ || !current_ || maximum_ <= 0) {
        showPosition();
        return false;
    }
    seconds = std::clamp(seconds, 0, maximum_);
    if (!player_->seek(seconds)) {
        showPosition();
        return false;
    }
    position_ = seconds;
    showPosition();
    return true;
}

void PlayerControl::countPlay() {
    counted_ = true;
    current_->setCount(current_->Count() + 1);
    lvSetSongItem(*current_, list_, false);
    // A failed write shows the connector's box, which runs the event loop:
    // no tick or player event may run under it, or each would stack
    // another box on the last.
    timer_.stop();
    bool written;
    {
        const QSignalBlocker quietPlayer(player_);
        const QSignalBlocker quietFading(other_);
        written = storeCount();
    }
    if (written || gConnector->wasBusy()) {
        // Long work holds the library: count again at the next tick.
        if (!written) {
            counted_ = false;
            current_->setCount(current_->Count() - 1);
            lvSetSongItem(*current_, list_, false);
        }
        timer_.start();
        return;
    }
    // Playing that cannot keep its counts stops after that one box, and
    // the list shows the count the library holds.
    current_->setCount(current_->Count() - 1);
    lvSetSongItem(*current_, list_, false);
    endPlay(StopReason::CountNotStored);
}

bool PlayerControl::storeCount() {
    return gConnector->adoSetData(Write::UpdateSong, songrecord::songParams(*current_));
}

// A length of 0 (unknown) keeps the last one.
void PlayerControl::setMaximum(double seconds) {
    const int whole = int(std::lround(seconds));
    if (whole == 0)
        return;
    maximum_ = whole;
    position_ = std::min(position_, maximum_);
}

bool PlayerControl::followEdit(const Song& song) {
    if (!current_ ||
        songrecord::listKey(song.KeyString()) != songrecord::listKey(current_->KeyString()))
        return false;
    current_ = song;
    applyVolume();
    return true;
}
