// Walks a generated tree of 100,000 audio files (plus other files and
// dot-folders) with SearchFiles and with find(1), and prints both times.
// The target is SearchFiles within twice the time of find.

#include "base/filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int kArtists = 200;
constexpr int kAlbumsPerArtist = 5;
constexpr int kTracksPerAlbum = 100;

void buildTree(const QString& root) {
    static const char* const kExtensions[] = {"mp3", "wav", "aiff", "mid"};
    for (int a = 0; a < kArtists; ++a) {
        for (int b = 0; b < kAlbumsPerArtist; ++b) {
            const QString album = QString("%1/Artist %2/Album %3").arg(root).arg(a).arg(b);
            QDir().mkpath(album);
            for (int t = 0; t < kTracksPerAlbum; ++t) {
                QFile(QString("%1/%2 Track.%3")
                          .arg(album)
                          .arg(t, 3, 10, QChar('0'))
                          .arg(kExtensions[t % 4]))
                    .open(QIODevice::WriteOnly);
            }
            QFile(album + "/cover.jpg").open(QIODevice::WriteOnly);
        }
        QDir().mkpath(QString("%1/Artist %2/.thumbs").arg(root).arg(a));
    }
}

double timeFind(const QString& root, qsizetype& count) {
    QElapsedTimer timer;
    timer.start();
    QProcess find;
    find.start("find",
               {root,     "-name",  ".*",     "-type",  "d",     "-prune", "-o",     "-type",
                "f",      "(",      "-iname", "*mp3",   "-o",    "-iname", "*wav",   "-o",
                "-iname", "*aif",   "-o",     "-iname", "*aiff", "-o",     "-iname", "*mid",
                "-o",     "-iname", "*midi",  ")",      "-print"});
    find.waitForFinished(-1);
    count = find.readAllStandardOutput().count('\n');
    return timer.nsecsElapsed() / 1e6;
}

double timeSearchFiles(const QString& root, qsizetype& count) {
    QElapsedTimer timer;
    timer.start();
    QStringList files;
    SearchFiles(root, files, true);
    SearchFiles(QString(), files, true);
    count = files.size();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + "/library";
    QElapsedTimer build;
    build.start();
    buildTree(root);
    std::printf("tree: %d audio files built in %.0f ms\n",
                kArtists * kAlbumsPerArtist * kTracksPerAlbum, build.nsecsElapsed() / 1e6);

    // Warm the directory cache once so both walks read the same state.
    qsizetype findCount = 0;
    qsizetype searchCount = 0;
    timeFind(root, findCount);
    double bestFind = 1e18;
    double bestSearch = 1e18;
    for (int round = 0; round < 3; ++round) {
        bestFind = std::min(bestFind, timeFind(root, findCount));
        bestSearch = std::min(bestSearch, timeSearchFiles(root, searchCount));
    }
    std::printf("find:        %8.1f ms  (%lld files)\n", bestFind,
                static_cast<long long>(findCount));
    std::printf("SearchFiles: %8.1f ms  (%lld files)\n", bestSearch,
                static_cast<long long>(searchCount));
    std::printf("ratio:       %8.2f  (target <= 2.00)\n", bestSearch / bestFind);
    return findCount == searchCount ? 0 : 1;
}
