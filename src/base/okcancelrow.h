#pragma once

#include <QString>

class QFrame;
class QHBoxLayout;
class QPushButton;
class QWidget;

// The row at a dialog's foot: OK (the default button) and Cancel at the
// right, named "cmdOK" and "cmdCancel".
struct OkCancelRow {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr; // null in a row without one
    QHBoxLayout* layout = nullptr;
};

enum class CancelButton { Shown, None };

OkCancelRow okCancelRow(QWidget* parent, CancelButton cancel = CancelButton::Shown);

// The sunken line that sets the row off from the dialog's contents.
QFrame* sunkenLine(QWidget* parent, const QString& name);
