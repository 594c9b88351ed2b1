#pragma once

#include "data/song.h"
#include "library/songedit.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTreeWidget;

// The song property editor: path, title, artist, up to three genres,
// priority, volume correction and the two flags of one record. OK writes
// the controls back into the record; the database is the caller's.
class frmSongProperty : public QDialog {
    Q_OBJECT

public:
    explicit frmSongProperty(QWidget* parent = nullptr);

    // 0 one song (the default), 1 several songs: path and title are then
    // shown but not editable. Set it before the record.
    void SetMode(int mode);
    // Stores the record and fills the controls from it.
    void setTargetSong(const Song& song);
    // The record: as handed in, or as OK wrote it back.
    const Song& TargetSong() const { return song_; }
    bool Canceled() const { return canceled_; }

    void frmSngPrp_ShowSong();
    void frmSngPrp_GetSong();
    // More than three genres: message 19, and the dialog stays open.
    void cmdOK_Click();
    // Cancel, Escape and the title bar's close all end here.
    void reject() override;

    QLabel* lblFilePath;
    QLineEdit* txtFilePath;
    QLabel* lblSongName;
    QLineEdit* txtSongName;
    QLabel* lblArtist;
    QComboBox* cboArtist;
    QLabel* lblCategory;
    QTreeWidget* lvSongList; // the genres, each with a check box
    QLabel* lblPriority;
    QSlider* sldPriority;
    QLabel* lblVolume;
    QSlider* sldVolume;
    QCheckBox* chkBreakOut;
    QCheckBox* chkTrend;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    // The checked genres, top to bottom.
    QList<songedit::Genre> checkedGenres() const;

    // The genres of lvSongList, item by item.
    QList<songedit::Genre> genres_;
    int mode_ = 0;
    Song song_;
    bool canceled_ = false;
};
