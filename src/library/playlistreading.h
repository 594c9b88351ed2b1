#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;

// What the playlists chosen in the library window brought.
struct PlaylistReading {
    QStringList entries;
    // Entries whose files were not found, and the first few of them.
    int missing = 0;
    QStringList missingShown;
    bool cancelled = false;
};

// The progress window of a long playlist read: how far the read is, and
// "キャンセル", which stops it; Escape and the close box stop it too. The
// window stays until the read has ended, and the read closes it.
class frmM3uProgress : public QDialog {
    Q_OBJECT

public:
    explicit frmM3uProgress(QWidget* parent = nullptr);

    // Per mille of the playlists' bytes read.
    void showRead(int perMille);

    void reject() override;

    QLabel* lblProgress;
    QProgressBar* prgRead;
    QPushButton* cmdCancel;

signals:
    void cancelRequested();
};

// Reads the playlists, in order, on a worker thread. A read that has not
// ended at once, or playlists long enough that it will not (some thousands
// of lines), shows the progress window modally over `owner`. Playlists
// that cannot be read add nothing; a cancelled read brings nothing.
PlaylistReading ReadPlaylists(QWidget* owner, const QStringList& playlists);

// The message naming what was not found; empty when nothing was missing.
QString MissingEntriesText(const PlaylistReading& reading);
