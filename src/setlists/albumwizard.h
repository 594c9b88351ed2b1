#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class SongListView;

// The album editor: a name, every song of the library and the album's
// songs in album order.
class frmAlbumWizard : public QDialog {
    Q_OBJECT

public:
    explicit frmAlbumWizard(QWidget* parent = nullptr);

    int State = 0; // 0 add, 1 edit
    // The album to edit; also shown in txtAlbumName.
    void setAlbumName(const QString& name);
    // Whether a name is free for the album (`editing` is the album being
    // edited, empty when adding), asked on OK: the album list's check.
    using NameCheck = std::function<bool(const QString& name, const QString& editing)>;
    void setNameCheck(NameCheck isFree) { isFree_ = std::move(isFree); }
    // Fills both lists; in edit mode the album list with album `name`.
    void frmAlw_InitForm(const QString& name);

    QLineEdit* txtAlbumName;
    SongListView* lvSongList;
    SongListView* lvAlbumSongList;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdUP;
    QPushButton* cmdDown;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    void frmAlw_AddSong();
    void frmAlw_DelSong();
    void frmAlw_MoveUp();
    void frmAlw_MoveDown();
    void cmdOK_Click();
    bool frmAlw_SaveAlbum();
    bool frmAlw_UpdateAlbum();
    // Moves the selected album song one place; it stays selected.
    void moveSelected(int by);
    // Saves the album list under the entered name, replacing `oldName`
    // when given; message 6 when it fails.
    bool saveReplacing(const QString& oldName);

    QString oldName_;
    NameCheck isFree_;
};
