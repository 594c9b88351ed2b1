// The desktop's media controls over a real session bus (the suite runs
// under dbus-run-session): a client on a connection of its own plays,
// pauses, skips, stops, seeks and sets the volume of the main window playing
// real files, reads the playing song and sees every change announced.

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
    QList<qlonglong> seeks; // each Seeked position

    Panel() {
        bus.connect(Mpris::kServiceName, Mpris::kObjectPath, kProperties,
                    QStringLiteral("PropertiesChanged"), this,
                    SLOT(changed(QString, QVariantMap, QStringList)));
        bus.connect(Mpris::kServiceName, Mpris::kObjectPath, kPlayer, QStringLiteral("Seeked"),
                    this, SLOT(seeked(qlonglong)));
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
        const auto list = [&](const char* key) {
            return metadata.value(QString::fromLatin1(key)).toStringList().join(u',');
        };
        return QStringList{
            metadata.value("mpris:trackid").value<QDBusObjectPath>().path(),
            metadata.value("xesam:title").toString(),
            list("xesam:artist"),
            list("xesam:genre"),
            metadata.value("xesam:url").toString(),
            QString::number(qRound64(metadata.value("mpris:length").toLongLong() / 1000.0))}
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
    void seeked(qlonglong position) { seeks << position; }
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
        QVERIFY(QDir().mkpath(f.lib.folder() + "/music"));
        const QString a = f.lib.folder() + "/music/a.mp3", b = f.lib.folder() + "/music/b.mp3";
        QVERIFY(audiofiles::writeWav(a, 30.0));
        QVERIFY(audiofiles::writeWav(b, 3.0));
        TempLibrary::Fields fields;
        fields.artist = f.lib.addArtist("アーティスト");
        fields.genres[0] = f.lib.addGenre("ロック");
        fields.genres[1] = f.lib.addGenre("ポップ");
        f.lib.addSong("a", fields);
        f.lib.addSong("b");
        frmMain* w = f.start(new GstPlayer(QStringLiteral("fakesink sync=true")));
        QVERIFY(w);
        w->cboHowToPlay->setCurrentIndex(1); // program play: a, then b
        QTRY_VERIFY(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(Mpris::kServiceName));

        Panel panel;
        QCOMPARE(panel.get(kRoot, "Identity").toString(), QStringLiteral("Melodara Player"));
        QCOMPARE(panel.get(kRoot, "DesktopEntry").toString(), QStringLiteral("melodara-player"));
        QString abilities;
        for (const char* name :
             {"CanPlay", "CanPause", "CanGoNext", "CanControl", "CanGoPrevious", "CanSeek"})
            abilities += panel.get(kPlayer, name).toBool() ? '1' : '0';
        QCOMPARE(abilities, QStringLiteral("111100"));
        QCOMPARE(panel.status(), QStringLiteral("Stopped"));
        const QString none = "/org/mpris/MediaPlayer2/TrackList/NoTrack|||||0";
        QCOMPARE(panel.song(), none);

        const QString songA =
            "/org/mpris/MediaPlayer2/melodara/song/1|a|アーティスト|ロック,ポップ|" +
            QUrl::fromLocalFile(a).toString() + "|30000";
        const QString songB = "/org/mpris/MediaPlayer2/melodara/song/2|b|指定無し|指定無し|" +
                              QUrl::fromLocalFile(b).toString() + "|3000";
        // Each command as the buttons run it; Pause and Play leave a state
        // they do not apply to alone, Previous does nothing, and program
        // play stopped after the last song has no next one to start.
        const QList<std::tuple<const char*, int, QString, QString>> steps = {
            {"Play", kPlaying, "Playing", songA},      {"Play", kPlaying, "Playing", songA},
            {"Pause", kPaused, "Paused", songA},       {"Pause", kPaused, "Paused", songA},
            {"PlayPause", kPlaying, "Playing", songA}, {"Previous", kPlaying, "Playing", songA},
            {"Next", kPlaying, "Playing", songB},      {"PlayPause", kPaused, "Paused", songB},
            {"Stop", kStopped, "Stopped", none},       {"Play", kStopped, "Stopped", none},
        };
        for (const auto& [method, state, status, song] : steps) {
            QVERIFY(panel.call(kPlayer, method).type() == QDBusMessage::ReplyMessage);
            // A start is done once the player has opened the file.
            QTRY_COMPARE(gPlayState, state);
            QTRY_COMPARE(panel.status(), status);
            QTRY_COMPARE(panel.song(), song);
        }
        QTRY_COMPARE(panel.announced("PlaybackStatus"),
                     QStringList({"Playing", "Paused", "Playing", "Paused", "Stopped"}));
        QCOMPARE(panel.announced("Metadata"), QStringList({songA, songB, none}));

        // Seeking, as the slider seeks: to a place of the playing song by
        // its track ID, or by an offset (before the start is the start,
        // past the end the next song). Another track's ID or a place
        // outside the song moves nothing; each seek that moved is told.
        QVERIFY(!panel.get(kPlayer, "CanSeek").toBool());
        panel.call(kPlayer, "Play");
        QTRY_COMPARE(panel.song(), songA);
        QVERIFY(panel.get(kPlayer, "CanSeek").toBool());
        const auto at = [](const char* id, qlonglong us) {
            return QVariantList{QVariant::fromValue(QDBusObjectPath(
                                    QStringLiteral("/org/mpris/MediaPlayer2/melodara/song/") + id)),
                                us};
        };
        panel.call(kPlayer, "SetPosition", at("2", 5000000));
        panel.call(kPlayer, "SetPosition", at("1", 31000000));
        panel.call(kPlayer, "SetPosition", at("1", -1));
        panel.call(kPlayer, "SetPosition", at("1", 10000000));
        QTRY_COMPARE(panel.seeks, QList<qlonglong>({10000000}));
        QCOMPARE(w->sldDuration->value(), 10);
        panel.call(kPlayer, "SetPosition", at("1", 20400000)); // to the second
        panel.call(kPlayer, "Seek", {qlonglong(-25000000)});
        QTRY_COMPARE(panel.seeks, QList<qlonglong>({10000000, 20000000, 0}));
        panel.call(kPlayer, "Seek", {qlonglong(60000000)});
        QTRY_COMPARE(panel.song(), songB);
        QCOMPARE(panel.seeks.size(), 3);
        panel.call(kPlayer, "Stop");
        QTRY_COMPARE(panel.status(), QStringLiteral("Stopped"));
        QVERIFY(!panel.get(kPlayer, "CanSeek").toBool());
        QTRY_COMPARE(panel.announced("CanSeek"), QStringList({"true", "false", "true", "false"}));

        // The volume: 0.0 to 1.0 over the slider's 0 to 8000, both ways.
        QVERIFY(panel.set("Volume", 0.25));
        QCOMPARE(w->sldVolume->value(), 2000);
        QVERIFY(panel.set("Volume", 7.0));
        QCOMPARE(w->sldVolume->value(), 8000);
        w->sldVolume->setValue(0);
        QCOMPARE(panel.get(kPlayer, "Volume").toDouble(), 0.0);
        QTRY_COMPARE(panel.announced("Volume").mid(0, 3), QStringList({"0.25", "1", "0"}));

        // Quit waits for an open dialog; then it closes the window, which
        // stops the player and saves the settings.
        QDialog dialog(w);
        dialog.open();
        QTRY_COMPARE(QApplication::activeModalWidget(), &dialog);
        panel.call(kRoot, "Quit");
        QVERIFY(w->isVisible());
        dialog.close();
        panel.call(kRoot, "Quit");
        QTRY_VERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestMainMpris)
#include "tst_mainmpris.moc"
