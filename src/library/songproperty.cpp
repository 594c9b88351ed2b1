#include "library/songproperty.h"

#include "base/combohelpers.h"
#include "base/messagecatalogue.h"
#include "base/widgetnames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

namespace {

// A slider with its value shown beside it: the ranges are too wide to
// judge by the handle alone.
QSlider* valueSlider(QWidget* parent, const char* name, int maximum, int pageStep,
                     QGridLayout* grid, int row) {
    auto* slider = named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(0, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(pageStep);
    slider->setTickPosition(QSlider::NoTicks);
    auto* value = named(new QLabel(parent), slider->objectName() + QStringLiteral("Value"));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    value->setNum(0);
    QObject::connect(slider, &QSlider::valueChanged, value, qOverload<int>(&QLabel::setNum));
    grid->addWidget(slider, row, 1);
    grid->addWidget(value, row, 2);
    return slider;
}

} // namespace

frmSongProperty::frmSongProperty(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSongProperty"));
    setWindowTitle(QStringLiteral("プロパティー設定"));

    auto* grid = new QGridLayout;
    const auto label = [&](const char* name, const QString& text, int row) {
        auto* l = named(new QLabel(text, this), name);
        grid->addWidget(l, row, 0, Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    lblFilePath = label("lblFilePath", QStringLiteral("ファイルパス："), 0);
    txtFilePath = named(new QLineEdit(this), "txtFilePath");
    grid->addWidget(txtFilePath, 0, 1, 1, 2);
    lblSongName = label("lblSongName", QStringLiteral("曲名："), 1);
    txtSongName = named(new QLineEdit(this), "txtSongName");
    grid->addWidget(txtSongName, 1, 1, 1, 2);
    lblArtist = label("lblArtist", QStringLiteral("アーティスト："), 2);
    cboArtist = named(new QComboBox(this), "cboArtist");
    cboArtist->setMinimumContentsLength(20);
    cboArtist->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    grid->addWidget(cboArtist, 2, 1, 1, 2, Qt::AlignLeft);
    lblCategory = label("lblCategory", QStringLiteral("ジャンル："), 3);
    lvSongList = named(new QTreeWidget(this), "lvSongList");
    lvSongList->setColumnCount(1);
    lvSongList->setHeaderLabels({QStringLiteral("ジャンル")});
    lvSongList->setRootIsDecorated(false);
    lvSongList->setUniformRowHeights(true);
    lvSongList->header()->setStretchLastSection(true);
    lvSongList->setMinimumHeight(120);
    grid->addWidget(lvSongList, 3, 1, 1, 2);
    grid->setRowStretch(3, 1);
    lblPriority = label("lblPriority", QStringLiteral("優先度"), 4);
    sldPriority = valueSlider(this, "sldPriority", 100, 10, grid, 4);
    lblVolume = label("lblVolume", QStringLiteral("Volume補正"), 5);
    sldVolume = valueSlider(this, "sldVolume", 2000, 100, grid, 5);
    grid->setColumnStretch(1, 1);

    chkBreakOut = named(new QCheckBox(QStringLiteral("ブレークアウト"), this), "chkBreakOut");
    chkTrend = named(new QCheckBox(QStringLiteral("トレンド"), this), "chkTrend");
    auto* flags = new QHBoxLayout;
    flags->addWidget(chkBreakOut);
    flags->addWidget(chkTrend);
    flags->addStretch();
    grid->addLayout(flags, 6, 1, 1, 2);

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmSongProperty::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSongProperty::reject);
    resize(520, 440);
}

void frmSongProperty::SetMode(int mode) {
    mode_ = mode;
}

void frmSongProperty::setTargetSong(const Song& song) {
    song_ = song;
    frmSngPrp_ShowSong();
}

void frmSongProperty::frmSngPrp_ShowSong() {
    txtFilePath->setText(song_.FilePath());

    cboArtist->clear();
    QStringList artists;
    songedit::readArtists(artists);
    cboArtist->addItems(artists);
    SelectComboItem(cboArtist, song_.Artist());

    txtSongName->setText(song_.Title());

    lvSongList->clear();
    songedit::readGenres(genres_);
    const QList<bool> checked = songedit::checkedGenres(song_.Janl(), genres_);
    QList<QTreeWidgetItem*> items;
    for (qsizetype i = 0; i < genres_.size(); ++i) {
        auto* item = new QTreeWidgetItem({genres_[i].name});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, checked[i] ? Qt::Checked : Qt::Unchecked);
        items << item;
    }
    lvSongList->addTopLevelItems(items);

    sldVolume->setValue(song_.Volume());
    sldPriority->setValue(song_.Priority());
    if (const auto on = songedit::flagState(song_.BreakOut()))
        chkBreakOut->setChecked(*on);
    if (const auto on = songedit::flagState(song_.Trend()))
        chkTrend->setChecked(*on);

    // A bulk edit never changes paths or titles.
    txtFilePath->setEnabled(mode_ != 1);
    txtSongName->setEnabled(mode_ != 1);
}

void frmSongProperty::frmSngPrp_GetSong() {
    songedit::Choices c;
    c.filePath = txtFilePath->text();
    c.title = txtSongName->text();
    c.artist = cboArtist->currentText();
    c.checked = checkedGenres();
    c.volume = sldVolume->value();
    c.priority = sldPriority->value();
    c.breakOut = chkBreakOut->isChecked();
    c.trend = chkTrend->isChecked();
    songedit::writeBack(c, song_);
}

QList<songedit::Genre> frmSongProperty::checkedGenres() const {
    QList<songedit::Genre> checked;
    for (int i = 0; i < lvSongList->topLevelItemCount(); ++i) {
        if (lvSongList->topLevelItem(i)->checkState(0) == Qt::Checked)
            checked << genres_.value(i);
    }
    return checked;
}

void frmSongProperty::cmdOK_Click() {
    if (checkedGenres().size() > songedit::kMaxGenres) {
        ShowMessage(Msg::AtMostThreeGenres, 0);
        return;
    }
    frmSngPrp_GetSong();
    accept();
}

void frmSongProperty::reject() {
    canceled_ = true;
    QDialog::reject();
}
