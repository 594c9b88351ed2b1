// The main window's genre and artist editing: each editor runs modally and,
// unless it was cancelled, the list is read again so it shows the new names
// (the playing song plays on).

#include "app/mainwindow.h"

#include "base/modal.h"
#include "library/nameeditdialog.h"

#include <QAction>

namespace {
void runEditor(frmMain& window, NameEditDialog& editor) {
    runModal(editor);
    if (!editor.Cancel())
        window.frmMain_RefreshSetList();
}
} // namespace

void frmMain::connectNameEditors() {
    connect(action(QStringLiteral("mnuEdit_Category")), &QAction::triggered, this,
            &frmMain::mnuEdit_Category_Click);
    connect(action(QStringLiteral("mnuEdit_Artist")), &QAction::triggered, this,
            &frmMain::mnuEdit_Artist_Click);
}

void frmMain::mnuEdit_Category_Click() {
    frmJanlEdit editor(this);
    runEditor(*this, editor);
}

void frmMain::mnuEdit_Artist_Click() {
    frmArtistEdit editor(this);
    runEditor(*this, editor);
}
