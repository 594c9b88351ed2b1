#include "base/modal.h"

#include <QDialog>

namespace {
ModalHandler& handler() {
    static ModalHandler h;
    return h;
}
} // namespace

int runModal(QDialog& dialog) {
    return handler() ? handler()(dialog) : dialog.exec();
}

void setModalHandler(ModalHandler h) {
    handler() = std::move(h);
}
