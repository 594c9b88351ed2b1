#pragma once

#include "library/nameedit.h"

#include <QDialog>
#include <QList>

class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// The names of one list (genres or artists) in numbered boxes, every name
// and some empty boxes for new ones, in columns of ten that scroll once
// there are more than the window's design shows. OK applies the edit,
// asking first where the songs of each removed name go; Cancel and closing
// the window write nothing.
class NameEditDialog : public QDialog {
    Q_OBJECT

public:
    // True unless the edit was applied with OK.
    bool Cancel() const { return cancel_; }

    const QList<QLineEdit*>& boxes() const { return boxes_; }
    const QList<QLabel*>& numbers() const { return numbers_; }

    void cmdOK_Click();
    void reject() override;

    QScrollArea* scrBoxes;
    QFrame* linLine;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    NameEditDialog(library::NameKind kind, QWidget* parent);

    // Fills the boxes with the names read from the database.
    void fill();
    // Applies the boxes' names; false keeps the dialog open.
    bool apply();

private:
    // Adds boxes until there are `count`.
    void addBoxes(int count);
    // The re-link question for `removed`: the position chosen in `names`.
    int askTarget(const QString& removed, const QStringList& names);

    library::NameKind kind_;
    library::NameListEdit edit_;
    QList<QLineEdit*> boxes_;
    QList<QLabel*> numbers_;
    QGridLayout* grid_;
    bool cancel_ = true;
};

class frmJanlEdit : public NameEditDialog {
    Q_OBJECT

public:
    explicit frmJanlEdit(QWidget* parent = nullptr);
    void frmJanlEdit_Init() { fill(); }
    bool frmJanlEdit_Update() { return apply(); }

    const QList<QLineEdit*>& txtJanl;
    const QList<QLabel*>& lblCategoryNo;
};

class frmArtistEdit : public NameEditDialog {
    Q_OBJECT

public:
    explicit frmArtistEdit(QWidget* parent = nullptr);
    void frmArtEdit_Init() { fill(); }
    bool frmArtEdit_Update() { return apply(); }

    const QList<QLineEdit*>& txtArtist;
    const QList<QLabel*>& lblArtistNo;
};
