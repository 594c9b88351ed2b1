#include "app/opening.h"

#include "base/pictures.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
int period = 1000;
} // namespace

int frmOpening::interval() {
    return period;
}

void frmOpening::setInterval(int ms) {
    period = ms;
}

frmOpening::frmOpening(QWidget* parent) : QDialog(parent), tmProc(new QTimer(this)) {
    setObjectName(QStringLiteral("frmOpening"));
    setWindowTitle(QStringLiteral("MelodaraPlayer"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgOpening"));
    picture->setPixmap(pictures::load(pictures::Picture::Opening));
    auto* name = new QLabel(QStringLiteral("Melodara Player"), this);
    name->setObjectName(QStringLiteral("lblTitle"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version 5.00"), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignCenter);
    layout->addWidget(name, 0, Qt::AlignCenter);
    layout->addWidget(version, 0, Qt::AlignCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    tmProc->setObjectName(QStringLiteral("tmProc"));
    tmProc->setInterval(period);
    tmProc->setSingleShot(true);
    connect(tmProc, &QTimer::timeout, this, &QDialog::accept);
    tmProc->start();
}
