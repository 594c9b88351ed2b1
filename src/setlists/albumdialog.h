#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// The list of albums, with add, edit and delete through the album editor.
class frmAlbumList : public QDialog {
    Q_OBJECT

public:
    explicit frmAlbumList(QWidget* parent = nullptr);

    // True when no listed album other than `editing` has this name,
    // ignoring case and width (the database's albums do).
    bool frmAlmLst_ChkSameName(const QString& name, const QString& editing = {}) const;

    QListWidget* lstAlbum;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdDel;
    QPushButton* cmdClose;

private:
    void frmAlmLst_LoadList();
    void frmAlmLst_AddAlbum();
    void frmAlmLst_EditAlbum();
    void frmAlmLst_DelAlbum();
    void frmAlmLst_SetButtons();
    // Shows the editor to add (state 0) or edit (1) `name`, then reloads.
    void runEditor(int state, const QString& name);
    // The selected name, or empty when nothing is selected.
    QString selectedName() const;
    QStringList names() const;
};
