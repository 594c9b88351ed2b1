#include "library/pickers.h"

#include "base/busypointer.h"
#include "base/filehelpers.h"
#include "base/longwork.h"
#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/okcancelrow.h"
#include "base/widgetnames.h"
#include "data/adoconnector.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kFileCaption = QStringLiteral("ファイル選択");
const QString kAudioPattern = QStringLiteral("*.MP3;*.AIF;*.AIFF;*.MID;*.MIDI;*.WAV");
// ".m3u8" is the same format in UTF-8, which the reader takes as well.
const QString kPlaylistPattern = QStringLiteral("*.m3u;*.m3u8");
const QString kAddLabel = QStringLiteral("追加するファイルを選択して下さい");

} // namespace

// --- what the four share ---

PickerBase::PickerBase(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    drvDrive = named(new QComboBox(this), "drvDrive");
    dirDir = named(new QTreeWidget(this), "dirDir");
    dirDir->setHeaderHidden(true);
    dirDir->setRootIsDecorated(false);
    dirDir->setItemsExpandable(false);
    dirDir->setUniformRowHeights(true);
    dirDir->setIndentation(12);
    Line1 = sunkenLine(this, QStringLiteral("Line1"));
    const OkCancelRow buttons = okCancelRow(this);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;

    auto* layout = new QVBoxLayout(this);
    top_ = new QVBoxLayout;
    layout->addLayout(top_);
    lists_ = new QHBoxLayout;
    auto* folders = new QVBoxLayout;
    folders->addWidget(drvDrive);
    folders->addWidget(dirDir, 1);
    lists_->addLayout(folders, 1);
    layout->addLayout(lists_, 1);
    bottom_ = new QVBoxLayout;
    layout->addLayout(bottom_);
    layout->addWidget(Line1);
    layout->addLayout(buttons.layout);
    // Smaller, the lists would show too few folders to walk.
    setMinimumSize(420, 320);
    resize(480, 380);

    places_ = places::machinePlaces();
    for (const places::Place& place : places_)
        drvDrive->addItem(place.name);
    // activated: the user's choice only, never the program's.
    connect(drvDrive, &QComboBox::activated, this, &PickerBase::drvDrive_Change);
    connect(dirDir, &QTreeWidget::itemActivated, this, &PickerBase::dirDir_Activated);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
}

bool PickerBase::setFolder(const QString& path, QString* error) {
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList subfolders;
    QString reason;
    if (path.isEmpty() || !places::subfolders(target, subfolders, reason)) {
        if (error)
            *error = reason;
        return false;
    }
    folder_ = target;

    dirDir->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto add = [this](QTreeWidgetItem* parent, const QIcon& icon, const QString& name,
                            const QString& itemPath) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(dirDir);
        item->setIcon(0, icon);
        item->setText(0, name);
        item->setData(0, Qt::UserRole, itemPath);
        return item;
    };
    QTreeWidgetItem* current = nullptr;
    for (const QString& up : places::ancestors(folder_))
        current = add(current, open, current ? QFileInfo(up).fileName() : up, up);
    const QDir dir(folder_);
    for (const QString& name : subfolders)
        add(current, closed, name, dir.filePath(name));
    dirDir->expandAll();
    dirDir->setCurrentItem(current);
    dirDir->scrollToItem(current);

    const int place = places::placeOf(places_, folder_);
    if (place >= 0)
        drvDrive->setCurrentIndex(place);
    folderChanged();
    return true;
}

void PickerBase::reject() {
    retCode_ = 0;
    QDialog::reject();
}

void PickerBase::positionAtStoredFolder() {
    Recordset rs;
    QString stored;
    if (gConnector->adoGetData(Read::SearchPaths, rs) && !rs.Eof())
        stored = rs.text(QStringLiteral("設定値"));
    if (setFolder(stored))
        return;
    for (const places::Place& place : places_) {
        if (setFolder(place.root))
            return;
    }
}

bool PickerBase::enterHighlighted() {
    const QList<QTreeWidgetItem*> highlighted = dirDir->selectedItems();
    if (highlighted.isEmpty())
        return true;
    const QString path = highlighted.first()->data(0, Qt::UserRole).toString();
    QString error;
    if (path == folder_ || setFolder(path, &error))
        return true;
    msgbox::show(error, 0, kDefaultMessageTitle);
    return false;
}

void PickerBase::storeFolder() {
    gConnector->adoSetData(Write::SearchPath, {folder_});
}

void PickerBase::finish() {
    retCode_ = 1;
    accept();
}

void PickerBase::drvDrive_Change(int index) {
    QString error;
    // On failure the drive list keeps the chosen place; the folders stay.
    if (index >= 0 && index < places_.size() && !setFolder(places_[index].root, &error))
        msgbox::show(error, 0, kDefaultMessageTitle);
}

void PickerBase::dirDir_Activated(QTreeWidgetItem* item) {
    QString error;
    if (item && !setFolder(item->data(0, Qt::UserRole).toString(), &error))
        msgbox::show(error, 0, kDefaultMessageTitle);
}

// --- frmFileSelect ---

frmFileSelect::frmFileSelect(QWidget* parent)
    : PickerBase(kFileCaption, parent), pattern_(kAudioPattern) {
    setObjectName(QStringLiteral("frmFileSelect"));
    lblAdd = named(new QLabel(kAddLabel, this), "lblAdd");
    top_->addWidget(lblAdd);
    filFile = named(new QListView(this), "filFile");
    filFile->setModel(&files_);
    filFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
    filFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    filFile->setUniformItemSizes(true);
    lists_->addWidget(filFile, 1);
    connect(cmdOK, &QPushButton::clicked, this, &frmFileSelect::cmdOK_Click);
    frmFilSel_InitForm();
    frmFilSel_SetOKState();
}

void frmFileSelect::frmFilSel_InitForm() {
    positionAtStoredFolder();
}

void frmFileSelect::setFileType(int type) {
    if (type == 0)
        pattern_ = kAudioPattern;
    else if (type == 1)
        pattern_ = kPlaylistPattern;
    else
        return;
    folderChanged();
}

void frmFileSelect::folderChanged() {
    files_.setStringList(places::matchingFiles(folder(), pattern_));
    frmFilSel_SetOKState();
}

void frmFileSelect::frmFilSel_SetOKState() {
    cmdOK->setEnabled(files_.rowCount() > 0);
}

void frmFileSelect::cmdOK_Click() {
    storeFolder();
    frmFilSel_SetFileList();
    finish();
}

void frmFileSelect::frmFilSel_SetFileList() {
    result_.clear();
    const QDir dir(folder());
    const QItemSelectionModel* selection = filFile->selectionModel();
    for (int row = 0; row < files_.rowCount(); ++row) {
        if (selection->isRowSelected(row, QModelIndex()))
            result_ << dir.filePath(files_.index(row).data().toString());
    }
}

// --- frmDirSelect ---

frmDirSelect::frmDirSelect(QWidget* parent) : PickerBase(kFileCaption, parent) {
    setObjectName(QStringLiteral("frmDirSelect"));
    lblAdd = named(new QLabel(kAddLabel, this), "lblAdd");
    top_->addWidget(lblAdd);
    chkEXT = named(new QCheckBox(QStringLiteral("サブフォルダを含める"), this), "chkEXT");
    lblProgress = named(new QLabel(this), "lblProgress");
    bottom_->addWidget(chkEXT);
    bottom_->addWidget(lblProgress);
    connect(cmdOK, &QPushButton::clicked, this, &frmDirSelect::cmdOK_Click);
    frmDirSel_InitForm();
}

void frmDirSelect::frmDirSel_InitForm() {
    positionAtStoredFolder();
}

void frmDirSelect::cmdOK_Click() {
    if (walking_ || !enterHighlighted())
        return;
    bool done = false;
    {
        const BusyPointer busy;
        showWalking(true);
        storeFolder();
        done = SetFileList();
        showWalking(false);
    }
    if (closeAfterWalk_)
        PickerBase::reject();
    else if (done)
        finish();
}

bool frmDirSelect::SetFileList() {
    result_.clear();
    cancelWalk_ = false;
    closeAfterWalk_ = false;
    walking_ = true;
    const QString from = folder();
    // A grayed check box counts as unchecked.
    const bool recurse = chkEXT->checkState() == Qt::Checked;
    SearchWatch watch;
    QStringList found;
    // The walk runs on a worker behind a progress dialog modal to the
    // picker, which can be cancelled there or with the picker's own Cancel.
    runLongWork(this, QStringLiteral("フォルダを検索しています..."), [&](WorkProgress& progress) {
        watch.progress = [&](int count) {
            progress.setText(QStringLiteral("検索中… %1 個のファイルが見つかりました").arg(count));
            return !progress.isCancelled() && !cancelWalk_;
        };
        SearchFiles(from, found, recurse, &watch);
        SearchFiles(QString(), found, false);
        return !watch.cancelled;
    });
    result_ = found;
    walking_ = false;
    if (watch.cancelled || cancelWalk_) {
        result_.clear();
        lblProgress->setText(QStringLiteral("検索を中止しました"));
        return false;
    }
    lblProgress->clear();
    showLeftOut(watch);
    return true;
}

void frmDirSelect::showWalking(bool on) {
    setWindowTitle(on ? QStringLiteral("処理中...") : kFileCaption);
    // Cancel stays live: it stops the walk.
    for (QWidget* w : std::initializer_list<QWidget*>{drvDrive, dirDir, chkEXT, cmdOK})
        w->setEnabled(!on);
}

void frmDirSelect::showLeftOut(const SearchWatch& watch) {
    QStringList lines;
    if (watch.undecodable > 0) {
        lines << QStringLiteral("名前の文字を読み取れない %1 個のファイルまたはフォルダは"
                                "追加しませんでした。")
                     .arg(watch.undecodable);
        for (const QString& path : watch.undecodableShown)
            lines << QStringLiteral("  ") + path;
        if (watch.undecodable > watch.undecodableShown.size())
            lines << QStringLiteral("  …");
    }
    if (watch.unreadableFolders > 0)
        lines << QStringLiteral("読み取れない %1 個のフォルダは検索しませんでした。")
                     .arg(watch.unreadableFolders);
    if (!lines.isEmpty())
        msgbox::show(lines.join(u'\n'), 0, kDefaultMessageTitle);
}

void frmDirSelect::cancelClicked() {
    if (walking_)
        cancelWalk_ = true;
    else
        reject();
}

void frmDirSelect::reject() {
    if (walking_) {
        cancelWalk_ = true;
        closeAfterWalk_ = true;
        return;
    }
    PickerBase::reject();
}

// --- frmFileNameSet ---

frmFileNameSet::frmFileNameSet(QWidget* parent) : PickerBase(kFileCaption, parent) {
    setObjectName(QStringLiteral("frmFileNameSet"));
    lblFileName = named(new QLabel(QStringLiteral("ファイル名："), this), "lblFileName");
    txtFileName = named(new QLineEdit(this), "txtFileName");
    auto* row = new QHBoxLayout;
    row->addWidget(lblFileName);
    row->addWidget(txtFileName, 1);
    bottom_->addLayout(row);
    connect(cmdOK, &QPushButton::clicked, this, &frmFileNameSet::cmdOK_Click);
    frmFilSet_InitForm();
    txtFileName->setFocus();
}

void frmFileNameSet::frmFilSet_InitForm() {
    positionAtStoredFolder();
}

void frmFileNameSet::cmdOK_Click() {
    const QString name = txtFileName->text().trimmed();
    if (name.isEmpty()) {
        ShowMessage(Msg::EnterFileName, 0);
        return;
    }
    if (!enterHighlighted())
        return;
    result_ = QDir(folder()).filePath(name);
    storeFolder();
    finish();
}

// --- frmDirSelectBas ---

frmDirSelectBas::frmDirSelectBas(QWidget* parent)
    : PickerBase(QStringLiteral("ディレクトリ選択"), parent) {
    setObjectName(QStringLiteral("frmDirSelectBas"));
    lblAdd = named(new QLabel(QStringLiteral("コピー先フォルダを選択して下さい"), this), "lblAdd");
    top_->addWidget(lblAdd);
    connect(cmdOK, &QPushButton::clicked, this, &frmDirSelectBas::cmdOK_Click);
    frmDirSelBas_InitForm();
}

void frmDirSelectBas::frmDirSelBas_InitForm() {
    positionAtStoredFolder();
}

void frmDirSelectBas::cmdOK_Click() {
    if (!enterHighlighted())
        return;
    storeFolder();
    result_ = folder();
    finish();
}
