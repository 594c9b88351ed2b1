#include "setlists/setlistdialog.h"

#include "base/messagecatalogue.h"
#include "base/modal.h"
#include "base/textfold.h"
#include "data/adoconnector.h"
#include "setlists/setlistsave.h"
#include "setlists/setlistwizard.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kAll = QStringLiteral("ALL");

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

frmSetList::frmSetList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetList"));
    setWindowTitle(QStringLiteral("セットリスト一覧"));
    lstSetList = new QListWidget(this);
    lstSetList->setObjectName(QStringLiteral("lstSetList"));
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
    layout->addWidget(lstSetList, 1);
    layout->addLayout(buttons);
    resize(420, 300);

    connect(cmdAdd, &QPushButton::clicked, this, &frmSetList::frmSetLst_AddSetList);
    connect(cmdEdit, &QPushButton::clicked, this, &frmSetList::frmSetLst_EditSetList);
    connect(cmdDel, &QPushButton::clicked, this, &frmSetList::frmSetLst_DelSetList);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    frmSetLst_LoadList();
}

bool frmSetList::frmSetLst_ChkSameName(const QString& name, const QString& except) const {
    for (int i = 0; i < lstSetList->count(); ++i) {
        const QString listed = lstSetList->item(i)->text();
        if (listed != except && text::equalsFolded(listed, name))
            return false;
    }
    return true;
}

void frmSetList::frmSetLst_LoadList() {
    lstSetList->clear();
    Recordset rs;
    if (!gConnector->adoGetData(2, rs))
        return;
    for (; !rs.Eof(); rs.MoveNext())
        lstSetList->addItem(rs.text(QStringLiteral("セットリスト名")));
    if (lstSetList->count() > 0)
        lstSetList->setCurrentRow(0);
    frmSetLst_SetButtons();
}

void frmSetList::frmSetLst_SetButtons() {
    const bool any = lstSetList->count() > 0;
    cmdEdit->setEnabled(any);
    cmdDel->setEnabled(any);
}

QString frmSetList::selectedName() const {
    const QListWidgetItem* item = lstSetList->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void frmSetList::frmSetLst_AddSetList() {
    runEditor(0, QString());
}

void frmSetList::frmSetLst_EditSetList() {
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (name == kAll) {
        ShowMessage(20, 0);
        return;
    }
    runEditor(1, name);
}

void frmSetList::runEditor(int state, const QString& name) {
    frmSetListWizard editor(this);
    // An edited set list may change the case of its own name.
    editor.setNameCheck([this, name](const QString& n) { return frmSetLst_ChkSameName(n, name); });
    editor.State = state;
    if (state == 1)
        editor.setSetListName(name);
    editor.frmSlw_InitForm();
    runModal(editor);
    frmSetLst_LoadList();
}

void frmSetList::frmSetLst_DelSetList() {
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (name == kAll) {
        ShowMessage(18, 0);
        return;
    }
    if (ShowMessage(10, 1) != 1)
        return;
    setlists::deleteSetList(name);
    delete lstSetList->takeItem(lstSetList->currentRow());
    lstSetList->setCurrentRow(-1);
    lstSetList->clearSelection();
}
