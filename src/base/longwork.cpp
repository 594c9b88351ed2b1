#include "base/longwork.h"

#include "base/widgetnames.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// Often enough that the bar moves smoothly and Cancel answers at once.
constexpr int kRefreshMs = 50;
constexpr int kDialogWidth = 320;

bool gRunning = false;

LongWorkWatcher& watcher() {
    static LongWorkWatcher w;
    return w;
}

// The progress dialog: closing it in any way only asks the work to stop;
// it goes away when the work has ended, never before.
class LongWorkDialog final : public QDialog {
public:
    LongWorkDialog(QWidget* parent, const QString& caption, WorkProgress& progress)
        : QDialog(parent), progress_(progress),
          label_(named(new QLabel(caption, this), QStringLiteral("lblLongWork"))),
          bar_(named(new QProgressBar(this), QStringLiteral("barLongWork"))),
          cancel_(named(new QPushButton(QStringLiteral("キャンセル"), this),
                        QStringLiteral("cmdLongWorkCancel"))) {
        setObjectName(QStringLiteral("dlgLongWork"));
        setWindowTitle(parent ? parent->window()->windowTitle() : QString());
        setWindowFlag(Qt::WindowCloseButtonHint, false);
        setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
        label_->setTextFormat(Qt::PlainText);
        label_->setWordWrap(true);
        bar_->setRange(0, 0);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(cancel_);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label_);
        layout->addWidget(bar_);
        layout->addLayout(buttons);
        setMinimumWidth(kDialogWidth);
        connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
    }

    void reject() override {
        progress_.cancel();
        cancel_->setEnabled(false);
    }

    void refresh() {
        const int maximum = progress_.maximum();
        if (bar_->maximum() != maximum)
            bar_->setRange(0, maximum);
        if (maximum > 0)
            bar_->setValue(qBound(0, progress_.value(), maximum));
        const QString text = progress_.text();
        if (!text.isEmpty() && label_->text() != text) {
            label_->setText(text);
            // A shown window does not grow by itself for a caption that
            // now wraps onto more lines; it never shrinks, so it stays put.
            const int needed = layout()->totalHeightForWidth(width());
            if (needed > height())
                resize(width(), needed);
        }
        if (progress_.isCancelled())
            cancel_->setEnabled(false);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        reject();
    }

private:
    WorkProgress& progress_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

} // namespace

void WorkProgress::setText(const QString& text) {
    const QMutexLocker locker(&textLock_);
    text_ = text;
}

QString WorkProgress::text() const {
    const QMutexLocker locker(&textLock_);
    return text_;
}

bool runLongWork(QWidget* parent, const QString& caption, const LongWorkFunction& work) {
    if (gRunning)
        return false;
    gRunning = true;

    WorkProgress progress;
    bool result = false;
    LongWorkDialog dialog(parent, caption, progress);
    dialog.show();

    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = work(progress); }));
    thread->setObjectName(QStringLiteral("LongWork"));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &dialog, [&dialog] { dialog.refresh(); });
    refresh.start(kRefreshMs);
    if (watcher())
        watcher()(dialog, progress);
    thread->start();
    // The dialog is modal to the window, so this loop lets painting,
    // playback and other windows run, never the window's own commands.
    if (!thread->isFinished())
        loop.exec();
    thread->wait();

    gRunning = false;
    return result;
}

bool isLongWorkRunning() {
    return gRunning;
}

void setLongWorkWatcher(LongWorkWatcher w) {
    watcher() = std::move(w);
}
