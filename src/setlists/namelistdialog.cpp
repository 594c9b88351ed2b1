#include "setlists/namelistdialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

NameListDialog::NameListDialog(const QString& objectName, const QString& title,
                               const QString& listName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    names_ = new QListWidget(this);
    names_->setObjectName(listName);
    cmdAdd = button(QStringLiteral("追加(&A)..."), "cmdAdd", this);
    cmdEdit = button(QStringLiteral("編集(&E)..."), "cmdEdit", this);
    cmdDel = button(QStringLiteral("削除(&D)..."), "cmdDel", this);
    cmdClose = button(QStringLiteral("閉じる(&C)"), "cmdClose", this);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdAdd, cmdEdit, cmdDel})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(names_, 1);
    layout->addLayout(buttons);
    resize(420, 300);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void NameListDialog::showNames(const QStringList& names) {
    names_->addItems(names);
    if (names_->count() > 0)
        names_->setCurrentRow(0);
    setButtons();
}

void NameListDialog::setButtons() {
    const bool any = names_->count() > 0;
    cmdEdit->setEnabled(any);
    cmdDel->setEnabled(any);
}

QString NameListDialog::selectedName() const {
    const QListWidgetItem* item = names_->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QStringList NameListDialog::allNames() const {
    QStringList out;
    for (int i = 0; i < names_->count(); ++i)
        out << names_->item(i)->text();
    return out;
}

void NameListDialog::removeSelected() {
    delete names_->takeItem(names_->currentRow());
    names_->setCurrentRow(-1);
    names_->clearSelection();
}
