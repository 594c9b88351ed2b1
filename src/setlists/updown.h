#pragma once

#include <QWidget>

class QLineEdit;

// Up and down arrows beside a number box: each click steps the number by
// one within the range.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy) { buddy_ = buddy; }
    void setRange(int minimum, int maximum);
    void step(int by);

private:
    QLineEdit* buddy_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
};
