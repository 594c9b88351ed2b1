#include "library/nameeditdialog.h"

#include "base/modal.h"
#include "base/okcancelrow.h"
#include "base/widgetnames.h"
#include "library/namereldialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
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

    // The boxes of the design stand in view; more scroll.
    auto* boxes = new QWidget;
    grid_ = new QGridLayout(boxes);
    addBoxes(edit_.info().boxes);
    scrBoxes = new QScrollArea(this);
    scrBoxes->setObjectName(QStringLiteral("scrBoxes"));
    scrBoxes->setFrameShape(QFrame::NoFrame);
    scrBoxes->setWidgetResizable(true);
    scrBoxes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrBoxes->setWidget(boxes);
    scrBoxes->setMinimumSize(boxes->sizeHint().width() +
                                 scrBoxes->verticalScrollBar()->sizeHint().width(),
                             boxes->sizeHint().height());

    linLine = sunkenLine(this, QStringLiteral("linLine"));
    const OkCancelRow buttons = okCancelRow(this);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scrBoxes, 1);
    layout->addWidget(linLine);
    layout->addLayout(buttons.layout);

    connect(cmdOK, &QPushButton::clicked, this, &NameEditDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &NameEditDialog::reject);
    fill();
    // The design's boxes, however many more scroll below them.
    resize(minimumSizeHint());
}

void NameEditDialog::addBoxes(int count) {
    const EditTexts& texts = textsOf(kind_);
    // Columns of ten side by side as designed (one for genres, three for
    // artists), then further rows of columns below.
    const int columns = qMax(1, edit_.info().boxes / kRowsPerColumn);
    for (int i = int(boxes_.size()); i < count; ++i) {
        auto* number = new QLabel(QStringLiteral("%1:").arg(i + 1));
        number->setObjectName(indexed(texts.numberName, i));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit;
        box->setObjectName(indexed(texts.boxName, i));
        box->setMinimumWidth(200);
        const int block = i / kRowsPerColumn;
        const int row = block / columns * kRowsPerColumn + i % kRowsPerColumn;
        const int column = block % columns * 2;
        grid_->addWidget(number, row, column);
        grid_->addWidget(box, row, column + 1);
        grid_->setColumnStretch(column + 1, 1);
        numbers_ << number;
        boxes_ << box;
    }
}

void NameEditDialog::fill() {
    for (QLineEdit* box : boxes_)
        box->clear();
    edit_.load();
    const QStringList& names = edit_.oldNames();
    // Every name, and at least one empty box for a new one, to a full
    // column.
    if (names.size() >= boxes_.size())
        addBoxes(int(names.size() / kRowsPerColumn + 1) * kRowsPerColumn);
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
