// The web pane's cost: the main window starts without loading the browser
// engine, and the figures of its first and later openings with a local
// page. Prints each figure beside its target.
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise (QT_QPA_PLATFORM=xcb
// with a display shows the engine drawing with OpenGL).

#include "app/mainwindow.h"
#include "app/opening.h"
#include "web/browser.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

// A value of /proc/<pid>/<file> ("VmRSS:", "Pss:"), in MB.
double procMb(const QString& pid, const char* file, const QByteArray& key) {
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid, QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return 0;
}

// The processes started by this one, at any depth (the engine's helpers).
QStringList descendants() {
    QHash<QString, QString> parent;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (pid.toInt() > 0 && stat.open(QIODevice::ReadOnly)) {
            const QByteArray text = stat.readAll();
            parent.insert(pid,
                          QString::fromLatin1(text.mid(text.lastIndexOf(')') + 4).split(' ')[0]));
        }
    }
    QStringList found;
    QStringList queue = {QString::number(::getpid())};
    while (!queue.isEmpty()) {
        const QString p = queue.takeFirst();
        for (auto it = parent.cbegin(); it != parent.cend(); ++it) {
            if (it.value() == p) {
                found << it.key();
                queue << it.key();
            }
        }
    }
    return found;
}

// Proportional memory of this process and its helpers, in MB.
double totalPssMb() {
    double total = procMb(QStringLiteral("self"), "smaps_rollup", "Pss:");
    for (const QString& pid : descendants())
        total += procMb(pid, "smaps_rollup", "Pss:");
    return total;
}

bool engineLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// Seconds since this process started (10 ms resolution).
double sinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat")), uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const double started =
        text.mid(text.lastIndexOf(')') + 2).split(' ')[19].toDouble() / sysconf(_SC_CLK_TCK);
    return uptime.readAll().split(' ')[0].toDouble() - started;
}

// Opens `file` in the pane and waits for it to load; milliseconds.
double openPage(frmMain& w, const QString& file) {
    QElapsedTimer timer;
    timer.start();
    w.frmMain_ShowWeb(0);
    QObject* view = nullptr;
    for (QObject* child : w.brwIE->widget()->children()) {
        if (child->inherits("QWebEngineView"))
            view = child;
    }
    QEventLoop loop;
    QObject::connect(view, SIGNAL(loadFinished(bool)), &loop, SLOT(quit()));
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    w.brwIE->navigate(file);
    loop.exec();
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* what, double value, const char* unit, const char* target) {
    std::printf("%-48s %9.1f %s  (target %s)\n", what, value, unit, target);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmOpening::setInterval(0); // the one-second splash comes on top
    QTemporaryDir dir;
    QFile page(dir.filePath(QStringLiteral("page.html")));
    page.open(QIODevice::WriteOnly);
    page.write("<!DOCTYPE html><html><body><h1>Melodara</h1><p>ページ</p></body></html>");
    page.close();

    frmMain w(dir.path() + QStringLiteral("/DataBase/MelodaraPlayer.db"));
    if (!w.Form_Load())
        return 1;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    report("start-up to the window shown (splash excluded)", sinceProcessStart() * 1000, "ms", "-");
    const double startPss = totalPssMb();
    const double startSelfPss = procMb(QStringLiteral("self"), "smaps_rollup", "Pss:");
    report("memory after start-up (PSS)", startPss, "MB", "-");
    report("resident memory after start-up", procMb(QStringLiteral("self"), "status", "VmRSS:"),
           "MB", "-");
    std::printf("%-48s %9s     (target no)\n", "engine loaded at start-up",
                engineLoaded() ? "yes" : "no");

    // The program loads the engine from its folder when the pane first
    // opens: what linking it would add to every start-up.
    QElapsedTimer timer;
    timer.start();
    browser::setFactory(browser::load(QStringLiteral(MELODARA_WEB_LIBRARY)));
    report("loading the engine's library", timer.nsecsElapsed() / 1e6, "ms", "-");
    report("  its memory (PSS)", totalPssMb() - startPss, "MB", "-");

    report("first opening of the pane with a local page", openPage(w, page.fileName()), "ms",
           "<= 3000");
    report("memory added by the pane, helpers included (PSS)", totalPssMb() - startPss, "MB", "-");
    report("  of which in this process (PSS)",
           procMb(QStringLiteral("self"), "smaps_rollup", "Pss:") - startSelfPss, "MB", "-");
    w.cmdWebClose_Click();
    report("reopening the pane with the page again", openPage(w, page.fileName()), "ms", "<= 500");
    return 0;
}
