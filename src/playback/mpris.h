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
// them. Volume is 0.0 to 1.0; position is in microseconds.
struct MprisCommands {
    std::function<void()> play, pause, playPause, stop, next, raise, quit;
    std::function<void(double volume)> setVolume;
    std::function<qint64()> position;
};

// The song the desktop shows.
struct MprisSong {
    QString id; // the song's ID in the library
    QString title;
    QString artist;
    QStringList genres;
    QString filePath;
    qint64 lengthUs = 0;
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
    const MprisCommands& commands() const { return commands_; }

public slots:
    void setStatus(Mpris::Status status);
    void setSong(const MprisSong& song);
    void clearSong();
    void setVolume(double volume);

private:
    // Sends PropertiesChanged for the player interface.
    void announce(const QVariantMap& changed);

    MprisCommands commands_;
    Status status_ = Status::Stopped;
    QVariantMap metadata_;
    double volume_ = 0.0;
    QString busName_; // the connection offered on, once registered
};
