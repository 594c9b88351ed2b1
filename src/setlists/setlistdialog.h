#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// The list of set lists, with add, edit and delete; "ALL" is protected.
class frmSetList : public QDialog {
    Q_OBJECT

public:
    explicit frmSetList(QWidget* parent = nullptr);

    // True when no listed set list has exactly this name.
    bool frmSetLst_ChkSameName(const QString& name) const;

    QListWidget* lstSetList;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdDel;
    QPushButton* cmdClose;

private:
    void frmSetLst_LoadList();
    void frmSetLst_AddSetList();
    void frmSetLst_EditSetList();
    void frmSetLst_DelSetList();
    void frmSetLst_SetButtons();
    // The selected name, or empty when nothing is selected.
    QString selectedName() const;
};
