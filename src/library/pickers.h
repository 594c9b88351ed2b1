#pragma once

#include "library/places.h"

#include <QDialog>
#include <QStringListModel>

#include <atomic>

class QCheckBox;
class QComboBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;
class QVBoxLayout;
struct SearchWatch;

// What the four pickers share: the drive list of the machine's places, the
// folder list, and the last folder used, kept in the "ファイル検索パス"
// setting so each picker opens where the last one was closed.
//
// The caller shows a picker through runModal, reads RetCode (1 after OK,
// 0 otherwise; closing from the title bar counts as Cancel) and, on 1, the
// result. A test answers a picker by setting its folder and clicking cmdOK.
class PickerBase : public QDialog {
    Q_OBJECT

public:
    int RetCode() const { return retCode_; }

    // The folder list's path.
    const QString& folder() const { return folder_; }
    // Shows `path` in the folder list and selects its place in the drive
    // list. False, with a message for the user in `error`, when the folder
    // cannot be listed: the lists then stay as they were.
    bool setFolder(const QString& path, QString* error = nullptr);

    QComboBox* drvDrive;
    // The ancestors of the folder, nested down to it, then its subfolders.
    QTreeWidget* dirDir;
    QFrame* Line1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

public slots:
    // Cancel, Escape and the title bar's close box: RetCode 0, hidden.
    void reject() override;

protected:
    PickerBase(const QString& caption, QWidget* parent);

    // Opens at the stored folder; where it cannot be used, at the first
    // place, without a message.
    void positionAtStoredFolder();
    // Moves the lists into the folder highlighted in the folder list, if
    // another one is: OK means the folder the user sees chosen. False,
    // with its message shown, when that folder cannot be listed.
    bool enterHighlighted();
    // Writes the folder list's path as the stored folder; a failure shows
    // the connector's box and the picker goes on.
    void storeFolder();
    // RetCode 1 and hidden.
    void finish();
    // Run after the folder list moved to another folder.
    virtual void folderChanged() {}
    // cmdCancel's click; the same as reject() unless a picker has work to stop.
    virtual void cancelClicked() { reject(); }

    // Rows the pickers fill: above the lists, beside them, below them.
    QVBoxLayout* top_;
    QHBoxLayout* lists_;
    QVBoxLayout* bottom_;

private:
    void drvDrive_Change(int index);
    void dirDir_Activated(QTreeWidgetItem* item);

    QList<places::Place> places_;
    QString folder_;
    int retCode_ = 0;
};

// Picks files of one folder: audio files, or playlists with setFileType(1).
class frmFileSelect : public PickerBase {
    Q_OBJECT

public:
    explicit frmFileSelect(QWidget* parent = nullptr);

    // 0: the audio files; 1: M3U playlists; any other value keeps the
    // pattern. The file list and OK follow at once.
    void setFileType(int type);
    const QString& pattern() const { return pattern_; }
    // The selected files as full paths, in the file list's order.
    QStringList frmFilSel_GetFileList() const { return result_; }

    void frmFilSel_InitForm();
    // OK is enabled while the file list holds a file.
    void frmFilSel_SetOKState();

    QLabel* lblAdd;
    QListView* filFile;

private:
    void folderChanged() override;
    void cmdOK_Click();
    void frmFilSel_SetFileList();

    QStringListModel files_;
    QString pattern_;
    QStringList result_;
};

// Picks every music file of a folder, with its subfolders when chkEXT is
// checked. The walk shows how many files it found and can be cancelled
// (with cmdCancel, Escape or the close box); a cancelled walk returns
// nothing and the picker stays open.
class frmDirSelect : public PickerBase {
    Q_OBJECT

public:
    explicit frmDirSelect(QWidget* parent = nullptr);

    QStringList frmDirSel_GetFileList() const { return result_; }
    void frmDirSel_InitForm();
    // Walks the folder list's folder into the result; false when cancelled.
    bool SetFileList();
    bool walking() const { return walking_; }

    QLabel* lblAdd;
    QCheckBox* chkEXT;
    QLabel* lblProgress;

public slots:
    void reject() override;

private:
    void cmdOK_Click();
    void cancelClicked() override;
    void showWalking(bool on);
    void showLeftOut(const SearchWatch& watch);

    QStringList result_;
    bool walking_ = false;
    std::atomic<bool> cancelWalk_{false}; // read by the walk's thread
    bool closeAfterWalk_ = false;
};

// Asks for the name of a file to write in the chosen folder. No extension
// is added and an existing file is not reported.
class frmFileNameSet : public PickerBase {
    Q_OBJECT

public:
    explicit frmFileNameSet(QWidget* parent = nullptr);

    QString frmFilSet_GetFile() const { return result_; }
    void frmFilSet_InitForm();

    QLabel* lblFileName;
    QLineEdit* txtFileName;

private:
    void cmdOK_Click();

    QString result_;
};

// Picks one folder, for copying files into it.
class frmDirSelectBas : public PickerBase {
    Q_OBJECT

public:
    explicit frmDirSelectBas(QWidget* parent = nullptr);

    QString frmDirSelBas_GetDirectory() const { return result_; }
    void frmDirSelBas_InitForm();

    QLabel* lblAdd;

private:
    void cmdOK_Click();

    QString result_;
};
