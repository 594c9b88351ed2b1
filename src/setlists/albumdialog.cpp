#include "setlists/albumdialog.h"

#include "base/messagecatalogue.h"
#include "base/modal.h"
#include "setlists/albums.h"
#include "setlists/albumwizard.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

frmAlbumList::frmAlbumList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAlbumList"));
    setWindowTitle(QStringLiteral("アルバム一覧"));
    lstAlbum = new QListWidget(this);
    lstAlbum->setObjectName(QStringLiteral("lstAlbum"));
    cmdAdd = button(QStringLiteral("追加(&A)..."), "cmdAdd", this);
    cmdEdit = button(QStringLiteral("編集(&E)..."), "cmdEdit", this);
    cmdDel = button(QStringLiteral("削除(&D)..."), "cmdDel", this);
    cmdClose = button(QStringLiteral("閉じる(&C)"), "cmdClose", this);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdAdd, cmdEdit, cmdDel})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstAlbum, 1);
    layout->addLayout(buttons);
    resize(420, 300);

    connect(cmdAdd, &QPushButton::clicked, this, &frmAlbumList::frmAlmLst_AddAlbum);
    connect(cmdEdit, &QPushButton::clicked, this, &frmAlbumList::frmAlmLst_EditAlbum);
    connect(cmdDel, &QPushButton::clicked, this, &frmAlbumList::frmAlmLst_DelAlbum);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    frmAlmLst_LoadList();
}

QStringList frmAlbumList::names() const {
    QStringList out;
    for (int i = 0; i < lstAlbum->count(); ++i)
        out << lstAlbum->item(i)->text();
    return out;
}

bool frmAlbumList::frmAlmLst_ChkSameName(const QString& name, const QString& editing) const {
    return !albums::nameTaken(names(), name, editing);
}

void frmAlbumList::frmAlmLst_LoadList() {
    lstAlbum->clear();
    QStringList found;
    albums::readNames(found);
    lstAlbum->addItems(found);
    if (lstAlbum->count() > 0)
        lstAlbum->setCurrentRow(0);
    frmAlmLst_SetButtons();
}

void frmAlbumList::frmAlmLst_SetButtons() {
    const bool any = lstAlbum->count() > 0;
    cmdEdit->setEnabled(any);
    cmdDel->setEnabled(any);
}

QString frmAlbumList::selectedName() const {
    const QListWidgetItem* item = lstAlbum->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void frmAlbumList::frmAlmLst_AddAlbum() {
    runEditor(0, QString());
}

void frmAlbumList::frmAlmLst_EditAlbum() {
    const QString name = selectedName();
    if (!name.isEmpty())
        runEditor(1, name);
}

void frmAlbumList::runEditor(int state, const QString& name) {
    frmAlbumWizard editor(this);
    editor.setNameCheck([this](const QString& n, const QString& editing) {
        return frmAlmLst_ChkSameName(n, editing);
    });
    editor.State = state;
    if (state == 1)
        editor.setAlbumName(name);
    editor.frmAlw_InitForm(name);
    runModal(editor);
    frmAlmLst_LoadList();
}

void frmAlbumList::frmAlmLst_DelAlbum() {
    const QString name = selectedName();
    if (name.isEmpty() || ShowMessage(2, 1) != 1)
        return;
    if (albums::remove(name)) {
        delete lstAlbum->takeItem(lstAlbum->currentRow());
        lstAlbum->setCurrentRow(-1);
        lstAlbum->clearSelection();
    }
    frmAlmLst_SetButtons();
}
