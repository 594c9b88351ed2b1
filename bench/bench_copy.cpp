// Writes 1,000 files of 1 MB and copies them into an empty folder with the
// program's copy and with cp, side by side in the same run (taking turns,
// best of six each), then prints the copy's speed beside its target: into
// a folder on the same file system, and into one on another (memory) file
// system, as a copy to a stick is, where the kernel cannot copy for us.

#include "benchlibrary.h"
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

bool emptyFolder(const QString& path) {
    QDir(path).removeRecursively();
    return QDir().mkpath(path);
}

// Seconds of one copy into the emptied `folder`, with nothing left to
// write back from the copy before; -1 when it failed.
double timed(const QString& folder, const std::function<bool()>& copy) {
    if (!emptyFolder(folder) || QProcess::execute(QStringLiteral("sync"), {}) != 0)
        return -1.0;
    QElapsedTimer timer;
    timer.start();
    return copy() ? timer.nsecsElapsed() / 1e9 : -1.0;
}

// Copies `files` below `root` with cp and with FolderCopy and prints both.
bool compare(const QStringList& files, const QString& root, const char* where) {
    const QString ours = root + QStringLiteral("/ours");
    const QString theirs = root + QStringLiteral("/cp");
    const auto runCp = [&] {
        QProcess cp;
        cp.start(QStringLiteral("cp"), QStringList{QStringLiteral("-t"), theirs} + files);
        return cp.waitForFinished(-1) && cp.exitCode() == 0;
    };
    const auto runOurs = [&] { return FolderCopy(files, ours).run(); };
    double best = 1e9;
    double bestCp = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const bool cpFirst = round % 2 == 0;
        const double first = cpFirst ? timed(theirs, runCp) : timed(ours, runOurs);
        const double second = cpFirst ? timed(ours, runOurs) : timed(theirs, runCp);
        const double t = cpFirst ? second : first;
        const double tCp = cpFirst ? first : second;
        if (t < 0 || tCp < 0)
            return false;
        best = std::min(best, t);
        bestCp = std::min(bestCp, tCp);
    }
    const double mb = kFiles * double(kSize) / (1024 * 1024);
    std::printf("%s:\n", where);
    report("  cp, 1,000 files of 1 MB (best of 6)", bestCp, "s", "-");
    report("  FolderCopy, the same (best of 6)", best, "s", "-");
    report("  cp speed", mb / bestCp, "MB/s", "-");
    report("  FolderCopy speed", mb / best, "MB/s", "-");
    report("  FolderCopy speed as a share of cp's", 100.0 * bestCp / best, "%", ">= 80");
    return true;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString source = dir.path() + QStringLiteral("/source");
    QDir().mkpath(source);
    QStringList files;
    QByteArray bytes(kSize, Qt::Uninitialized);
    QRandomGenerator random(5);
    for (int i = 0; i < kFiles; ++i) {
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), kSize / 4);
        const QString path =
            source + QStringLiteral("/song %1.mp3").arg(i, 4, 10, QLatin1Char('0'));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != kSize)
            return 1;
        files << path;
    }
    if (!compare(files, dir.path(), "into a folder on the same file system"))
        return 1;
    if (QDir(QStringLiteral("/dev/shm")).exists()) {
        QTemporaryDir other(QStringLiteral("/dev/shm/bench_copy-XXXXXX"));
        if (!other.isValid() ||
            !compare(files, other.path(), "into a folder on another file system"))
            return 1;
    }
    return 0;
}
