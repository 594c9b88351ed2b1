#pragma once

#include "data/song.h"
#include "playback/crossfade.h"
#include "playback/songchooser.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

class MediaPlayer;
class SongListModel;

// Plays the set list: the player state (gPlayState mirrors it), the song
// chosen and handed to the player, the one-second tick that counts a play
// once more than half of the song has been played, and moving on when a
// song ends or cannot be played. The count is of seconds actually played,
// not of the place in the song: a seek to the end counts nothing, and a
// seek back does not count the song twice. Windows and other remote controls call the
// commands and show what the signals say.
//
// With a crossfade set, the next song is chosen and started on a second
// player before the playing one ends, and the two fade across (Crossfade).
// That handover is the playing song's end: its count is settled, the next
// song is the current one, and every command acts on it and silences the
// fading one at once.
//
// A song that cannot be played (missing, not audio, failing part-way) is
// marked in the list with the reason and skipped without a box; when
// kFailuresToStop songs in a row fail, or every song is marked, playing
// stops and message 17 says so once, with the file and the reason.
class PlayerControl : public QObject {
    Q_OBJECT

public:
    enum class StopReason {
        Command,        // stop, or a command that starts again
        EndOfList,      // program play finished the last song
        NothingToPlay,  // the set list has no song to draw
        Failures,       // kFailuresToStop songs in a row could not be played
        AllUnplayable,  // every song of the set list is marked unplayable
        CountNotStored, // the play count could not be written
    };
    Q_ENUM(StopReason)

    static constexpr int kFailuresToStop = 5;
    static constexpr int kTickMs = 1000;
    // How often the levels of a fade are set.
    static constexpr int kFadeStepMs = 50;

    // `list`: the songs shown, for list order and the rows the control
    // rewrites and marks.
    PlayerControl(MediaPlayer& player, SongListModel& list, QObject* parent = nullptr);

    // The set list songs are drawn from, and the play mode.
    void setSetList(const QString& name) { chooser_.setSetList(name); }
    const QString& setList() const { return chooser_.setList(); }
    void setPlayMode(const QString& mode) { chooser_.setPlayMode(mode); }
    const QString& playMode() const { return chooser_.playMode(); }
    // The set list was read again without changing (an edit): the draws
    // read its songs again; the playing song plays on.
    void reloaded() { chooser_.reload(); }
    // The overall volume (the slider, 0 to 8000); each song's correction
    // is added to it.
    void setVolume(int volume);
    int volume() const { return volume_; }
    // Seconds the next song overlaps the playing one's end; 0, the
    // default, plays each song to its end first.
    void setCrossfade(int seconds) { fade_.setSeconds(seconds); }
    int crossfade() const { return fade_.seconds(); }
    const Crossfade& fade() const { return fade_; }

    // Commands. toggle plays (from `key` when given and stopped), pauses
    // or resumes, by the state; play and pause do only that.
    void toggle(const QString& key = QString());
    void play();
    void pause();
    void stop();
    void next();
    // Stops, then plays the song of the list key.
    void playKey(const QString& key);
    // The one-second step: the position and the play count.
    void tick();
    // Moves the playing or paused song to `seconds` (clamped to the song).
    // False when nothing is open or the player refuses; positionChanged
    // then says the place it stays at.
    bool seek(int seconds);

    int state() const { return state_; }
    // A song was chosen and its file is being opened: it has not started.
    bool opening() const { return opening_; }
    const std::optional<Song>& currentSong() const { return current_; }
    // The playing song's record after an edit; false when `song` is not it.
    bool followEdit(const Song& song);
    bool counted() const { return counted_; }
    // Seconds counted since the song started, and the length they run to.
    int position() const { return position_; }
    int maximum() const { return maximum_; }
    // Seconds of the song played so far, whatever seeks moved its place.
    int played() const { return played_; }
    // Why a song (bare ID) was marked unplayable; empty when it was not.
    QString unplayableReason(const QString& id) const { return chooser_.reason(id); }
    QTimer& timer() { return timer_; }
    // The player of the current song (after a crossfade, the second one).
    const MediaPlayer& player() const { return *player_; }

    // The player's volume in hundredths of a decibel for the program's
    // volume v (0 to 10000) on the desktop's perceptual curve: amplitude
    // (v / 10000)^3, so 4000 is about -24 dB and 8000 about -6 dB.
    static int playerVolume(int v);

signals:
    // The song plays: its file opened and the player started.
    void songStarted(const Song& song);
    void stateChanged(int state);
    void positionChanged(int seconds, int maximum);
    // The song could not be played and was passed over.
    void songSkipped(const Song& song, const QString& reason);
    void stopped(PlayerControl::StopReason reason);

private:
    void setState(int state);
    void connectToPlayer(MediaPlayer& player);
    void startSong(const QString& key);
    void playSong(const Song& song);
    void handOver();
    void stepFade();
    void endFade();
    // Seconds since the incoming song of a fade started; 0 before.
    double fadeElapsed() const {
        return fadeClock_.isValid() ? double(fadeClock_.nsecsElapsed()) / 1e9 : 0.0;
    }
    void pauseSong();
    void resumeSong();
    void endPlay(StopReason reason);
    void onOpened();
    void onEndOfStream();
    void onPlayerError();
    void skip(const QString& reason);
    void countPlay();
    bool storeCount();
    void applyVolume();
    void setMaximum(double seconds);
    void showPosition() { emit positionChanged(position_, maximum_); }

    MediaPlayer* player_;          // the current song's
    MediaPlayer* other_ = nullptr; // made at the first handover; the fading song's
    SongListModel& list_;
    SongChooser chooser_;
    QTimer timer_; // tmDuration
    std::optional<Song> current_;
    int state_;
    int volume_ = 0;
    int level_ = 0;         // the current song's level unfaded, hundredths of a decibel
    int outgoingLevel_ = 0; // the fading song's
    int outgoingCorrection_ = 0;
    Crossfade fade_;
    QTimer fadeStep_;
    QElapsedTimer fadeClock_; // from the incoming song's start
    bool handedOver_ = false; // the current song has had its handover (or declined one)
    bool counted_ = false;
    bool opening_ = false; // the player has not answered the open yet
    bool started_ = false; // the current song has started playing
    int position_ = 0;
    int played_ = 0;
    int maximum_ = 0;     // the last known length; 0 until one is
    int failures_ = 0;    // songs in a row that could not be played
    QString lastFailure_; // the file and reason of the last of them
};
