// Plays a WAV, an MP3 and a MIDI file in real time through the player and
// prints the processor time it takes, as a share of one core.

#include "audiofiles.h"
#include "playback/gstplayer.h"

#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

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
    QTemporaryDir dir;
    const QString wav = dir.path() + "/tone.wav";
    const QString mp3 = dir.path() + "/tone.mp3";
    const QString mid = dir.path() + "/tune.mid";
    if (!audiofiles::encodeTone(wav, kSeconds, 2, "wavenc") ||
        !audiofiles::writeMidi(mid, int(kSeconds * 2)))
        return 1;
    std::printf("SoundFont: %s\n", qPrintable(GstPlayer::soundFont()));
    measure("WAV", wav);
    if (audiofiles::encodeTone(mp3, kSeconds, 2, "lamemp3enc target=bitrate bitrate=192 cbr=true"))
        measure("MP3", mp3);
    measure("MIDI", mid);
    return 0;
}
