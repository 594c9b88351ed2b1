#include "library/nameeditdialog.h"

#include "base/modal.h"
#include "base/widgetnames.h"
#include "library/namereldialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace {

// Boxes stand in columns of ten.
const int kRowsPerColumn = 10;

struct EditTexts {
    const char* formName;
    const char* boxName;
    const char* numberName;
    QString caption;
};

const EditTexts& textsOf(library::NameKind kind) {
    static const EditTexts genre{"frmJanlEdit", "txtJanl", "lblCategoryNo",
                                 QStringLiteral("ジャンル編集")};
    static const EditTexts artist{"frmArtistEdit", "txtArtist", "lblArtistNo",
                                  QStringLiteral("アーティスト編集")};
    return kind == library::NameKind::Genre ? genre : artist;
}

} // namespace

NameEditDialog::NameEditDialog(library::NameKind kind, QWidget* parent)
    : QDialog(parent), kind_(kind), edit_(kind) {
    const EditTexts& texts = textsOf(kind);
    setObjectName(QLatin1String(texts.formName));
    setWindowTitle(texts.caption);

    auto* grid = new QGridLayout;
    const int count = edit_.info().boxes;
    for (int i = 0; i < count; ++i) {
        auto* number = new QLabel(QStringLiteral("%1:").arg(i + 1), this);
        number->setObjectName(indexed(texts.numberName, i));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(this);
        box->setObjectName(indexed(texts.boxName, i));
        box->setMinimumWidth(200);
        const int column = i / kRowsPerColumn * 2;
        grid->addWidget(number, i % kRowsPerColumn, column);
        grid->addWidget(box, i % kRowsPerColumn, column + 1);
        grid->setColumnStretch(column + 1, 1);
        numbers_ << number;
        boxes_ << box;
    }

    linLine = new QFrame(this);
    linLine->setObjectName(QStringLiteral("linLine"));
    linLine->setFrameShape(QFrame::HLine);
    linLine->setFrameShadow(QFrame::Sunken);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(linLine);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &NameEditDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &NameEditDialog::reject);
    fill();
}

void NameEditDialog::fill() {
    for (QLineEdit* box : boxes_)
        box->clear();
    edit_.load();
    const QStringList& names = edit_.oldNames();
    for (int i = 0; i < names.size(); ++i) {
        boxes_[i]->setText(names[i]);
        boxes_[i]->setCursorPosition(0); // a long name shows its start
    }
}

bool NameEditDialog::apply() {
    QStringList texts;
    for (const QLineEdit* box : boxes_)
        texts << box->text();
    return edit_.update(texts, [this](const QString& removed, const QStringList& names) {
        return askTarget(removed, names);
    });
}

int NameEditDialog::askTarget(const QString& removed, const QStringList& names) {
    std::unique_ptr<NameRelDialog> dialog;
    if (kind_ == library::NameKind::Genre)
        dialog = std::make_unique<frmJanlRel>(this);
    else
        dialog = std::make_unique<frmArtistRel>(this);
    if (!dialog->prepare(removed, names))
        return 0;
    runModal(*dialog);
    return dialog->Index();
}

void NameEditDialog::cmdOK_Click() {
    cancel_ = false;
    if (apply())
        accept();
}

void NameEditDialog::reject() {
    cancel_ = true;
    QDialog::reject();
}

frmJanlEdit::frmJanlEdit(QWidget* parent)
    : NameEditDialog(library::NameKind::Genre, parent), txtJanl(boxes()), lblCategoryNo(numbers()) {
}

frmArtistEdit::frmArtistEdit(QWidget* parent)
    : NameEditDialog(library::NameKind::Artist, parent), txtArtist(boxes()),
      lblArtistNo(numbers()) {}
