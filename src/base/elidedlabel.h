#pragma once

#include <QLabel>

// A one-line label of plain text that shows as much of its text as fits,
// eliding the rest, and never asks for the width of its whole text: a long
// text cannot widen the window that holds it. text() keeps all of it, and
// the tooltip shows all of it while it is cut.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);

    // What the label shows at its present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    Qt::TextElideMode mode_;
};
