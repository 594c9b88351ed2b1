#include "base/messagepresenter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

MessagePresenter::~MessagePresenter() = default;

namespace msgbox {

namespace {

class LogPresenter final : public MessagePresenter {
public:
    int present(const QString& text, int style, const QString& title) override {
        qWarning().noquote() << "message box" << style << title << ":" << text;
        return Ok;
    }
};

LogPresenter gLogPresenter;
MessagePresenter* gInstalled = nullptr;

} // namespace

MessagePresenter& presenter() {
    return gInstalled ? *gInstalled : gLogPresenter;
}

void setPresenter(MessagePresenter* p) {
    gInstalled = p;
}

int show(const QString& text, int style, const QString& title) {
    // A box asked for by long work on a worker thread is shown by the
    // user-interface thread, and the work waits for its answer.
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        int result = Ok;
        QMetaObject::invokeMethod(
            app, [&] { result = presenter().present(text, style, title); },
            Qt::BlockingQueuedConnection);
        return result;
    }
    return presenter().present(text, style, title);
}

} // namespace msgbox
