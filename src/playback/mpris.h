#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class QDBusConnection;

// The desktop's media controls (media keys, panel, lock screen) reach the
// player through the MPRIS D-Bus interfaces "org.mpris.MediaPlayer2" and
// "org.mpris.MediaPlayer2.Player". This object keeps what the desktop
// reads (status, song, volume), announces each change, and passes the
// desktop's commands on; it knows no window.

// The commands the desktop may give, run as the player's own buttons run
// them. Volume is 0.0 to 1.0; positions are in microseconds. seek moves
// the song to a place within it and says whether it moved.
struct MprisCommands {
    std::function<void()> play, pause, playPause, stop, next, raise, quit;
    std::function<void(double volume)> setVolume;
    std::function<qint64()> position;
    std::function<bool(qint64 position)> seek;
};

// The song the desktop shows.
struct MprisSong {
    QString id; // the song's ID in the library
    QString title;
    QString artist;
    QStringList genres;
    QString filePath;
    qint64 lengthUs = 0;
    bool seekable = false; // the player can move its place
};

class Mpris : public QObject {
    Q_OBJECT

public:
    enum class Status { Stopped, Paused, Playing };

    static const QString kServiceName; // "org.mpris.MediaPlayer2.melodara"
    static const QString kObjectPath;  // "/org/mpris/MediaPlayer2"

    explicit Mpris(MprisCommands commands, QObject* parent = nullptr);
    ~Mpris() override;

    // Offers the interfaces on `bus`. False, without a word, when there is
    // no bus or the name is taken: the program runs as before.
    bool registerOn(const QDBusConnection& bus);
    bool registerOnSessionBus();
    // Starts connecting to the session bus on a worker: the connection is
    // most of an offer's cost, and the offer then finds it made (or waits
    // for it) instead of making it on the window's thread.
    static void connectSessionBusAhead();

    // What the desktop reads.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const { return volume_; }
    // A song that can seek is playing or paused.
    bool canSeek() const { return status_ != Status::Stopped && song_.seekable; }
    const MprisCommands& commands() const { return commands_; }

    // The desktop's seeks: by `offset` from the place (past the end is the
    // next song, before the start the start), or to `position` of the song
    // `trackId` (another song or a place outside this one: nothing).
    // Seeked follows each that moved the place.
    void seekBy(qint64 offset);
    void setPosition(const QString& trackId, qint64 position);

signals:
    void seeked(qint64 position);

public slots:
    void setStatus(Mpris::Status status);
    void setSong(const MprisSong& song);
    void clearSong();
    void setVolume(double volume);

private:
    // Sends PropertiesChanged for the player interface, with CanSeek when
    // it is no longer `couldSeek`.
    void announce(QVariantMap changed, bool couldSeek);
    void seekTo(qint64 position);

    MprisCommands commands_;
    Status status_ = Status::Stopped;
    QVariantMap metadata_;
    MprisSong song_; // what metadata_ says; empty when it says no song
    double volume_ = 0.0;
    QString busName_; // the connection offered on, once registered
};
