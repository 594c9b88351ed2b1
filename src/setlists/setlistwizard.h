#pragma once

#include "setlists/conditions.h"

#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// The set-list editor: a name and five condition rows that become the set
// list's stored conditions and its query.
class frmSetListWizard : public QDialog {
    Q_OBJECT

public:
    explicit frmSetListWizard(QWidget* parent = nullptr);

    int State = 0; // 0 add, 1 edit
    // The set list to edit; also shown in txtSetListName.
    void setSetListName(const QString& name);
    // Whether a name is free, asked on OK (the set-list dialog's check).
    void setNameCheck(std::function<bool(const QString&)> isFree) { isFree_ = std::move(isFree); }
    void frmSlw_InitForm();

    // The conditions as the rows now hold them.
    setlists::Conditions conditions() const;

    QLineEdit* txtSetListName;
    std::array<QComboBox*, setlists::kRows> cboCond;
    std::array<QComboBox*, setlists::kRows> cboExt;
    std::array<QLineEdit*, setlists::kRows> txtVal;
    std::array<UpDown*, setlists::kRows> udVal;
    std::array<QComboBox*, setlists::kRows> cboSelKind;
    std::array<QComboBox*, setlists::kRows> cboJoin;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    void cmdOK_Click();

private:
    void frmSlw_SetCondList();
    void frmSlw_SetCondRow(int row);
    void frmSlw_SetJanlList(int row);
    void frmSlw_SetArtistList(int row);
    void frmSlw_SetAlbumList(int row);
    void frmSlw_SetCheckList(int row);
    void frmSlw_LoadCondition(const Recordset& row);
    bool frmSlw_SaveSetList();
    bool frmSlw_UpdateSetList();

    // Selects `text` in row `row`'s kind list and sets the row up, also
    // when the selection does not change.
    void selectKind(int row, const QString& text);
    void showControls(int row, bool selection, bool number, bool join);
    void clearRowsAfter(int row);
    void fillSelection(int row, int kind, const QString& field);
    void setNumberRange(int row);

    QString oldName_;
    bool busy_ = false;
    std::function<bool(const QString&)> isFree_;
};
