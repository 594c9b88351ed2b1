// The player's figures:
// - the processor time of playing a WAV, an MP3 and a MIDI file in real
//   time, as a share of one core;
// - the processor time of a crossfade: two MP3s (WAVs without the encoder)
//   playing at once in real time, their levels set every fade step as the
//   player control sets them;
// - 1,000 short songs one after another, as random play left running
//   would, with files that cannot be played mixed in: how much resident
//   memory grew, how long each kind took to open (or to fail), the longest
//   time the event loop was held up meanwhile (a window would freeze that
//   long), and the share of opens that needed another try;
// - the draws of the play modes on a 100,000-song set list.

#include "audiofiles.h"
#include "base/random.h"
#include "benchlibrary.h"
#include "data/song.h"
#include "playback/crossfade.h"
#include "playback/gstplayer.h"
#include "playback/playercontrol.h"
#include "playback/selectsong.h"
#include "playback/songchooser.h"
#include "songlist/songlistmodel.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr double kSeconds = 8;
constexpr int kSongs = 1000;
// Songs played before memory is first measured: by then the decoders,
// caches and the allocator's pools have settled (with all kinds mixed,
// resident memory climbs for about 300 songs, then stays).
constexpr int kWarmUp = 300;
constexpr int kSetListSongs = 100000;
constexpr int kDraws = 1000;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The longest time between two turns of the event loop while it lives:
// what the player's work on this thread holds a window up.
class LoopWatch {
public:
    LoopWatch() {
        beat_.setInterval(2);
        QObject::connect(&beat_, &QTimer::timeout, [this] {
            longestMs_ = std::max(longestMs_, since_.nsecsElapsed() / 1e6);
            since_.start();
        });
        restart();
        beat_.start();
    }
    void restart() {
        longestMs_ = 0;
        since_.start();
    }
    double longestMs() const { return std::max(longestMs_, since_.nsecsElapsed() / 1e6); }

private:
    QTimer beat_;
    QElapsedTimer since_;
    double longestMs_ = 0;
};

// Opens `file`, the event loop running meanwhile, until the answer.
bool open(GstPlayer& player, const QString& file) {
    QSignalSpy opened(&player, &MediaPlayer::opened);
    QSignalSpy failed(&player, &MediaPlayer::errorOccurred);
    player.open(file);
    while (opened.isEmpty() && failed.isEmpty())
        opened.wait(5);
    return !opened.isEmpty();
}

void measure(const char* what, const QString& file) {
    GstPlayer player(QStringLiteral("fakesink sync=true"));
    if (!open(player, file)) {
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
    std::printf("%-5s %4.1f s played in %4.1f s, processor %5.1f %% of one core  (target ~1 %%)\n",
                what, player.length(), wall.nsecsElapsed() / 1e9, share * 100);
}

// Both songs of a fade of kFadeSeconds, each on its player and output, the
// levels stepped as the control steps them; the CPU time of the process
// over the fade's wall time.
constexpr int kFadeSeconds = 6;

void measureFade(const char* what, const QString& file) {
    GstPlayer outgoing(QStringLiteral("fakesink sync=true"));
    std::unique_ptr<MediaPlayer> twin(outgoing.twin(nullptr));
    auto& incoming = dynamic_cast<GstPlayer&>(*twin);
    if (!open(outgoing, file) || !open(incoming, file)) {
        std::printf("fade cannot open %s\n", qPrintable(file));
        return;
    }
    const int level = PlayerControl::playerVolume(4000);
    incoming.setVolume(Crossfade::faded(level, 0));
    outgoing.setVolume(level);
    outgoing.start();
    incoming.start();
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuSeconds();
    QTimer step;
    step.setInterval(PlayerControl::kFadeStepMs);
    QObject::connect(&step, &QTimer::timeout, [&] {
        const Crossfade::Gains g = Crossfade::gains(wall.nsecsElapsed() / 1e9, kFadeSeconds);
        outgoing.setVolume(Crossfade::faded(level, g.out));
        incoming.setVolume(Crossfade::faded(level, g.in));
    });
    step.start();
    QTest::qWait(kFadeSeconds * 1000);
    const double share = (cpuSeconds() - cpu) / (wall.nsecsElapsed() / 1e9);
    std::printf(
        "crossfade of two %-4s over %d s: processor %5.1f %% of one core  (target <= 25 %%)\n",
        what, kFadeSeconds, share * 100);
}

struct Kind {
    QString name;
    QString file;
    bool good;            // it can be played
    bool firstTry = true; // playbin3 opens it: another try is a stall
};

// Each song is opened, played to its end as fast as the output takes it
// (or, when it cannot be played, passed over), and replaced by the next.
void playMany(const QList<Kind>& kinds) {
    GstPlayer player(QStringLiteral("fakesink sync=false"));
    QSignalSpy ended(&player, &MediaPlayer::endOfStream);
    QSignalSpy failed(&player, &MediaPlayer::errorOccurred);
    QList<double> longestMs(kinds.size(), 0.0);
    QList<double> totalMs(kinds.size(), 0.0);
    QList<double> heldMs(kinds.size(), 0.0);
    QList<double> threadMs(kinds.size(), 0.0);
    LoopWatch watch;
    const double atStart = residentMb();
    double before = 0;
    int wrong = 0;
    int goodOpens = 0;
    int retriedBefore = 0;
    for (int i = 0; i < kWarmUp + kSongs; ++i) {
        if (i == kWarmUp)
            before = residentMb();
        const qsizetype k = i % kinds.size();
        const Kind& kind = kinds[k];
        const int retried = player.retriedOpens();
        watch.restart();
        QElapsedTimer clock;
        clock.start();
        const double cpu = threadCpuMs();
        const bool opened = open(player, kind.file);
        const double ms = clock.nsecsElapsed() / 1e6;
        heldMs[k] = std::max(heldMs[k], watch.longestMs());
        threadMs[k] = std::max(threadMs[k], threadCpuMs() - cpu);
        totalMs[k] += ms;
        longestMs[k] = std::max(longestMs[k], ms);
        if (kind.good && kind.firstTry) {
            ++goodOpens;
            retriedBefore += player.retriedOpens() - retried;
        }
        if (opened != kind.good) {
            ++wrong;
            continue;
        }
        if (opened) {
            ended.clear();
            failed.clear();
            if (!player.start() ||
                !QTest::qWaitFor([&] { return !ended.isEmpty() || !failed.isEmpty(); }, 10000) ||
                !failed.isEmpty())
                ++wrong;
        }
    }
    const double after = residentMb();
    std::printf("%d songs after %d, bad files among them: resident memory %.1f MB to %.1f MB, "
                "grew %.1f MB  (target <= 5; %.1f MB before the first song); %d went wrong\n",
                kSongs, kWarmUp, before, after, after - before, atStart, wrong);
    const double perKind = double(kWarmUp + kSongs) / double(kinds.size());
    double slowest = 0;
    double busiest = 0;
    for (qsizetype k = 0; k < kinds.size(); ++k) {
        std::printf("%-22s answer longest %5.0f ms, mean %6.1f ms; event loop held up at most "
                    "%5.1f ms, its thread busy at most %5.1f ms\n",
                    qPrintable(kinds[k].name), longestMs[k], totalMs[k] / perKind, heldMs[k],
                    threadMs[k]);
        slowest = std::max(slowest, heldMs[k]);
        busiest = std::max(busiest, threadMs[k]);
    }
    // On a busy machine the wall-clock figure includes waiting for a core.
    report("slowest open or skip on the event loop", slowest / 1000, "s", "<= 0.3");
    report("  of it the thread's own processor time", busiest / 1000, "s", "<= 0.3");
    report("opens of WAV/AIFF/MIDI/MP3 tried again", 100.0 * retriedBefore / goodOpens, "%",
           "as few as can be");
    report("opens of all kinds tried again", 100.0 * player.retriedOpens() / (kWarmUp + kSongs),
           "%", "-");
}

// A draw of each mode, the song read included, on a set list of
// kSetListSongs songs. The first draw by priority reads the set list's IDs
// and priorities; later ones only draw.
void drawOnALargeSetList() {
    BenchLibrary library(kSetListSongs);
    SongListModel list;
    seedSongRandom(5);
    for (const QString& mode : {kRandomPlay, kPriorityPlay}) {
        SongChooser chooser;
        chooser.setSetList(QStringLiteral("ALL"));
        chooser.setPlayMode(mode);
        Song song;
        QElapsedTimer clock;
        clock.start();
        chooser.choose(QString(), list, song);
        const double first = ms(clock);
        clock.restart();
        double longest = 0;
        for (int i = 0; i < kDraws; ++i) {
            QElapsedTimer one;
            one.start();
            chooser.choose(QString(), list, song);
            chooser.played(song);
            longest = std::max(longest, ms(one));
        }
        const double mean = ms(clock) / kDraws;
        const QByteArray name = mode.toUtf8();
        std::printf("%s on %d songs:\n", name.constData(), kSetListSongs);
        report("  first draw", first, "ms", "<= 50 (priority); 300 at most");
        report("  mean draw", mean, "ms", "<= 50");
        report("  longest draw", longest, "ms", "<= 50");
        // One song found unplayable: the draw leaves it out from then on.
        chooser.mark(QStringLiteral("1"), QStringLiteral("bench"));
        clock.restart();
        chooser.choose(QString(), list, song);
        report("  first draw with a song marked", ms(clock), "ms", "<= 300");
        clock.restart();
        for (int i = 0; i < kDraws / 10; ++i)
            chooser.choose(QString(), list, song);
        report("  mean draw with a song marked", ms(clock) / (kDraws / 10), "ms", "<= 50");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const auto at = [&](const char* name) {
        return dir.path() + QStringLiteral("/") + QString::fromUtf8(name);
    };
    const QString wav = at("tone.wav");
    const QString mp3 = at("tone.mp3");
    const QString mid = at("tune.mid");
    if (!audiofiles::encodeTone(wav, kSeconds, 2, QStringLiteral("wavenc")) ||
        !audiofiles::writeMidi(mid, int(kSeconds * 2)))
        return 1;
    const bool hasMp3 = audiofiles::encodeTone(
        mp3, kSeconds, 2, QStringLiteral("lamemp3enc target=bitrate bitrate=192 cbr=true"));
    std::printf("SoundFont: %s\n", qPrintable(GstPlayer::soundFont()));
    measure("WAV", wav);
    if (hasMp3)
        measure("MP3", mp3);
    measure("MIDI", mid);
    if (hasMp3)
        measureFade("MP3s", mp3);
    else
        measureFade("WAVs", wav);

    using audiofiles::MonoWav;
    QList<Kind> kinds = {{QStringLiteral("WAV"), at("short.wav"), true},
                         {QStringLiteral("AIFF"), at("short.aiff"), true},
                         {QStringLiteral("MIDI"), at("short.mid"), true},
                         {QStringLiteral("WAV 8-bit mono, odd"), at("8bit.wav"), true, false},
                         {QStringLiteral("WAV 24-bit mono, odd"), at("24bit.wav"), true, false},
                         {QStringLiteral("WAV u-law, odd"), at("ulaw.wav"), true, false},
                         {QStringLiteral("WAV no samples"), at("empty.wav"), true, false},
                         {QStringLiteral("missing"), at("missing.wav"), false},
                         {QStringLiteral("empty file"), at("empty.mp3"), false},
                         {QStringLiteral("not audio"), at("text.mp3"), false}};
    if (!audiofiles::writeWav(kinds[0].file, 1.0) || !audiofiles::writeAiff(kinds[1].file, 1.0) ||
        !audiofiles::writeMidi(kinds[2].file, 2) ||
        !audiofiles::writeMonoWav(kinds[3].file, MonoWav::Pcm8, 8001) ||
        !audiofiles::writeMonoWav(kinds[4].file, MonoWav::Pcm24, 8001) ||
        !audiofiles::writeMonoWav(kinds[5].file, MonoWav::MuLaw, 8001) ||
        !audiofiles::writeWav(kinds[6].file, 0) ||
        !audiofiles::writeBytes(kinds[8].file, QByteArray()) ||
        !audiofiles::writeBytes(kinds[9].file, "not a song\n"))
        return 1;
    if (hasMp3 &&
        audiofiles::encodeTone(at("short.mp3"), 1.0, 2,
                               QStringLiteral("lamemp3enc target=bitrate bitrate=192 cbr=true")))
        kinds.insert(3, {QStringLiteral("MP3"), at("short.mp3"), true});
    playMany(kinds);
    drawOnALargeSetList();
    return 0;
}
