// Files from outside the program: dropped on the main window, given on
// the command line or handed over by a later start on the same library.
// They go to the library window's pending list as its add commands add
// them; the library window opens for them when it is closed.

#include "app/mainwindow.h"

#include "library/librarywindow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

#include <utility>

namespace {

// How often files that wait for a dialog to close look again.
constexpr int kWaitingFilesRetryMs = 250;

QStringList localPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

void frmMain::connectFiles() {
    setAcceptDrops(true);
    filesTimer_ = new QTimer(this);
    filesTimer_->setObjectName(QStringLiteral("tmWaitingFiles"));
    filesTimer_->setInterval(kWaitingFilesRetryMs);
    connect(filesTimer_, &QTimer::timeout, this, &frmMain::handWaitingFiles);
}

void frmMain::frmMain_Raise() {
    // A dialog in front (the compact window among them) is what the user
    // must see; the main window is restored only when nothing stands in.
    QWidget* front = QApplication::activeModalWidget();
    if (!front) {
        front = this;
        if (isMinimized())
            showNormal();
    }
    front->raise();
    front->activateWindow();
}

void frmMain::frmMain_OpenFiles(const QStringList& paths) {
    frmMain_Raise();
    if (paths.isEmpty())
        return;
    waitingFiles_ += paths;
    handWaitingFiles();
}

void frmMain::handWaitingFiles() {
    if (waitingFiles_.isEmpty()) {
        filesTimer_->stop();
        return;
    }
    QWidget* front = QApplication::activeModalWidget();
    const bool libraryReady = library_ && !library_->frmMld_Busy() &&
                              (front == library_ || (!front && library_->isVisible()));
    if (libraryReady) {
        filesTimer_->stop();
        library_->frmMld_AddPaths(std::exchange(waitingFiles_, {}));
    } else if (!front && !library_ && started_ && isVisible() && !compact_) {
        filesTimer_->stop();
        frmMain_ShowLibrary(std::exchange(waitingFiles_, {}));
    } else {
        // Another dialog, a walk, the splash: they are added once it ends.
        filesTimer_->start();
    }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(*event->mimeData());
    event->acceptProposedAction();
    // After the drop has ended: the library window runs modally.
    QMetaObject::invokeMethod(
        this, [this, paths] { frmMain_OpenFiles(paths); }, Qt::QueuedConnection);
}
