#include "setlists/albumdialog.h"

#include "base/messagecatalogue.h"
#include "base/modal.h"
#include "setlists/albums.h"
#include "setlists/albumwizard.h"

#include <QListWidget>
#include <QPushButton>

frmAlbumList::frmAlbumList(QWidget* parent)
    : NameListDialog(QStringLiteral("frmAlbumList"), QStringLiteral("アルバム一覧"),
                     QStringLiteral("lstAlbum"), parent),
      lstAlbum(nameList()) {
    connect(cmdAdd, &QPushButton::clicked, this, &frmAlbumList::frmAlmLst_AddAlbum);
    connect(cmdEdit, &QPushButton::clicked, this, &frmAlbumList::frmAlmLst_EditAlbum);
    connect(cmdDel, &QPushButton::clicked, this, &frmAlbumList::frmAlmLst_DelAlbum);
    frmAlmLst_LoadList();
}

bool frmAlbumList::frmAlmLst_ChkSameName(const QString& name, const QString& editing) const {
    return !albums::nameTaken(allNames(), name, editing);
}

void frmAlbumList::frmAlmLst_LoadList() {
    lstAlbum->clear();
    QStringList names;
    albums::readNames(names);
    showNames(names);
}

void frmAlbumList::frmAlmLst_AddAlbum() {
    runEditor(0, QString());
}

void frmAlbumList::frmAlmLst_EditAlbum() {
    const QString name = selectedName();
    if (!name.isEmpty())
        runEditor(1, name);
}

void frmAlbumList::runEditor(int state, const QString& name) {
    frmAlbumWizard editor(this);
    editor.setNameCheck([this](const QString& n, const QString& editing) {
        return frmAlmLst_ChkSameName(n, editing);
    });
    editor.State = state;
    if (state == 1)
        editor.setAlbumName(name);
    editor.frmAlw_InitForm(name);
    runModal(editor);
    frmAlmLst_LoadList();
}

void frmAlbumList::frmAlmLst_DelAlbum() {
    const QString name = selectedName();
    if (name.isEmpty() || ShowMessage(Msg::DeleteAlbum, 1) != 1)
        return;
    if (albums::remove(name))
        removeSelected();
    setButtons();
}
