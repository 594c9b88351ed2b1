#include "setlists/albumwizard.h"

#include "base/longwork.h"
#include "base/messagecatalogue.h"
#include "base/widgetnames.h"
#include "setlists/albums.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmAlbumWizard::frmAlbumWizard(QWidget* parent)
    : QDialog(parent), isFree_([](const QString&, const QString&) { return true; }) {
    setObjectName(QStringLiteral("frmAlbumWizard"));
    setWindowTitle(QStringLiteral("アルバム追加／編集Wizard"));

    txtAlbumName = named(new QLineEdit(this), "txtAlbumName");
    lvSongList = named(new SongListView(this), "lvSongList");
    lvAlbumSongList = named(new SongListView(this), "lvAlbumSongList");
    for (SongListView* list : {lvSongList, lvAlbumSongList})
        list->setMinimumSize(240, 160); // a few rows and columns stay readable
    // The album's order is its hand order: one song at a time is removed
    // or moved, and a header click does not sort it.
    lvAlbumSongList->setMultiSelect(false);
    lvAlbumSongList->header()->setSectionsClickable(false);
    cmdAdd = button(QStringLiteral("→"), "cmdAdd", this);
    cmdDelete = button(QStringLiteral("削除"), "cmdDelete", this);
    cmdUP = button(QStringLiteral("↑"), "cmdUP", this);
    cmdDown = button(QStringLiteral("↓"), "cmdDown", this);
    cmdOK = button(QStringLiteral("OK"), "cmdOK", this);
    cmdCancel = button(QStringLiteral("キャンセル"), "cmdCancel", this);
    cmdOK->setDefault(true);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(named(new QLabel(QStringLiteral("アルバム名称："), this), "lblAlbumName"));
    nameRow->addWidget(txtAlbumName, 1);

    auto* addRemove = new QVBoxLayout;
    addRemove->addStretch();
    addRemove->addWidget(cmdAdd);
    addRemove->addWidget(cmdDelete);
    addRemove->addStretch();
    auto* upDown = new QVBoxLayout;
    upDown->addStretch();
    upDown->addWidget(cmdUP);
    upDown->addWidget(cmdDown);
    upDown->addStretch();

    auto* lists = new QGridLayout;
    lists->addWidget(named(new QLabel(QStringLiteral("楽曲リスト："), this), "lblSongList"), 0, 0);
    lists->addWidget(
        named(new QLabel(QStringLiteral("アルバムに追加する楽曲："), this), "lblAlbumSongList"), 0,
        2);
    lists->addWidget(lvSongList, 1, 0);
    lists->addLayout(addRemove, 1, 1);
    lists->addWidget(lvAlbumSongList, 1, 2);
    lists->addLayout(upDown, 1, 3);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(1000, 600);

    connect(lvSongList, &SongListView::columnClicked, this,
            [this](int column) { lvSortList(lvSongList->songs(), column); });
    connect(cmdAdd, &QPushButton::clicked, this, &frmAlbumWizard::frmAlw_AddSong);
    connect(cmdDelete, &QPushButton::clicked, this, &frmAlbumWizard::frmAlw_DelSong);
    connect(cmdUP, &QPushButton::clicked, this, &frmAlbumWizard::frmAlw_MoveUp);
    connect(cmdDown, &QPushButton::clicked, this, &frmAlbumWizard::frmAlw_MoveDown);
    connect(cmdOK, &QPushButton::clicked, this, &frmAlbumWizard::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAlbumWizard::setAlbumName(const QString& name) {
    oldName_ = name;
    txtAlbumName->setText(name);
}

void frmAlbumWizard::frmAlw_InitForm(const QString& name) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    lvSetColumns(*lvSongList);
    lvSetColumns(*lvAlbumSongList);
    lvSetSongList(0, QStringLiteral("ALL"), lvSongList->songs());
    if (State == 1)
        lvSetSongList(1, name, lvAlbumSongList->songs());
    QGuiApplication::restoreOverrideCursor();
}

void frmAlbumWizard::frmAlw_AddSong() {
    const bool complete = albums::appendSongs(lvSongList->songs(), lvSongList->selectedKeys(),
                                              lvAlbumSongList->songs());
    lvAlbumSongList->scrollToBottom();
    if (!complete)
        ShowMessage(Msg::SongAlreadyAdded, 0);
}

void frmAlbumWizard::frmAlw_DelSong() {
    SongListModel& album = lvAlbumSongList->songs();
    const QString key = lvAlbumSongList->selectedKey();
    if (key.isEmpty())
        return;
    const int position = album.position(key);
    album.removeItem(key);
    // The next song takes the selection, so the button can be pressed again.
    lvAlbumSongList->selectKey(album.keyAt(std::min(position, album.count() - 1)));
}

void frmAlbumWizard::moveSelected(int by) {
    const QString key = lvAlbumSongList->selectedKey();
    if (key.isEmpty() || !albums::moveSong(lvAlbumSongList->songs(), key, by))
        return;
    lvAlbumSongList->selectKey(key);
    lvAlbumSongList->setFocus();
}

void frmAlbumWizard::frmAlw_MoveUp() {
    moveSelected(-1);
}

void frmAlbumWizard::frmAlw_MoveDown() {
    moveSelected(1);
}

void frmAlbumWizard::cmdOK_Click() {
    const QString name = txtAlbumName->text();
    const bool editing = State == 1;
    const bool taken = !isFree_(name, editing ? oldName_ : QString());
    if (const int message = albums::okMessage(name, lvAlbumSongList->songs().count(), taken)) {
        ShowMessage(message, 0);
        return;
    }
    if (editing ? frmAlw_UpdateAlbum() : frmAlw_SaveAlbum())
        accept();
}

bool frmAlbumWizard::saveReplacing(const QString& oldName) {
    const QString name = txtAlbumName->text();
    const QStringList ids = albums::songIds(lvAlbumSongList->songs());
    bool cancelled = false;
    // A long album is written on a worker behind a dialog modal to the wizard.
    const bool saved = runLongWork(
        this, QStringLiteral("アルバムを保存しています..."), [&](WorkProgress& progress) {
            const bool ok = albums::save(oldName, name, ids, [&progress](int done, int total) {
                progress.setMaximum(total);
                progress.setValue(done);
                return !progress.isCancelled();
            });
            cancelled = !ok && progress.isCancelled();
            return ok;
        });
    if (saved)
        return true;
    if (!cancelled)
        ShowMessage(Msg::AlbumFailed, 0);
    return false;
}

bool frmAlbumWizard::frmAlw_SaveAlbum() {
    return saveReplacing(QString());
}

bool frmAlbumWizard::frmAlw_UpdateAlbum() {
    return saveReplacing(oldName_);
}
