#include "base/okcancelrow.h"

#include "base/widgetnames.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

OkCancelRow okCancelRow(QWidget* parent, CancelButton cancel) {
    OkCancelRow row;
    row.ok = named(new QPushButton(QStringLiteral("OK"), parent), QStringLiteral("cmdOK"));
    row.ok->setDefault(true);
    row.layout = new QHBoxLayout;
    row.layout->addStretch();
    row.layout->addWidget(row.ok);
    if (cancel == CancelButton::Shown) {
        row.cancel = named(new QPushButton(QStringLiteral("キャンセル"), parent),
                           QStringLiteral("cmdCancel"));
        row.layout->addWidget(row.cancel);
    }
    return row;
}

QFrame* sunkenLine(QWidget* parent, const QString& name) {
    auto* line = named(new QFrame(parent), name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
