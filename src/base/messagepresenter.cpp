#include "base/messagepresenter.h"

#include <QDebug>

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
    return presenter().present(text, style, title);
}

} // namespace msgbox
