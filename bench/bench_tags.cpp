// Registering 10,000 tagged MP3 files end to end (the folder walk, the
// tags read on every core, the one bulk write), against the same without
// reading tags, on a warm file cache. Each figure is printed beside its
// target.

#include "base/filehelpers.h"
#include "base/messagepresenter.h"
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

#include <cstdio>
#include <malloc.h>

namespace {

constexpr int kFiles = 10000;
constexpr int kArtists = 800;
constexpr int kGenres = 40;
constexpr int kRounds = 3;

// Resident memory of this process in megabytes.
double residentMb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return -1;
}

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

struct Run {
    double ms = 0;
    double growthMb = 0;
    int songs = 0;
};

// One registration into a new library: walk, (tags), write.
Run registerTree(const QString& root, const QString& folder, bool withTags) {
    ADO_Connector db(folder + "/MelodaraPlayer.db");
    gConnector = &db;
    malloc_trim(0);
    const double before = residentMb();
    QElapsedTimer timer;
    timer.start();
    QStringList paths;
    SearchFiles(root, paths, true);
    SearchFiles(QString(), paths, false);
    QList<SongTags> tags(paths.size());
    const bool ok =
        withTags ? LibraryFiles::registerFiles(paths) : tagging::insertSongs(paths, tags);
    Run run;
    run.ms = timer.nsecsElapsed() / 1e6;
    tags.clear();
    paths.clear();
    malloc_trim(0);
    run.growthMb = residentMb() - before;
    Recordset rs;
    run.songs = ok && db.adoGetData(Read::FilePaths, rs) ? rs.RecordCount() : -1;
    gConnector = nullptr;
    return run;
}

// Answers every box silently; a box here is a failure the count shows.
class Silent final : public MessagePresenter {
public:
    int present(const QString& text, int, const QString&) override {
        std::printf("box: %s\n", qPrintable(text));
        return msgbox::Ok;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    Silent silent;
    msgbox::setPresenter(&silent);
    QTemporaryDir dir;
    const QString root = dir.path() + "/music";
    QElapsedTimer built;
    built.start();
    if (!buildTree(root))
        return 1;
    std::printf("%d tagged MP3 files written in %.0f ms\n", kFiles, built.nsecsElapsed() / 1e6);

    // The first run of each warms the file cache and the engine.
    Run plain{1e18, 0, 0};
    Run tagged{1e18, 0, 0};
    for (int round = 0; round <= kRounds; ++round) {
        const QString n = QString::number(round);
        const Run p = registerTree(root, dir.path() + "/plain" + n, false);
        const Run t = registerTree(root, dir.path() + "/tagged" + n, true);
        if (p.songs != kFiles || t.songs != kFiles)
            return 1;
        if (round == 0)
            continue;
        if (p.ms < plain.ms)
            plain = p;
        if (t.ms < tagged.ms)
            tagged = t;
    }
    std::printf("without tags: %.1f ms; with tags: %.1f ms (best of %d, %d cores)\n", plain.ms,
                tagged.ms, kRounds, QThread::idealThreadCount());
    report("registration with tags", kFiles / (tagged.ms / 1000), "files/s", ">= 5000 files/s");
    report("time with tags / time without", tagged.ms / plain.ms, "", "<= 1.5");
    report("memory growth with tags", tagged.growthMb, "MB", "<= 50 MB");
    msgbox::setPresenter(nullptr);
    return 0;
}
