#include "setlists/setlistdialog.h"

#include "base/messagecatalogue.h"
#include "base/modal.h"
#include "base/textfold.h"
#include "data/adoconnector.h"
#include "setlists/setlistsave.h"
#include "setlists/setlistwizard.h"

#include <QListWidget>
#include <QPushButton>

namespace {
const QString kAll = QStringLiteral("ALL");
} // namespace

frmSetList::frmSetList(QWidget* parent)
    : NameListDialog(QStringLiteral("frmSetList"), QStringLiteral("セットリスト一覧"),
                     QStringLiteral("lstSetList"), parent),
      lstSetList(nameList()) {
    connect(cmdAdd, &QPushButton::clicked, this, &frmSetList::frmSetLst_AddSetList);
    connect(cmdEdit, &QPushButton::clicked, this, &frmSetList::frmSetLst_EditSetList);
    connect(cmdDel, &QPushButton::clicked, this, &frmSetList::frmSetLst_DelSetList);
    frmSetLst_LoadList();
}

bool frmSetList::frmSetLst_ChkSameName(const QString& name, const QString& except) const {
    for (const QString& listed : allNames()) {
        if (listed != except && text::equalsFolded(listed, name))
            return false;
    }
    return true;
}

void frmSetList::frmSetLst_LoadList() {
    lstSetList->clear();
    QStringList names;
    if (gConnector->adoGetColumn(Read::SetLists, QStringLiteral("セットリスト名"), names))
        showNames(names);
}

void frmSetList::frmSetLst_AddSetList() {
    runEditor(0, QString());
}

void frmSetList::frmSetLst_EditSetList() {
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (name == kAll) {
        ShowMessage(Msg::CannotEditAll, 0);
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
        ShowMessage(Msg::CannotDeleteAll, 0);
        return;
    }
    if (ShowMessage(Msg::DeleteSetList, 1) != 1)
        return;
    setlists::deleteSetList(name);
    removeSelected();
}
