#pragma once

#include "setlists/namelistdialog.h"

// The list of set lists, with add, edit and delete; "ALL" is protected.
class frmSetList : public NameListDialog {
    Q_OBJECT

public:
    explicit frmSetList(QWidget* parent = nullptr);

    // True when no listed set list other than `except` (the one being
    // edited) has this name. Names are compared ignoring case and width:
    // the database already takes names differing in case for the same.
    bool frmSetLst_ChkSameName(const QString& name, const QString& except = QString()) const;

    QListWidget* lstSetList;

private:
    void frmSetLst_LoadList();
    void frmSetLst_AddSetList();
    void frmSetLst_EditSetList();
    void frmSetLst_DelSetList();
    // Shows the editor to add (state 0) or edit (1) `name`, then reloads.
    void runEditor(int state, const QString& name);
};
