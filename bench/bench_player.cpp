// Plays a WAV, an MP3 and a MIDI file in real time through the player and
// prints the processor time it takes, as a share of one core; then plays
// 1,000 short songs one after another, as random play left running would,
// and prints how much the resident memory grew and how long opens took.

#include "audiofiles.h"
#include "playback/gstplayer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kSeconds = 8;
constexpr int kSongs = 1000;
// Songs played before memory is first measured: by then the decoders,
// caches and the allocator's pools have settled (with all four kinds
// mixed, resident memory climbs for about 300 songs, then stays).
constexpr int kWarmUp = 300;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
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
    std::printf("%-5s %4.1f s played in %4.1f s, processor %5.1f %% of one core  (target < 1 %%)\n",
                what, player.length(), wall.nsecsElapsed() / 1e9, share * 100);
}

// Each song is opened (on this thread, as the window does), played to its
// end as fast as the output takes it, and replaced by the next.
void playMany(const QStringList& files) {
    GstPlayer player("fakesink sync=false");
    QSignalSpy ended(&player, &MediaPlayer::endOfStream);
    QList<double> longestMs(files.size(), 0.0);
    QList<double> totalMs(files.size(), 0.0);
    const double atStart = residentMb();
    double before = 0;
    int failures = 0;
    for (int i = 0; i < kWarmUp + kSongs; ++i) {
        if (i == kWarmUp)
            before = residentMb();
        const qsizetype kind = i % files.size();
        QElapsedTimer open;
        open.start();
        const bool opened = player.open(files[kind]);
        const double ms = open.nsecsElapsed() / 1e6;
        totalMs[kind] += ms;
        longestMs[kind] = std::max(longestMs[kind], ms);
        if (!opened || !player.start() || !ended.wait(10000))
            ++failures;
    }
    const double after = residentMb();
    std::printf("%d short songs after %d: resident memory %.1f MB to %.1f MB, grew %.1f MB  "
                "(target <= 5; %.1f MB before the first song); %d failed\n",
                kSongs, kWarmUp, before, after, after - before, atStart, failures);
    const double perKind = double(kWarmUp + kSongs) / double(files.size());
    for (qsizetype k = 0; k < files.size(); ++k)
        std::printf("open %-5s longest %4.0f ms, mean %5.1f ms  (target <= 300)\n",
                    qPrintable(QFileInfo(files[k]).suffix().toUpper()), longestMs[k],
                    totalMs[k] / perKind);
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
    const bool hasMp3 =
        audiofiles::encodeTone(mp3, kSeconds, 2, "lamemp3enc target=bitrate bitrate=192 cbr=true");
    std::printf("SoundFont: %s\n", qPrintable(GstPlayer::soundFont()));
    measure("WAV", wav);
    if (hasMp3)
        measure("MP3", mp3);
    measure("MIDI", mid);

    QStringList shortSongs = {dir.path() + "/short.wav", dir.path() + "/short.aiff",
                              dir.path() + "/short.mid"};
    if (!audiofiles::writeWav(shortSongs[0], 1.0) || !audiofiles::writeAiff(shortSongs[1], 1.0) ||
        !audiofiles::writeMidi(shortSongs[2], 2))
        return 1;
    if (hasMp3 && audiofiles::encodeTone(dir.path() + "/short.mp3", 1.0, 2,
                                         "lamemp3enc target=bitrate bitrate=192 cbr=true"))
        shortSongs << dir.path() + "/short.mp3";
    playMany(shortSongs);
    return 0;
}
