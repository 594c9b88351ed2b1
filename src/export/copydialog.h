#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of a copy to a folder: which file of how many, and
// "キャンセル", which ends the copy before its next step; the files copied
// so far stay. Escape and the close box cancel too. The window stays until
// the copy has ended, and the copy closes it.
class frmCopyProgress : public QDialog {
    Q_OBJECT

public:
    frmCopyProgress(int count, QWidget* parent = nullptr);

    // File `index` (from 0) is being copied.
    void showFile(int index, const QString& name);

    void reject() override;

    QLabel* lblProgress;
    QLabel* lblFile;
    QProgressBar* prgCopy;
    QPushButton* cmdCancel;

signals:
    void cancelRequested();

private:
    int count_;
};

// Copies `sources` into `folder` on a worker thread while the progress
// window is shown modally over `owner`, so the program's windows keep
// painting however slow the target is. The first failure ends the copy and
// its description is shown; success and a cancel show nothing.
void CopyToFolder(QWidget* owner, const QStringList& sources, const QString& folder);
