// Registering 10,000 tagged MP3 files end to end (the folder walk, the
// tags read on every core while the songs before them are written, the
// one bulk write), against the same without reading tags, on a warm file
// cache. Each figure is printed beside its target, with the machine's
// load: the ratio of the two, measured in the same run, is what counts on
// a shared machine.

#include "base/filehelpers.h"
#include "benchlibrary.h"
#include "data/adoconnector.h"
#include "library/libraryfiles.h"
#include "library/tagging.h"
#include "taggedfiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 10000;
constexpr int kArtists = 800;
constexpr int kGenres = 40;
constexpr int kRounds = 5;

// Files in folders of 100, tagged as collections are: ID3v2.3 UTF-16 and
// ID3v2.4 UTF-8, Japanese and Latin titles, one to three genres.
bool buildTree(const QString& root) {
    for (int i = 0; i < kFiles; ++i) {
        taggedfiles::Fields fields;
        fields.title =
            i % 3 == 0 ? QStringLiteral("夜の曲 %1").arg(i) : QStringLiteral("Song %1").arg(i);
        fields.artist = i % 4 == 0 ? QStringLiteral("歌手 %1").arg(i % kArtists)
                                   : QStringLiteral("Artist %1").arg(i % kArtists);
        for (int g = 0; g <= i % 3; ++g)
            fields.genres << QStringLiteral("Genre %1").arg((i + g * 7) % kGenres);
        const QString path = QStringLiteral("%1/%2/%3.mp3").arg(root).arg(i / 100).arg(i);
        if (!taggedfiles::writeMp3(path, fields, i % 2 ? 3 : 4,
                                   i % 2 ? taggedfiles::Text::Utf16 : taggedfiles::Text::Utf8))
            return false;
    }
    return true;
}

double processorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Run {
    double ms = 1e18;
    double processorMs = 0; // of every thread
    double growthMb = 0;
    int songs = 0;
};

// One registration into a new library: walk, (tags), write.
Run registerTree(const QString& root, const QString& folder, bool withTags) {
    ADO_Connector db(folder + QStringLiteral("/MelodaraPlayer.db"));
    gConnector = &db;
    malloc_trim(0);
    const double before = residentMb();
    const double processor = processorMs();
    QElapsedTimer timer;
    timer.start();
    QStringList paths;
    SearchFiles(root, paths, true);
    SearchFiles(QString(), paths, false);
    const bool ok = withTags ? LibraryFiles::registerFiles(paths)
                             : tagging::insertSongs(paths, {}, tagging::Tags::Skip);
    Run run;
    run.ms = ms(timer);
    run.processorMs = processorMs() - processor;
    paths.clear();
    malloc_trim(0);
    run.growthMb = residentMb() - before;
    Recordset rs;
    run.songs = ok && db.adoGetData(Read::FilePaths, rs) ? rs.RecordCount() : -1;
    gConnector = nullptr;
    return run;
}

// What no tag reader can go below: each file opened and the start of it
// read, on every core, with nothing parsed.
double openEachFile(const QString& root) {
    QStringList paths;
    SearchFiles(root, paths, true);
    SearchFiles(QString(), paths, false);
    QElapsedTimer timer;
    timer.start();
    QtConcurrent::blockingMap(paths, [](const QString& path) {
        char head[4096];
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        [[maybe_unused]] const ssize_t got = ::pread(fd, head, sizeof head, 0);
        ::close(fd);
    });
    return ms(timer);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    AnswerOk answerOk;
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/music");
    QElapsedTimer built;
    built.start();
    if (!buildTree(root))
        return 1;
    std::printf("%d tagged MP3 files written in %.0f ms; load %.2f, %d cores\n", kFiles, ms(built),
                loadAverage(), QThread::idealThreadCount());

    // The first run of each warms the file cache and the engine; each run
    // without tags is followed at once by one with them, so that both meet
    // the same load.
    Run plain;
    Run tagged;
    double floor = 1e18;
    for (int round = 0; round <= kRounds; ++round) {
        const QString n = QString::number(round);
        const Run p = registerTree(root, dir.path() + QStringLiteral("/plain") + n, false);
        const Run t = registerTree(root, dir.path() + QStringLiteral("/tagged") + n, true);
        if (p.songs != kFiles || t.songs != kFiles || answerOk.boxes() != 0)
            return 1;
        floor = std::min(floor, openEachFile(root));
        if (round == 0)
            continue;
        if (p.ms < plain.ms)
            plain = p;
        if (t.ms < tagged.ms)
            tagged = t;
    }
    std::printf("without tags: %.1f ms; with tags: %.1f ms (best of %d); load now %.2f\n", plain.ms,
                tagged.ms, kRounds, loadAverage());
    std::printf("each file opened and its start read, nothing parsed: %.1f ms (%.2f x without "
                "tags; processor %.1f ms without tags, %.1f ms with)\n",
                floor, floor / plain.ms, plain.processorMs, tagged.processorMs);
    report("registration with tags", kFiles / (tagged.ms / 1000), "files/s", ">= 5000 files/s");
    report("time with tags / time without", tagged.ms / plain.ms, "", "<= 1.5");
    report("  the same in processor time", tagged.processorMs / plain.processorMs, "",
           "none; every core counted");
    report("memory growth with tags", tagged.growthMb, "MB", "<= 50 MB");
    return 0;
}
