#pragma once

#include "setlists/namelistdialog.h"

// The list of albums, with add, edit and delete through the album editor.
class frmAlbumList : public NameListDialog {
    Q_OBJECT

public:
    explicit frmAlbumList(QWidget* parent = nullptr);

    // True when no listed album other than `editing` has this name,
    // ignoring case and width (the database's albums do).
    bool frmAlmLst_ChkSameName(const QString& name, const QString& editing = {}) const;

    QListWidget* lstAlbum;

private:
    void frmAlmLst_LoadList();
    void frmAlmLst_AddAlbum();
    void frmAlmLst_EditAlbum();
    void frmAlmLst_DelAlbum();
    // Shows the editor to add (state 0) or edit (1) `name`, then reloads.
    void runEditor(int state, const QString& name);
};
