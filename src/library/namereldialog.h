#pragma once

#include <QDialog>

namespace library {
enum class NameKind;
} // namespace library

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

// Asks which standing name takes the songs of a removed one. There is no
// Cancel: closing the window keeps the entry offered first.
class NameRelDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the question for `removed` and offers the non-empty `names`
    // in order, the first selected. False when there is nothing to offer.
    bool prepare(const QString& removed, const QStringList& names);
    // The position of the chosen entry among the names offered.
    int Index() const { return index_; }

    void cmdOK_Click();

    QLabel* lblMes;
    QComboBox* cboList;
    QFrame* linLine;
    QPushButton* cmdOK;

protected:
    NameRelDialog(library::NameKind kind, QWidget* parent);

private:
    library::NameKind kind_;
    int index_ = 0;
};

class frmJanlRel : public NameRelDialog {
    Q_OBJECT

public:
    explicit frmJanlRel(QWidget* parent = nullptr);
    bool frmJanlRel_Init(const QString& removed, const QStringList& names) {
        return prepare(removed, names);
    }

    QComboBox* const cboJanl;
};

class frmArtistRel : public NameRelDialog {
    Q_OBJECT

public:
    explicit frmArtistRel(QWidget* parent = nullptr);
    void frmArtRel_Init(const QString& removed, const QStringList& names) {
        prepare(removed, names);
    }

    QComboBox* const cboArtist;
};
