// Writes 1,000 files of 1 MB and copies them into an empty folder with the
// program's copy and with cp, side by side in the same run (taking
// turns, best of six each), then prints the copy's speed beside its target.

#include "export/foldercopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
constexpr int kFiles = 1000;
constexpr qint64 kSize = 1024 * 1024;
constexpr int kRounds = 6;

void report(const char* what, double value, const char* unit, const char* target) {
    std::printf("%-52s %9.3f %s  (target %s)\n", what, value, unit, target);
}

bool emptyFolder(const QString& path) {
    QDir(path).removeRecursively();
    return QDir().mkpath(path);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString source = dir.path() + "/source";
    QDir().mkpath(source);
    QStringList files;
    QByteArray bytes(kSize, Qt::Uninitialized);
    QRandomGenerator random(5);
    for (int i = 0; i < kFiles; ++i) {
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), kSize / 4);
        const QString path = source + QString("/song %1.mp3").arg(i, 4, 10, QChar('0'));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != kSize)
            return 1;
        files << path;
    }

    const QString ours = dir.path() + "/ours";
    const QString theirs = dir.path() + "/cp";
    // Each copy starts into an empty folder with nothing left to write
    // back from the one before, and the two take turns going first.
    const auto runCp = [&] {
        QProcess cp;
        cp.start("cp", QStringList{"-t", theirs} + files);
        return cp.waitForFinished(-1) && cp.exitCode() == 0;
    };
    const auto runOurs = [&] { return FolderCopy(files, ours).run(); };
    const auto timed = [](const QString& folder, const std::function<bool()>& copy) {
        if (!emptyFolder(folder) || QProcess::execute("sync", {}) != 0)
            return -1.0;
        QElapsedTimer timer;
        timer.start();
        return copy() ? timer.nsecsElapsed() / 1e9 : -1.0;
    };
    double best = 1e9;
    double bestCp = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const double a = round % 2 ? timed(ours, runOurs) : timed(theirs, runCp);
        const double b = round % 2 ? timed(theirs, runCp) : timed(ours, runOurs);
        const double t = round % 2 ? a : b;
        const double tCp = round % 2 ? b : a;
        if (t < 0 || tCp < 0)
            return 1;
        best = std::min(best, t);
        bestCp = std::min(bestCp, tCp);
    }
    const double mb = kFiles * double(kSize) / (1024 * 1024);
    std::printf("%-52s %9.3f s\n", "cp, 1,000 files of 1 MB (best of 6)", bestCp);
    std::printf("%-52s %9.3f s\n", "FolderCopy, 1,000 files of 1 MB (best of 6)", best);
    std::printf("%-52s %9.1f MB/s\n", "cp speed", mb / bestCp);
    std::printf("%-52s %9.1f MB/s\n", "FolderCopy speed", mb / best);
    report("FolderCopy speed as a share of cp's", 100.0 * bestCp / best, "%", ">= 80");
    return 0;
}
