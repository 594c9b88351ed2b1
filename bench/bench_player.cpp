// Plays a WAV, an MP3 and a MIDI file in real time through the player and
// prints the processor time it takes, as a share of one core.

#include "playback/gstplayer.h"

#include <gst/gst.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kSeconds = 8;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool run(const QString& launch) {
    GstElement* pipeline = gst_parse_launch(launch.toUtf8().constData(), nullptr);
    if (!pipeline)
        return false;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* done = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = done && GST_MESSAGE_TYPE(done) == GST_MESSAGE_EOS;
    if (done)
        gst_message_unref(done);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// A stereo 44.1 kHz test tone, as WAV or MP3.
bool writeTone(const QString& path, const char* encoder) {
    return run(QString("audiotestsrc num-buffers=%1 samplesperbuffer=1024 wave=sine ! "
                       "audio/x-raw,rate=44100,channels=2 ! %2 ! filesink location=\"%3\"")
                   .arg(int(kSeconds * 44100 / 1024))
                   .arg(encoder)
                   .arg(path));
}

// Two-voice MIDI: a scale over sustained chords, 16 notes a second.
bool writeMidi(const QString& path) {
    QByteArray track("\x00\xFF\x51\x03\x07\xA1\x20\x00\xC0\x00", 10);
    const int notes = int(kSeconds * 2);
    for (int n = 0; n < notes; ++n) {
        const char key = char(60 + n % 12);
        track += QByteArray("\x00\x90", 2) + key + char(100);
        track += QByteArray("\x00\x90", 2) + char(key - 12) + char(80);
        track += QByteArray("\x83\x60\x80", 3) + key + char(0);
        track += QByteArray("\x00\x80", 2) + char(key - 12) + char(0);
    }
    track += QByteArray("\x00\xFF\x2F\x00", 4);
    QByteArray out("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0MTrk", 18);
    char size[4];
    qToBigEndian(quint32(track.size()), size);
    out += QByteArray(size, 4) + track;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

void measure(const char* what, const QString& file) {
    GstPlayer player("fakesink sync=true");
    if (!player.open(file)) {
        std::printf("%-5s cannot open: %s\n", what, qPrintable(player.lastError()));
        return;
    }
    QSignalSpy ended(&player, &MediaPlayer::endOfStream);
    QElapsedTimer wall;
    const double cpu = cpuSeconds();
    wall.start();
    player.start();
    ended.wait(int(kSeconds * 1000 + 10000));
    const double share = (cpuSeconds() - cpu) / (wall.nsecsElapsed() / 1e9);
    std::printf("%-5s %4.1f s played in %4.1f s, processor %5.1f %% of one core\n", what,
                player.length(), wall.nsecsElapsed() / 1e9, share * 100);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    QTemporaryDir dir;
    const QString wav = dir.path() + "/tone.wav";
    const QString mp3 = dir.path() + "/tone.mp3";
    const QString mid = dir.path() + "/tune.mid";
    if (!writeTone(wav, "wavenc") || !writeMidi(mid))
        return 1;
    std::printf("SoundFont: %s\n", qPrintable(GstPlayer::soundFont()));
    measure("WAV", wav);
    if (writeTone(mp3, "lamemp3enc target=bitrate bitrate=192 cbr=true"))
        measure("MP3", mp3);
    measure("MIDI", mid);
    return 0;
}
