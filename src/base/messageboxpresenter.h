#pragma once

#include "base/messagepresenter.h"

#include <QMessageBox>

// The real presenter: a modal QMessageBox styled from the platform style
// number (button set in the low four bits, icon in the next four).
class MessageBoxPresenter final : public MessagePresenter {
public:
    int present(const QString& text, int style, const QString& title) override;

    // Configures `box` for `style`; exposed so the mapping can be checked
    // without showing a window.
    static void applyStyle(QMessageBox& box, int style);

    // The platform result number of a pressed standard button.
    static int resultOf(QMessageBox::StandardButton button);
};
