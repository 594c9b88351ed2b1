#include "songlist/dispsetdialog.h"

#include "base/combohelpers.h"
#include "base/modal.h"
#include "base/okcancelrow.h"
#include "base/storedcolor.h"
#include "base/widgetnames.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace displaysettings;

namespace {

QTreeWidget* propertyList(QWidget* parent, const char* name, const QString& header) {
    auto* list = named(new QTreeWidget(parent), QLatin1String(name));
    list->setColumnCount(1);
    list->setHeaderLabels({header});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setSectionsClickable(false);
    list->header()->setStretchLastSection(true);
    list->setMinimumSize(150, 170);
    return list;
}

// The row of `list` that a command acts on: the selected current row.
QTreeWidgetItem* selectedRow(const QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void fillList(QTreeWidget* list, const QStringList& names) {
    list->clear();
    for (const QString& name : names) {
        auto* item = new QTreeWidgetItem(list, {name});
        item->setData(0, Qt::UserRole, name); // the key
    }
}

QStringList namesOf(const QTreeWidget* list) {
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(0);
    return names;
}

void fillItems(QComboBox* combo, const QString& selected) {
    combo->clear();
    combo->addItems(itemNames());
    combo->setCurrentIndex(-1);
    // A name that is none of the items leaves the combo unchosen.
    if (!selected.isEmpty())
        SelectComboItem(combo, selected);
}

} // namespace

ColorLabel::ColorLabel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setFixedSize(48, 22);
    setValue(0);
}

void ColorLabel::setValue(qint32 value) {
    value_ = value;
    QPalette p = palette();
    p.setColor(QPalette::Window, storedColor(value));
    setPalette(p);
}

frmDispSet::frmDispSet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDispSet"));
    setWindowTitle(QStringLiteral("表示設定"));

    framColumDispSet =
        named(new QGroupBox(QStringLiteral("カラムに表示する曲プロパティ設定"), this),
              QStringLiteral("framColumDispSet"));
    lvColumnList =
        propertyList(framColumDispSet, "lvColumnList", QStringLiteral("曲プロパティ一覧"));
    lvShowColumnList =
        propertyList(framColumDispSet, "lvShowColumnList", QStringLiteral("表示する曲プロパティ"));
    cmdAdd =
        named(new QPushButton(QStringLiteral("→"), framColumDispSet), QStringLiteral("cmdAdd"));
    cmdDelete =
        named(new QPushButton(QStringLiteral("←"), framColumDispSet), QStringLiteral("cmdDelete"));
    cmdUP = named(new QPushButton(QStringLiteral("↑"), framColumDispSet), QStringLiteral("cmdUP"));
    cmdDown =
        named(new QPushButton(QStringLiteral("↓"), framColumDispSet), QStringLiteral("cmdDown"));
    for (QPushButton* b : {cmdAdd, cmdDelete, cmdUP, cmdDown}) {
        b->setFixedWidth(40);
        b->setAutoDefault(false);
    }
    auto* across = new QVBoxLayout;
    across->addStretch();
    across->addWidget(cmdAdd);
    across->addWidget(cmdDelete);
    across->addStretch();
    auto* order = new QVBoxLayout;
    order->addStretch();
    order->addWidget(cmdUP);
    order->addWidget(cmdDown);
    order->addStretch();
    auto* columns = new QHBoxLayout(framColumDispSet);
    columns->addWidget(lvColumnList, 1);
    columns->addLayout(across);
    columns->addWidget(lvShowColumnList, 1);
    columns->addLayout(order);

    framFramDispSet =
        named(new QGroupBox(QStringLiteral("フレームに表示する曲プロパティ設定"), this),
              QStringLiteral("framFramDispSet"));
    auto* frame = new QGridLayout(framFramDispSet);
    const QString lineCaptions[2] = {QStringLiteral("曲情報１の表示項目："),
                                     QStringLiteral("曲情報２の表示項目：")};
    for (int i = 0; i < 2; ++i) {
        cboDispSongProp[i] = named(new QComboBox(framFramDispSet), indexed("cboDispSongProp", i));
        frame->addWidget(new QLabel(lineCaptions[i], framFramDispSet), i, 0);
        frame->addWidget(cboDispSongProp[i], i, 1);
    }
    frame->setColumnStretch(1, 1);

    framStatBarDispSet =
        named(new QGroupBox(QStringLiteral("ステータスバーに表示する曲プロパティ設定"), this),
              QStringLiteral("framStatBarDispSet"));
    cboDispStatBar = named(new QComboBox(framStatBarDispSet), QStringLiteral("cboDispStatBar"));
    auto* status = new QVBoxLayout(framStatBarDispSet);
    status->addWidget(cboDispStatBar);
    status->addStretch();

    // The two background frames have the same rows: back colour, text
    // colour and picture, each with its picker button.
    const auto background = [this](const QString& caption, const char* frameName, ColorLabel*& back,
                                   QPushButton*& backButton, int font, QLineEdit*& path,
                                   QPushButton*& pathButton, const char* suffix) {
        auto* box = named(new QGroupBox(caption, this), QLatin1String(frameName));
        const auto name = [suffix](const char* base) {
            return QLatin1String(base) + QLatin1String(suffix);
        };
        back = named(new ColorLabel(box), name("lblBackCol"));
        backButton = named(new QPushButton(QStringLiteral("色選択..."), box), name("cmdRefCol"));
        lblFontCol[font] = named(new ColorLabel(box), indexed("lblFontCol", font));
        cmdFontRefCol[font] = named(new QPushButton(QStringLiteral("色選択..."), box),
                                    indexed("cmdFontRefCol", font));
        path = named(new QLineEdit(box), name("txtListPicPath"));
        pathButton = named(new QPushButton(QStringLiteral("参照..."), box), name("cmdSearch"));
        auto* grid = new QGridLayout(box);
        grid->addWidget(new QLabel(QStringLiteral("背景色："), box), 0, 0);
        grid->addWidget(back, 0, 1);
        grid->addWidget(backButton, 0, 2, Qt::AlignLeft);
        grid->addWidget(new QLabel(QStringLiteral("文字色："), box), 1, 0);
        grid->addWidget(lblFontCol[font], 1, 1);
        grid->addWidget(cmdFontRefCol[font], 1, 2, Qt::AlignLeft);
        grid->addWidget(new QLabel(QStringLiteral("背景画像："), box), 2, 0);
        grid->addWidget(path, 2, 1, 1, 2);
        grid->addWidget(pathButton, 2, 3);
        grid->setColumnStretch(2, 1);
        path->setMinimumWidth(160);
        for (QPushButton* b : {backButton, cmdFontRefCol[font], pathButton})
            b->setAutoDefault(false);
        connect(backButton, &QPushButton::clicked, this, [this, back] { pickColor(back); });
        connect(cmdFontRefCol[font], &QPushButton::clicked, this,
                [this, font] { pickColor(lblFontCol[font]); });
        connect(pathButton, &QPushButton::clicked, this, [this, path] { pickPicture(path); });
        return box;
    };
    framListBGDispSet = background(QStringLiteral("曲リストの背景設定"), "framListBGDispSet",
                                   lblBackCol, cmdRefCol, 0, txtListPicPath, cmdSearch, "");
    framCptDispSet =
        background(QStringLiteral("コンパクト画面の背景設定"), "framCptDispSet", lblBackColCpt,
                   cmdRefColCpt, 1, txtListPicPathCpt, cmdSearchCpt, "Cpt");

    framPlayDispSet = named(new QGroupBox(QStringLiteral("曲の切り替え"), this),
                            QStringLiteral("framPlayDispSet"));
    spnCrossfade = named(new QSpinBox(framPlayDispSet), QStringLiteral("spnCrossfade"));
    spnCrossfade->setRange(0, kMaxCrossfade);
    spnCrossfade->setSuffix(QStringLiteral(" 秒"));
    auto* play = new QHBoxLayout(framPlayDispSet);
    play->addWidget(new QLabel(QStringLiteral("曲間クロスフェード："), framPlayDispSet));
    play->addWidget(spnCrossfade);
    play->addWidget(new QLabel(QStringLiteral("（0 秒で無効）"), framPlayDispSet));
    play->addStretch();

    const OkCancelRow buttons = okCancelRow(this);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;

    auto* items = new QHBoxLayout;
    items->addWidget(framFramDispSet, 3);
    items->addWidget(framStatBarDispSet, 2);
    auto* backgrounds = new QHBoxLayout;
    backgrounds->addWidget(framListBGDispSet);
    backgrounds->addWidget(framCptDispSet);
    auto* layout = new QVBoxLayout(this);
    // A dialog of fixed size, so no control is ever squeezed.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(framColumDispSet, 1);
    layout->addLayout(items);
    layout->addLayout(backgrounds);
    layout->addWidget(framPlayDispSet);
    layout->addLayout(buttons.layout);

    connect(cmdAdd, &QPushButton::clicked, this,
            [this] { moveAcross(lvColumnList, lvShowColumnList); });
    connect(cmdDelete, &QPushButton::clicked, this,
            [this] { moveAcross(lvShowColumnList, lvColumnList); });
    connect(cmdUP, &QPushButton::clicked, this, [this] { moveShown(-1); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { moveShown(1); });
    connect(cmdOK, &QPushButton::clicked, this, &frmDispSet::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDispSet::reject);

    frmDst_InitForm();
}

void frmDispSet::frmDst_InitForm() {
    const Settings s = load();
    fillList(lvShowColumnList, s.shown);
    fillList(lvColumnList, s.available);
    for (QTreeWidget* list : {lvShowColumnList, lvColumnList}) {
        if (list->topLevelItemCount() > 0)
            list->setCurrentItem(list->topLevelItem(0));
    }
    for (int i = 0; i < 2; ++i)
        fillItems(cboDispSongProp[i], s.frameItems[i]);
    fillItems(cboDispStatBar, s.statusItem);
    txtListPicPath->setText(s.mainPicture);
    lblFontCol[0]->setValue(s.mainText);
    lblBackCol->setValue(s.mainBack);
    txtListPicPathCpt->setText(s.compactPicture);
    lblFontCol[1]->setValue(s.compactText);
    lblBackColCpt->setValue(s.compactBack);
    spnCrossfade->setValue(s.crossfade);
}

Settings frmDispSet::settings() const {
    Settings s;
    s.shown = namesOf(lvShowColumnList);
    s.available = namesOf(lvColumnList);
    for (int i = 0; i < 2; ++i)
        s.frameItems[i] = cboDispSongProp[i]->currentText();
    s.statusItem = cboDispStatBar->currentText();
    s.mainPicture = txtListPicPath->text();
    s.mainText = lblFontCol[0]->value();
    s.mainBack = lblBackCol->value();
    s.compactPicture = txtListPicPathCpt->text();
    s.compactText = lblFontCol[1]->value();
    s.compactBack = lblBackColCpt->value();
    s.crossfade = spnCrossfade->value();
    return s;
}

void frmDispSet::cmdOK_Click() {
    // Saving is all or nothing; after a failure (the connector has said
    // why) the dialog stays open with the user's choices.
    if (!save(settings()))
        return;
    State = 0;
    accept();
}

void frmDispSet::reject() {
    State = 1;
    QDialog::reject();
}

void frmDispSet::moveAcross(QTreeWidget* from, QTreeWidget* to) {
    QTreeWidgetItem* item = selectedRow(from);
    if (!item)
        return;
    const int row = from->indexOfTopLevelItem(item);
    to->addTopLevelItem(from->takeTopLevelItem(row));
    to->clearSelection();
    // The next row is selected, so repeated clicks move one row after another.
    if (from->topLevelItemCount() > 0)
        from->setCurrentItem(from->topLevelItem(std::min(row, from->topLevelItemCount() - 1)));
}

void frmDispSet::moveShown(int by) {
    QTreeWidgetItem* item = selectedRow(lvShowColumnList);
    if (!item)
        return;
    const int row = lvShowColumnList->indexOfTopLevelItem(item);
    const int to = row + by;
    if (to < 0 || to >= lvShowColumnList->topLevelItemCount())
        return;
    lvShowColumnList->insertTopLevelItem(to, lvShowColumnList->takeTopLevelItem(row));
    lvShowColumnList->setCurrentItem(item);
    lvShowColumnList->setFocus();
}

void frmDispSet::pickColor(ColorLabel* label) {
    QColorDialog dialog(storedColor(label->value()), this);
    if (runModal(dialog) == QDialog::Accepted)
        label->setValue(storedValue(dialog.currentColor()));
}

void frmDispSet::pickPicture(QLineEdit* path) {
    QFileDialog dialog(this, QStringLiteral("背景画像"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("全ての画像ﾌｧｲﾙ (*.bmp *.jpg)"),
                           QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)"),
                           QStringLiteral("Jpegﾌｧｲﾙ(*.jpg)")});
    const QFileInfo current(path->text());
    if (current.isAbsolute())
        dialog.setDirectory(current.absolutePath());
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    path->setText(dialog.selectedFiles().front());
}
