#pragma once

#include <QDialog>

class QTimer;

// The splash shown while the program starts: it closes itself after one
// period of its timer.
class frmOpening : public QDialog {
    Q_OBJECT

public:
    explicit frmOpening(QWidget* parent = nullptr);

    // One period of tmProc; tests shorten it.
    static int interval();
    static void setInterval(int ms);

    QTimer* tmProc;
};
