#pragma once

#include "songlist/displaysettings.h"

#include <QDialog>
#include <QLabel>

#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// A label whose background shows a stored colour value (red + 256 x green
// + 65536 x blue), kept as given so an unchanged value is saved unchanged.
class ColorLabel : public QLabel {
    Q_OBJECT

public:
    explicit ColorLabel(QWidget* parent = nullptr);
    qint32 value() const { return value_; }
    void setValue(qint32 value);

private:
    qint32 value_ = 0;
};

// The display settings: which properties are the list's columns and in
// which order, what the now-playing frame and the status bar show, and the
// colours and background pictures of the main list and the compact window,
// and the crossfade between songs.
// It reads the stored settings when loaded, writes them all on OK and
// applies nothing itself.
class frmDispSet : public QDialog {
    Q_OBJECT

public:
    explicit frmDispSet(QWidget* parent = nullptr);

    // 0 after OK; 1 after Cancel, the close box or a save that failed.
    int State = 1;

    // Fills every control from the database; run when the dialog loads.
    void frmDst_InitForm();
    // The settings as the controls now hold them.
    displaysettings::Settings settings() const;

    QGroupBox* framColumDispSet;
    QTreeWidget* lvShowColumnList;
    QTreeWidget* lvColumnList;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdUP;
    QPushButton* cmdDown;
    QGroupBox* framFramDispSet;
    std::array<QComboBox*, 2> cboDispSongProp;
    QGroupBox* framStatBarDispSet;
    QComboBox* cboDispStatBar;
    QGroupBox* framListBGDispSet;
    ColorLabel* lblBackCol;
    QPushButton* cmdRefCol;
    std::array<ColorLabel*, 2> lblFontCol;
    std::array<QPushButton*, 2> cmdFontRefCol;
    QLineEdit* txtListPicPath;
    QPushButton* cmdSearch;
    QGroupBox* framCptDispSet;
    ColorLabel* lblBackColCpt;
    QPushButton* cmdRefColCpt;
    QLineEdit* txtListPicPathCpt;
    QPushButton* cmdSearchCpt;
    QGroupBox* framPlayDispSet;
    QSpinBox* spnCrossfade; // seconds, 0 to 10
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The close box and Escape count as Cancel.
    void reject() override;

private:
    void cmdOK_Click();
    // Moves the selected row of `from` to the end of `to`.
    void moveAcross(QTreeWidget* from, QTreeWidget* to);
    // Moves the selected displayed row one place up (-1) or down (+1).
    void moveShown(int by);
    // The colour dialog for a colour label; a cancel changes nothing.
    void pickColor(ColorLabel* label);
    // The picture dialog for a path box; a cancel changes nothing.
    void pickPicture(QLineEdit* path);
};
