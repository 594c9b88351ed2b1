// The real GStreamer player, headless, on files written by the test.

#include "audiofiles.h"
#include "playback/gstplayer.h"
#include "testgate.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestGstPlayer : public QObject {
    Q_OBJECT

    QString file(const QString& name) const { return dir_.path() + QStringLiteral("/") + name; }

    // Opens `source` and waits for the player's answer: true when opened.
    static bool open(GstPlayer& player, const QString& source) {
        QSignalSpy opened(&player, &MediaPlayer::opened);
        QSignalSpy failed(&player, &MediaPlayer::errorOccurred);
        player.open(source);
        return QTest::qWaitFor([&] { return !opened.isEmpty() || !failed.isEmpty(); }, 30000) &&
               !opened.isEmpty();
    }

    // The level of `source` played at `volume`, captured to a WAV file.
    double capturedLevel(const QString& source, int volume) {
        const QString out = file(QStringLiteral("captured%1.wav").arg(-volume));
        {
            GstPlayer player(
                QStringLiteral("audioconvert ! audio/x-raw,format=S16LE ! wavenc ! filesink "
                               "location=\"") +
                out + QStringLiteral("\""));
            player.setVolume(volume);
            QSignalSpy ended(&player, &MediaPlayer::endOfStream);
            if (!open(player, source) || !player.start() || !ended.wait(10000))
                return -1;
        }
        return audiofiles::wavLevel(out);
    }

private slots:
    void initTestCase() {
        testgate::registerElement();
        QVERIFY(audiofiles::writeWav(file(QStringLiteral("tone.wav")), 2.0));
        QVERIFY(audiofiles::writeWav(file(QStringLiteral("long.wav")), 4.0));
        QVERIFY(audiofiles::writeAiff(file(QStringLiteral("tone.aiff")), 1.5));
        QVERIFY(audiofiles::writeMidi(file(QStringLiteral("tune.mid")), 4));
        QVERIFY(audiofiles::writeMidi(file(QStringLiteral("broken.mid")), 4, true));
        // 8001 samples of one byte or three: an odd data length.
        QVERIFY(audiofiles::writeMonoWav(file(QStringLiteral("8bit.wav")),
                                         audiofiles::MonoWav::Pcm8, 8001));
        QVERIFY(audiofiles::writeMonoWav(file(QStringLiteral("24bit.wav")),
                                         audiofiles::MonoWav::Pcm24, 8001));
        QVERIFY(audiofiles::writeMonoWav(file(QStringLiteral("ulaw.wav")),
                                         audiofiles::MonoWav::MuLaw, 8001));
        QVERIFY(audiofiles::writeWav(file(QStringLiteral("empty.wav")), 0));
        // Constant bit rate: GStreamer's encoder writes no length header.
        hasMp3_ = audiofiles::encodeTone(
            file(QStringLiteral("tone.mp3")), 2.0, 1,
            QStringLiteral("lamemp3enc target=bitrate cbr=true bitrate=128"));
        QByteArray noise(20000, Qt::Uninitialized);
        QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(audiofiles::writeBytes(file(QStringLiteral("noise.mp3")), noise));
    }

    // A good file opens with its length, every time, and plays to one end;
    // a bad one fails to open (told once, never again as a failure while
    // playing) and leaves the player usable. playbin's AIFF parser used to
    // race its pad linking and fail a valid file now and then, most often
    // on a busy machine; playbin3 never opened the odd mono WAVs, u-law or
    // a WAV without samples, which opens with no length and ends at once.
    // Either playbin also stalls now and then on a valid file, most often
    // on a busy machine; a file opens as long as one of six tries on new
    // pipelines does, and a file that stalls all six is given up. A held
    // row leaves the player tries to spare: a try may stall on a race of
    // its own, or give up before its buffer reaches the gate.
    void opensAndPlaysToTheEnd_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<double>("seconds"); // the length; 0 when none is known
        QTest::addColumn<int>("times");
        // The first prerolls held, each until its pipeline is shut down: an
        // open stalls, and only a try on a new pipeline opens the file.
        QTest::addColumn<int>("held");
        QTest::newRow("wav") << "tone.wav" << true << 2.0 << 1 << 0;
        QTest::newRow("wav, first preroll held") << "tone.wav" << true << 2.0 << 2 << 1;
        QTest::newRow("wav, three prerolls held") << "tone.wav" << true << 2.0 << 2 << 3;
        QTest::newRow("wav, six prerolls held") << "tone.wav" << false << 0.0 << 1 << 6;
        QTest::newRow("aiff") << "tone.aiff" << true << 1.5 << 30 << 0;
        QTest::newRow("midi") << "tune.mid" << true << 2.0 << 1 << 0;
        QTest::newRow("mp3") << "tone.mp3" << true << 2.0 << 1 << 0;
        QTest::newRow("8-bit mono, odd length") << "8bit.wav" << true << 1.0 << 3 << 0;
        QTest::newRow("24-bit mono, odd length") << "24bit.wav" << true << 1.0 << 3 << 0;
        QTest::newRow("u-law") << "ulaw.wav" << true << 1.0 << 3 << 0;
        QTest::newRow("no samples") << "empty.wav" << true << 0.0 << 3 << 0;
        QTest::newRow("missing") << "nothing.wav" << false << 0.0 << 1 << 0;
        QTest::newRow("random bytes") << "noise.mp3" << false << 0.0 << 1 << 0;
        QTest::newRow("broken midi track") << "broken.mid" << false << 0.0 << 1 << 0;
        QTest::newRow("empty name") << "" << false << 0.0 << 1 << 0;
    }
    void opensAndPlaysToTheEnd() {
        QFETCH(QString, name);
        QFETCH(bool, opens);
        QFETCH(double, seconds);
        QFETCH(int, times);
        QFETCH(int, held);
        if (name == QStringLiteral("tone.mp3") && !hasMp3_)
            QSKIP("no MP3 encoder at hand to write the test file");
        if (name == QStringLiteral("tune.mid"))
            QVERIFY2(!GstPlayer::soundFont().isEmpty(), "a General MIDI SoundFont is installed");
        GstPlayer player(held ? QStringLiteral("testgate holds=%1 ! fakesink sync=false").arg(held)
                              : QStringLiteral("fakesink sync=false"));
        QSignalSpy ended(&player, &MediaPlayer::endOfStream);
        QSignalSpy failed(&player, &MediaPlayer::errorOccurred);
        for (int i = 1; i <= times; ++i) {
            QVERIFY2(open(player, name.isEmpty() ? QString() : file(name)) == opens,
                     qPrintable(QStringLiteral("open %1: %2").arg(i).arg(player.lastError())));
            QCOMPARE(player.lastError().isEmpty(), opens);
            QVERIFY2(qAbs(player.length() - seconds) < 0.1,
                     qPrintable(QString::number(player.length())));
            if (held)
                QVERIFY(player.retriedOpens() >= 1);
        }
        QCOMPARE(failed.size(), opens ? 0 : times);
        failed.clear();
        QCOMPARE(player.start(), opens);
        if (opens)
            QVERIFY(ended.wait(10000));
        QCoreApplication::processEvents();
        QCOMPARE(ended.size() + failed.size(), opens ? 1 : 0);
        QVERIFY(open(player, file(QStringLiteral("tone.wav"))));
    }

    // A seek moves a playing file in real time: the 4 s file moved to 3 s
    // ends about a second later. Nothing open, nothing to seek. A twin
    // plays another file to its own output at the same time.
    void aSeekMovesThePlayingFile() {
        GstPlayer player(QStringLiteral("fakesink sync=true"));
        QVERIFY(!player.seek(1.0));
        QVERIFY(!player.seekable());
        QVERIFY(open(player, file(QStringLiteral("long.wav"))));
        QVERIFY(player.seekable());
        std::unique_ptr<MediaPlayer> twin(player.twin(nullptr));
        QVERIFY(open(dynamic_cast<GstPlayer&>(*twin), file(QStringLiteral("tone.wav"))));
        QSignalSpy twinEnded(twin.get(), &MediaPlayer::endOfStream);
        QSignalSpy ended(&player, &MediaPlayer::endOfStream);
        QVERIFY(twin->start());
        QVERIFY(player.start());
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(player.seek(3.0));
        QVERIFY(ended.wait(5000));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(clock.elapsed() >= 700, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(twinEnded.count() == 1 || twinEnded.wait(5000));
        player.stop();
        QVERIFY(!player.seek(1.0)); // stopped: closed until started again
    }

    // Stopped at the very end of a song, its end already handed to the
    // player, it reports no end (the control would start the next song)
    // and plays again from its start; paused, it holds, and resumed it
    // plays on in real time.
    void stopRewindsAndPauseHolds() {
        GstPlayer player(QStringLiteral("testgate ! fakesink sync=true"));
        QVERIFY(open(player, file(QStringLiteral("tone.wav"))));
        QSignalSpy ended(&player, &MediaPlayer::endOfStream);
        const int ends = testgate::ends();
        QVERIFY(player.start());
        QVERIFY(testgate::waitForEnds(ends + 1, 10000));
        player.stop();
        QCoreApplication::processEvents(); // what was on its way
        QVERIFY(ended.isEmpty());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(player.start());
        QTest::qWait(500);
        player.pause();
        QVERIFY(!ended.wait(1500));
        QVERIFY(player.start());
        QVERIFY(ended.wait(5000));
        // 0.5 s, the pause, and the rest of the 2 s song.
        QVERIFY2(clock.elapsed() >= 3400, qPrintable(QString::number(clock.elapsed())));
    }

    void volumeScalesTheOutput() {
        const double full = capturedLevel(file(QStringLiteral("tone.wav")), 0);
        const double tenth = capturedLevel(file(QStringLiteral("tone.wav")), -2000);
        const double silent = capturedLevel(file(QStringLiteral("tone.wav")), -10000);
        QVERIFY2(qAbs(full - 0.5 / std::sqrt(2.0)) < 0.02, qPrintable(QString::number(full)));
        QVERIFY2(qAbs(tenth / full - 0.1) < 0.01, qPrintable(QString::number(tenth / full)));
        QCOMPARE(silent, 0.0);
        QVERIFY(GstPlayer::gain(-10000) == 0.0 && GstPlayer::gain(0) == 1.0);
    }

    // A real sink that fails part-way through the song, as a sound device
    // that goes away would: identity passes the first buffers (the open
    // needs one), then errors.
    void anErrorWhilePlayingIsReportedAndClosesTheFile() {
        GstPlayer player(QStringLiteral("identity error-after=8 ! fakesink sync=true"));
        QSignalSpy failed(&player, &MediaPlayer::errorOccurred);
        QSignalSpy ended(&player, &MediaPlayer::endOfStream);
        QVERIFY2(open(player, file(QStringLiteral("long.wav"))), qPrintable(player.lastError()));
        QVERIFY(player.start());
        QVERIFY(failed.wait(10000));
        QCOMPARE(failed.size(), 1);
        QVERIFY(!player.lastError().isEmpty());
        QCOMPARE(player.length(), 0.0);
        QVERIFY(!player.start());
        // Nothing more comes from the failed song.
        QVERIFY(!ended.wait(5000));
        QCOMPARE(failed.size(), 1);
        // The next file opens as usual.
        QVERIFY2(open(player, file(QStringLiteral("tone.wav"))), qPrintable(player.lastError()));
    }

private:
    QTemporaryDir dir_;
    bool hasMp3_ = false;
};

QTEST_GUILESS_MAIN(TestGstPlayer)
#include "tst_gstplayer.moc"
