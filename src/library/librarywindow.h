#pragma once

#include "library/libraryfiles.h"

#include <QDialog>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class SongListView;

// The library window: lists every registered file, appends files, folders
// and playlist entries as pending files, writes them on OK and deletes
// selected songs at once. Cancel and the title bar's close box drop the
// pending files; Registed still tells whether deletions were made.
class frmMelodara : public QDialog {
    Q_OBJECT

public:
    // Loading the window reads the list.
    explicit frmMelodara(QWidget* parent = nullptr);

    bool Registed() const { return files_.Registed(); }
    int LoadCount() const { return files_.LoadCount(); }

    // 0: deleting is disabled (after an add command); 1: adding files and
    // folders is disabled (after a deletion); any other mode does nothing.
    void frmMld_SetMenuState(int mode);
    // Adds paths from outside (dropped, or handed over by the main window)
    // as the add command of each one's kind adds them, where that command
    // is enabled: music files, folders with their subfolders (walked behind
    // a progress box that can cancel the whole addition), M3U playlists.
    void frmMld_AddPaths(const QStringList& paths);
    // True while a folder walk runs: nothing more can be added meanwhile.
    bool frmMld_Busy() const { return busy_; }
    // Places the controls in a client area of W x H pixels; nothing moves
    // below 434 x 330.
    void layoutControls(int width, int height);

    QMenuBar* menuBar;
    QMenu* mnuFile;
    QAction* mnuFile_AddFile;
    QAction* mnuFile_AddDirectory;
    QAction* mnuFile_AddM3u;
    QAction* mnuFile_DeleteFile;
    QLabel* lblMelodara;
    SongListView* lvFileList;
    QFrame* linLine;
    QPushButton* cmdClose;
    QPushButton* cmdCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void frmMld_InitColumn();
    void frmMld_LoadFileList();
    void frmMld_AddDirectory();
    void frmMld_AddFiles();
    void frmMld_AddM3uFiles();
    // Appends what the add command brought, then disables deleting.
    void appendPending(const QStringList& paths);
    // Appends the music files of `folder` and its subfolders to `found`;
    // false when the user cancelled the walk.
    bool walkFolder(const QString& folder, QStringList& found);
    bool frmMld_RegistFiles();
    void mnuFile_DeleteFile_Click();
    void cmdClose_Click();

    QWidget* client_;
    LibraryFiles files_;
    bool busy_ = false;
};
