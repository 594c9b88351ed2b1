// The desktop's media controls over a real session bus (the suite runs
// under dbus-run-session): a client on a connection of its own plays,
// pauses, skips, stops and sets the volume of the main window playing real
// files, reads the playing song and sees every change announced.

#include "app/opening.h"
#include "audiofiles.h"
#include "mainfixture.h"
#include "playback/gstplayer.h"
#include "playback/mpris.h"
#include "playback/playstate.h"

#include <QComboBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDialog>
#include <QDir>
#include <QSlider>

namespace {

const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

// A desktop panel: calls the player and keeps each PropertiesChanged.
class Panel : public QObject {
    Q_OBJECT

public:
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
    QList<QVariantMap> changes;

    Panel() {
        bus.connect(Mpris::kServiceName, Mpris::kObjectPath, kProperties,
                    QStringLiteral("PropertiesChanged"), this,
                    SLOT(changed(QString, QVariantMap, QStringList)));
    }
    ~Panel() override { QDBusConnection::disconnectFromBus(QStringLiteral("panel")); }

    // The player answers from the test's own thread, so calls wait with
    // its events running.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& args = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            Mpris::kServiceName, Mpris::kObjectPath, interface, method);
        message.setArguments(args);
        return bus.call(message, QDBus::BlockWithGui, 5000);
    }
    QVariant get(const QString& interface, const QString& name) {
        const QDBusMessage reply = call(kProperties, QStringLiteral("Get"), {interface, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    bool set(const QString& name, const QVariant& value) {
        return call(kProperties, QStringLiteral("Set"),
                    {kPlayer, name, QVariant::fromValue(QDBusVariant(value))})
                   .type() == QDBusMessage::ReplyMessage;
    }
    QString status() { return get(kPlayer, QStringLiteral("PlaybackStatus")).toString(); }
    // The song as "trackid|title|artists|genres|url|length in ms".
    QString song() {
        QVariantMap metadata;
        get(kPlayer, QStringLiteral("Metadata")).value<QDBusArgument>() >> metadata;
        return songOf(metadata);
    }
    static QString songOf(const QVariantMap& metadata) {
        const auto list = [&](const QString& key) {
            return metadata.value(key).toStringList().join(u',');
        };
        return QStringList{
            metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
            metadata.value(QStringLiteral("xesam:title")).toString(),
            list(QStringLiteral("xesam:artist")),
            list(QStringLiteral("xesam:genre")),
            metadata.value(QStringLiteral("xesam:url")).toString(),
            QString::number(
                qRound64(metadata.value(QStringLiteral("mpris:length")).toLongLong() / 1000.0))}
            .join(u'|');
    }
    // The announced values of `name`, in order, as text.
    QStringList announced(const QString& name) const {
        QStringList out;
        for (const QVariantMap& change : changes) {
            if (!change.contains(name))
                continue;
            const QVariant value = change.value(name);
            if (name == u"Metadata") {
                QVariantMap metadata;
                value.value<QDBusArgument>() >> metadata;
                out << songOf(metadata);
            } else {
                out << value.toString();
            }
        }
        return out;
    }

public slots:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList&) {
        if (interface == kPlayer)
            changes << properties;
    }
};

class TestMainMpris : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmOpening::setInterval(0); }

    // Without a bus, or with the name taken, the object stays quiet and
    // the program runs on.
    void withoutTheBusNothingIsOffered() {
        Mpris quiet({});
        QVERIFY(!quiet.registerOn(QDBusConnection(QStringLiteral("no such bus"))));
        quiet.setStatus(Mpris::Status::Playing);
        QCOMPARE(quiet.playbackStatus(), QStringLiteral("Playing"));
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        QDBusConnection other =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        QVERIFY(other.registerService(Mpris::kServiceName));
        Mpris second({});
        QVERIFY(!second.registerOn(QDBusConnection::sessionBus()));
        other.unregisterService(Mpris::kServiceName);
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }

    void panelControlsThePlayer() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        MainFixture f;
        QVERIFY(QDir().mkpath(f.lib.folder() + QStringLiteral("/music")));
        const QString a = f.lib.folder() + QStringLiteral("/music/a.mp3"),
                      b = f.lib.folder() + QStringLiteral("/music/b.mp3");
        QVERIFY(audiofiles::writeWav(a, 2.0));
        QVERIFY(audiofiles::writeWav(b, 3.0));
        TempLibrary::Fields fields;
        fields.artist = f.lib.addArtist(QStringLiteral("アーティスト"));
        fields.genres[0] = f.lib.addGenre(QStringLiteral("ロック"));
        fields.genres[1] = f.lib.addGenre(QStringLiteral("ポップ"));
        f.lib.addSong(QStringLiteral("a"), fields);
        f.lib.addSong(QStringLiteral("b"));
        frmMain* w = f.start(new GstPlayer(QStringLiteral("fakesink sync=true")));
        QVERIFY(w);
        w->cboHowToPlay->setCurrentIndex(1); // program play: a, then b
        QTRY_VERIFY(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(Mpris::kServiceName));

        Panel panel;
        QCOMPARE(panel.get(kRoot, QStringLiteral("Identity")).toString(),
                 QStringLiteral("Melodara Player"));
        QCOMPARE(panel.get(kRoot, QStringLiteral("DesktopEntry")).toString(),
                 QStringLiteral("melodara-player"));
        QString abilities;
        for (const QString& name : {QStringLiteral("CanPlay"), QStringLiteral("CanPause"),
                                    QStringLiteral("CanGoNext"), QStringLiteral("CanControl"),
                                    QStringLiteral("CanGoPrevious"), QStringLiteral("CanSeek")})
            abilities += panel.get(kPlayer, name).toBool() ? u'1' : u'0';
        QCOMPARE(abilities, QStringLiteral("111100"));
        QCOMPARE(panel.status(), QStringLiteral("Stopped"));
        const QString none = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack|||||0");
        QCOMPARE(panel.song(), none);

        const QString songA =
            QStringLiteral(
                "/org/mpris/MediaPlayer2/melodara/song/1|a|アーティスト|ロック,ポップ|") +
            QUrl::fromLocalFile(a).toString() + QStringLiteral("|2000");
        const QString songB =
            QStringLiteral("/org/mpris/MediaPlayer2/melodara/song/2|b|指定無し|指定無し|") +
            QUrl::fromLocalFile(b).toString() + QStringLiteral("|3000");
        // Each command as the buttons run it; Pause and Play leave a state
        // they do not apply to alone, Previous does nothing, and program
        // play stopped after the last song has no next one to start.
        const QList<std::tuple<QString, int, QString, QString>> steps = {
            {QStringLiteral("Play"), kPlaying, QStringLiteral("Playing"), songA},
            {QStringLiteral("Play"), kPlaying, QStringLiteral("Playing"), songA},
            {QStringLiteral("Pause"), kPaused, QStringLiteral("Paused"), songA},
            {QStringLiteral("Pause"), kPaused, QStringLiteral("Paused"), songA},
            {QStringLiteral("PlayPause"), kPlaying, QStringLiteral("Playing"), songA},
            {QStringLiteral("Previous"), kPlaying, QStringLiteral("Playing"), songA},
            {QStringLiteral("Next"), kPlaying, QStringLiteral("Playing"), songB},
            {QStringLiteral("PlayPause"), kPaused, QStringLiteral("Paused"), songB},
            {QStringLiteral("Stop"), kStopped, QStringLiteral("Stopped"), none},
            {QStringLiteral("Play"), kStopped, QStringLiteral("Stopped"), none},
        };
        for (const auto& [method, state, status, song] : steps) {
            QVERIFY(panel.call(kPlayer, method).type() == QDBusMessage::ReplyMessage);
            // A start is done once the player has opened the file.
            QTRY_COMPARE(gPlayState, state);
            QTRY_COMPARE(panel.status(), status);
            QTRY_COMPARE(panel.song(), song);
        }
        QTRY_COMPARE(panel.announced(QStringLiteral("PlaybackStatus")),
                     QStringList({QStringLiteral("Playing"), QStringLiteral("Paused"),
                                  QStringLiteral("Playing"), QStringLiteral("Paused"),
                                  QStringLiteral("Stopped")}));
        QCOMPARE(panel.announced(QStringLiteral("Metadata")), QStringList({songA, songB, none}));

        // The volume: 0.0 to 1.0 over the slider's 0 to 8000, both ways.
        QVERIFY(panel.set(QStringLiteral("Volume"), 0.25));
        QCOMPARE(w->sldVolume->value(), 2000);
        QVERIFY(panel.set(QStringLiteral("Volume"), 7.0));
        QCOMPARE(w->sldVolume->value(), 8000);
        w->sldVolume->setValue(0);
        QCOMPARE(panel.get(kPlayer, QStringLiteral("Volume")).toDouble(), 0.0);
        QTRY_COMPARE(
            panel.announced(QStringLiteral("Volume")).mid(0, 3),
            QStringList({QStringLiteral("0.25"), QStringLiteral("1"), QStringLiteral("0")}));

        // Quit waits for an open dialog; then it closes the window, which
        // stops the player and saves the settings.
        QDialog dialog(w);
        dialog.open();
        QTRY_COMPARE(QApplication::activeModalWidget(), &dialog);
        panel.call(kRoot, QStringLiteral("Quit"));
        QVERIFY(w->isVisible());
        dialog.close();
        panel.call(kRoot, QStringLiteral("Quit"));
        QTRY_VERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestMainMpris)
#include "tst_mainmpris.moc"
