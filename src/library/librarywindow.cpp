#include "library/librarywindow.h"

#include "base/filehelpers.h"
#include "base/longwork.h"
#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "base/widgetnames.h"
#include "export/m3ufile.h"
#include "library/outsidepaths.h"
#include "library/pickers.h"
#include "library/playlistreading.h"
#include "songlist/songlistview.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kDesignWidth = 434;
constexpr int kMinHeight = 330;

// The busy pointer for the length of a scope.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The steps of library work shown on the progress dialog; a cancel stops
// the work.
LibraryFiles::Progress progressOf(WorkProgress& work) {
    return [&work](int done, int total) {
        work.setMaximum(total);
        work.setValue(done);
        return !work.isCancelled();
    };
}

} // namespace

frmMelodara::frmMelodara(QWidget* parent)
    : QDialog(parent), lvFileList(new SongListView), client_(new QWidget(this)),
      files_(lvFileList->songs()) {
    setObjectName(QStringLiteral("frmMelodara"));
    setWindowTitle(QStringLiteral("Melodara表示"));

    menuBar = named(new QMenuBar(this), "menuBar");
    mnuFile = named(menuBar->addMenu(QStringLiteral("ファイル")), "mnuFile");
    mnuFile_AddFile =
        named(mnuFile->addAction(QStringLiteral("ファイル選択(&A)")), "mnuFile_AddFile");
    mnuFile_AddDirectory =
        named(mnuFile->addAction(QStringLiteral("フォルダ選択(&F)")), "mnuFile_AddDirectory");
    named(mnuFile->addSeparator(), "mnuFile_Sepa1");
    mnuFile_AddM3u =
        named(mnuFile->addAction(QStringLiteral("m3uファイル選択(&M)")), "mnuFile_AddM3u");
    named(mnuFile->addSeparator(), "mnuFile_Sepa2");
    mnuFile_DeleteFile =
        named(mnuFile->addAction(QStringLiteral("ファイル削除(&D)")), "mnuFile_DeleteFile");
    named(mnuFile->addSeparator(), "mnuFile_Sepa3");
    mnuFile_ReadTags =
        named(mnuFile->addAction(QStringLiteral("タグから曲情報を再読込(&T)")), "mnuFile_ReadTags");

    lblMelodara =
        named(new QLabel(QStringLiteral("管理対象ファイル一覧："), client_), "lblMelodara");
    lvFileList->setParent(client_);
    named(lvFileList, "lvFileList");
    lvFileList->header()->setSectionsClickable(false);
    // Long paths keep their file name in sight; the column fills the view.
    lvFileList->setTextElideMode(Qt::ElideMiddle);
    lvFileList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    linLine = named(new QFrame(client_), "linLine");
    linLine->setFrameShape(QFrame::HLine);
    linLine->setFrameShadow(QFrame::Sunken);
    cmdClose = named(new QPushButton(QStringLiteral("OK"), client_), "cmdClose");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), client_), "cmdCancel");
    cmdClose->setDefault(true);

    // The designed client area is 434 x 333.
    lblMelodara->setGeometry(8, 8, 300, 18);
    lvFileList->setGeometry(8, 28, 419, 253);
    linLine->setGeometry(8, 287, 419, 2);
    cmdCancel->setGeometry(334, 303, 90, 26);
    cmdClose->setGeometry(234, 303, 90, 26);
    client_->setMinimumSize(kDesignWidth, kMinHeight);
    setAcceptDrops(true);
    client_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client_);
    resize(640, 440);

    connect(mnuFile_AddFile, &QAction::triggered, this, &frmMelodara::frmMld_AddFiles);
    connect(mnuFile_AddDirectory, &QAction::triggered, this, &frmMelodara::frmMld_AddDirectory);
    connect(mnuFile_AddM3u, &QAction::triggered, this, &frmMelodara::frmMld_AddM3uFiles);
    connect(mnuFile_DeleteFile, &QAction::triggered, this, &frmMelodara::mnuFile_DeleteFile_Click);
    connect(mnuFile_ReadTags, &QAction::triggered, this, &frmMelodara::mnuFile_ReadTags_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmMelodara::cmdClose_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    frmMld_InitColumn();
    frmMld_LoadFileList();
}

void frmMelodara::frmMld_InitColumn() {
    lvFileList->songs().setColumns({QStringLiteral("ファイルパス")});
    lvFileList->setColumnWidth(0, lvFileList->width() - 15);
}

void frmMelodara::frmMld_LoadFileList() {
    files_.load();
}

void frmMelodara::frmMld_SetMenuState(int mode) {
    if (mode == 0) {
        mnuFile_DeleteFile->setEnabled(false);
    } else if (mode == 1) {
        mnuFile_AddFile->setEnabled(false);
        mnuFile_AddDirectory->setEnabled(false);
    }
}

void frmMelodara::appendPending(const QStringList& paths) {
    {
        BusyPointer busy;
        files_.append(paths);
    }
    frmMld_SetMenuState(0);
}

void frmMelodara::frmMld_AddFiles() {
    frmFileSelect picker(this);
    runModal(picker);
    appendPending(picker.RetCode() == 1 ? picker.frmFilSel_GetFileList() : QStringList());
}

void frmMelodara::frmMld_AddDirectory() {
    frmDirSelect picker(this);
    runModal(picker);
    appendPending(picker.RetCode() == 1 ? picker.frmDirSel_GetFileList() : QStringList());
}

void frmMelodara::frmMld_AddM3uFiles() {
    frmFileSelect picker(this);
    picker.setFileType(1);
    runModal(picker);
    const PlaylistReading read = picker.RetCode() == 1
                                     ? ReadPlaylists(this, picker.frmFilSel_GetFileList())
                                     : PlaylistReading();
    appendPending(read.entries);
    const QString missing = MissingEntriesText(read);
    if (!missing.isEmpty())
        msgbox::show(missing, 0, kDefaultMessageTitle);
}

void frmMelodara::frmMld_AddPaths(const QStringList& paths) {
    if (busy_)
        return;
    QStringList found;
    for (const QString& path : paths) {
        switch (kindOfOutsidePath(path)) {
        case OutsidePath::MusicFile:
            if (mnuFile_AddFile->isEnabled())
                found << path;
            break;
        case OutsidePath::Folder:
            // A cancelled walk adds nothing, as in the folder picker.
            if (mnuFile_AddDirectory->isEnabled() && !walkFolder(path, found)) {
                appendPending({});
                return;
            }
            break;
        case OutsidePath::Playlist:
            if (mnuFile_AddM3u->isEnabled()) {
                // A playlist that cannot be read adds nothing.
                QStringList entries;
                if (ReadM3uFile(path, entries))
                    found += entries;
            }
            break;
        case OutsidePath::Other:
            break;
        }
    }
    appendPending(found);
}

bool frmMelodara::walkFolder(const QString& folder, QStringList& found) {
    // On a worker behind a progress dialog modal to the window.
    SearchWatch watch;
    QStringList files;
    busy_ = true;
    const bool done = runLongWork(
        this, QStringLiteral("フォルダを検索しています..."), [&](WorkProgress& progress) {
            watch.progress = [&progress](int count) {
                progress.setText(
                    QStringLiteral("検索中… %1 個のファイルが見つかりました").arg(count));
                return !progress.isCancelled();
            };
            SearchFiles(folder, files, true, &watch);
            SearchFiles(QString(), files, false);
            return !watch.cancelled && !progress.isCancelled();
        });
    busy_ = false;
    if (!done)
        return false;
    found += files;
    return true;
}

void frmMelodara::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmMelodara::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    // After the drop has ended, so the program it came from is not held
    // while a folder is walked.
    QMetaObject::invokeMethod(
        this, [this, paths] { frmMld_AddPaths(paths); }, Qt::QueuedConnection);
}

bool frmMelodara::frmMld_RegistFiles() {
    const QStringList paths = files_.pendingPaths();
    const bool written = runLongWork(
        this, QStringLiteral("ファイルを登録しています..."), [&paths](WorkProgress& work) {
            return LibraryFiles::registerFiles(paths, progressOf(work));
        });
    if (written)
        files_.markRegistered(int(paths.size()));
    return written;
}

void frmMelodara::mnuFile_ReadTags_Click() {
    QList<qint64> ids;
    QStringList paths;
    files_.registeredSongs(lvFileList->selectedKeys(), ids, paths);
    if (ids.isEmpty())
        return;
    const bool written = runLongWork(
        this, QStringLiteral("タグから曲情報を読み込んでいます..."),
        [&](WorkProgress& work) { return LibraryFiles::rereadTags(ids, paths, progressOf(work)); });
    if (written)
        files_.markChanged();
}

void frmMelodara::mnuFile_DeleteFile_Click() {
    if (ShowMessage(Msg::DeleteSongs, 1) != msgbox::Ok)
        return;
    frmMld_SetMenuState(1);
    files_.deleteSongs(lvFileList->selectedKeys(), [this](const auto& write) {
        return runLongWork(this, QStringLiteral("ファイルを削除しています..."),
                           [&write](WorkProgress& progress) {
                               return write([&progress](int done, int total) {
                                   progress.setMaximum(total);
                                   progress.setValue(done);
                                   return !progress.isCancelled();
                               });
                           });
    });
}

void frmMelodara::cmdClose_Click() {
    // A cancelled or failed write keeps the window open with the files
    // still pending, so nothing the user chose is lost unseen; so do files
    // appended while the write ran, for the next OK.
    if (files_.pendingCount() > 0 && (!frmMld_RegistFiles() || files_.pendingCount() > 0))
        return;
    accept();
}

bool frmMelodara::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        layoutControls(client_->width(), client_->height());
    return QDialog::eventFilter(watched, event);
}

void frmMelodara::layoutControls(int width, int height) {
    if (width < kDesignWidth || height < kMinHeight)
        return;
    lvFileList->resize(width - 15, height - 80);
    lvFileList->setColumnWidth(0, lvFileList->width() - 15);
    linLine->setGeometry(linLine->x(), height - 45, width - 7 - linLine->x(), linLine->height());
    cmdCancel->move(width - 100, height - 30);
    cmdClose->move(cmdCancel->x() - 100, cmdCancel->y());
}
