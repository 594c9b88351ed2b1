#include "playback/mpris.h"

#include "playback/mprisadaptors.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QThreadPool>
#include <QUrl>

#include <algorithm>

const QString Mpris::kServiceName = QStringLiteral("org.mpris.MediaPlayer2.melodara");
const QString Mpris::kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// The track ID the interface names for "no song".
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

QVariantMap noSong() {
    return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(kNoTrack))}};
}

} // namespace

Mpris::Mpris(MprisCommands commands, QObject* parent)
    : QObject(parent), commands_(std::move(commands)), metadata_(noSong()) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

Mpris::~Mpris() {
    if (busName_.isEmpty())
        return;
    QDBusConnection bus(busName_);
    bus.unregisterService(kServiceName);
    bus.unregisterObject(kObjectPath);
}

bool Mpris::registerOn(const QDBusConnection& bus) {
    if (!bus.isConnected() || !busName_.isEmpty())
        return false;
    QDBusConnection offered(bus);
    if (!offered.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    if (!offered.registerService(kServiceName)) {
        offered.unregisterObject(kObjectPath);
        return false;
    }
    busName_ = offered.name();
    return true;
}

void Mpris::connectSessionBusAhead() {
    QThreadPool::globalInstance()->start([] { QDBusConnection::sessionBus(); });
}

bool Mpris::registerOnSessionBus() {
    return registerOn(QDBusConnection::sessionBus());
}

QString Mpris::playbackStatus() const {
    switch (status_) {
    case Status::Playing:
        return QStringLiteral("Playing");
    case Status::Paused:
        return QStringLiteral("Paused");
    case Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap Mpris::metadata() const {
    return metadata_;
}

void Mpris::setStatus(Mpris::Status status) {
    if (status == status_)
        return;
    const bool couldSeek = canSeek();
    status_ = status;
    announce({{QStringLiteral("PlaybackStatus"), playbackStatus()}}, couldSeek);
}

void Mpris::setSong(const MprisSong& song) {
    const QVariantMap metadata{
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(
             QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/melodara/song/") + song.id))},
        {QStringLiteral("xesam:title"), song.title},
        {QStringLiteral("xesam:artist"), QStringList{song.artist}},
        {QStringLiteral("xesam:genre"), song.genres},
        {QStringLiteral("xesam:url"), QUrl::fromLocalFile(song.filePath).toString()},
        {QStringLiteral("mpris:length"), qint64(song.lengthUs)},
    };
    const bool couldSeek = canSeek();
    song_ = song;
    if (metadata == metadata_)
        return announce({}, couldSeek);
    metadata_ = metadata;
    announce({{QStringLiteral("Metadata"), metadata_}}, couldSeek);
}

void Mpris::clearSong() {
    const bool couldSeek = canSeek();
    song_ = MprisSong();
    if (metadata_ == noSong())
        return announce({}, couldSeek);
    metadata_ = noSong();
    announce({{QStringLiteral("Metadata"), metadata_}}, couldSeek);
}

void Mpris::setVolume(double volume) {
    volume = std::clamp(volume, 0.0, 1.0);
    if (volume == volume_)
        return;
    volume_ = volume;
    announce({{QStringLiteral("Volume"), volume_}}, canSeek());
}

void Mpris::seekBy(qint64 offset) {
    if (!canSeek() || !commands_.position)
        return;
    const qint64 to = std::max<qint64>(0, commands_.position() + offset);
    if (to > song_.lengthUs) {
        if (commands_.next)
            commands_.next();
        return;
    }
    seekTo(to);
}

void Mpris::setPosition(const QString& trackId, qint64 position) {
    if (!canSeek() || position < 0 || position > song_.lengthUs ||
        metadata_.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path() != trackId)
        return;
    seekTo(position);
}

void Mpris::seekTo(qint64 position) {
    if (commands_.seek && commands_.seek(position))
        emit seeked(commands_.position ? commands_.position() : position);
}

void Mpris::announce(QVariantMap changed, bool couldSeek) {
    if (canSeek() != couldSeek)
        changed.insert(QStringLiteral("CanSeek"), canSeek());
    if (busName_.isEmpty() || changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection(busName_).send(signal);
}
