// Walks a generated tree of 100,000 audio files (plus other files and
// dot-folders) with SearchFiles and with find(1), and prints both times.
// The target is SearchFiles within twice the time of find.

#include "base/filehelpers.h"
#include "benchtree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

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
    const QString root = dir.path() + QStringLiteral("/library");
    QElapsedTimer build;
    build.start();
    benchtree::build(root);
    std::printf("tree: %d audio files built in %.0f ms\n", benchtree::kFiles,
                build.nsecsElapsed() / 1e6);

    // Warm the directory cache once so both walks read the same state.
    qsizetype findCount = 0;
    qsizetype searchCount = 0;
    benchtree::timeFind(root, findCount);
    double bestFind = 1e18;
    double bestSearch = 1e18;
    for (int round = 0; round < 3; ++round) {
        bestFind = std::min(bestFind, benchtree::timeFind(root, findCount));
        bestSearch = std::min(bestSearch, timeSearchFiles(root, searchCount));
    }
    std::printf("find:        %8.1f ms  (%lld files)\n", bestFind,
                static_cast<long long>(findCount));
    std::printf("SearchFiles: %8.1f ms  (%lld files)\n", bestSearch,
                static_cast<long long>(searchCount));
    std::printf("ratio:       %8.2f  (target <= 2.00)\n", bestSearch / bestFind);
    return findCount == searchCount ? 0 : 1;
}
