#include "app/mainwindow.h"

#include "app/mainsettings.h"
#include "app/opening.h"
#include "base/busypointer.h"
#include "base/elidedlabel.h"
#include "base/messagecatalogue.h"
#include "base/modal.h"
#include "base/pictures.h"
#include "base/random.h"
#include "base/storedcolor.h"
#include "base/twips.h"
#include "base/widgetnames.h"
#include "base/windowplace.h"
#include "data/adoconnector.h"
#include "data/songrecord.h"
#include "playback/gstplayer.h"
#include "playback/nowplaying.h"
#include "playback/playercontrol.h"
#include "playback/playstate.h"
#include "playback/selectsong.h"
#include "songlist/displaysettings.h"
#include "songlist/dispsetdialog.h"
#include "songlist/filterbox.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The now-playing frame's width when the window leaves room for it, and
// the least space kept between it and the buttons or the volume.
constexpr int kFrameWidth = 380;
constexpr int kFrameGap = 8;
constexpr int kFilterTop = 116;
constexpr int kFilterHeight = 24;
// The smallest area below the menu bar the controls are laid out in; the
// window cannot be made smaller, so none of them is ever cut off.
constexpr int kMinInnerWidth = 640;
constexpr int kMinInnerHeight = 200;

// The process-wide start and end: the connector, and the seed of the
// random source.
std::unique_ptr<ADO_Connector> connector;

// Creates gConnector on `databasePath` (the default file when empty) and
// seeds the song random source from the clock.
void mdlMain_Init(const QString& databasePath) {
    connector = std::make_unique<ADO_Connector>(databasePath);
    gConnector = connector.get();
    seedSongRandom(quint32(QDateTime::currentMSecsSinceEpoch()));
}

// Releases gConnector, closing the database.
void mdlMain_Term() {
    gConnector = nullptr;
    connector.reset();
}

} // namespace

frmMain::frmMain(const QString& databasePath, MediaPlayer* player, QWidget* parent)
    : QMainWindow(parent), mpPlayer(player ? player : new GstPlayer()),
      databasePath_(databasePath) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Melodara Player"));
    mpPlayer->setParent(this);
    mpPlayer->setObjectName(QStringLiteral("mpPlayer"));
    buildControls();
    buildMenus();
    connectPlayer();
    connectListKeys();
    buildWebPane();
    connectFiles();
    connectMpris();
    connectMenus();
    resize(860, 600);
}

frmMain::~frmMain() {
    Form_Unload();
}

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    central->setMinimumSize(kMinInnerWidth, kMinInnerHeight);
    setCentralWidget(central);

    lblSetList = named(new QLabel(QStringLiteral("セットリスト："), central), "lblSetList");
    cboSetList = named(new QComboBox(central), "cboSetList");
    lblPlayState = named(new QLabel(QStringLiteral("再生方法："), central), "lblPlayState");
    cboHowToPlay = named(new QComboBox(central), "cboHowToPlay");
    cboHowToPlay->addItems({kRandomPlay, kProgramPlay, kPriorityPlay});

    cmdPlay = pictures::button(central, QStringLiteral("cmdPlay"), QStringLiteral("再生"),
                               pictures::Picture::Play);
    cmdStop = pictures::button(central, QStringLiteral("cmdStop"), QStringLiteral("停止"),
                               pictures::Picture::Stop);
    cmdNext = pictures::button(central, QStringLiteral("cmdNext"), QStringLiteral("次の曲"),
                               pictures::Picture::Next);

    fraSong = named(new QGroupBox(QStringLiteral("再生中の曲"), central), "fraSong");
    lblSongDisp1 = named(new QLabel(fraSong), "lblSongDisp1");
    lblSongDisp2 = named(new QLabel(fraSong), "lblSongDisp2");
    // Song titles, artists and paths are shown as typed, never as markup.
    for (QLabel* label : {lblSongDisp1, lblSongDisp2})
        label->setTextFormat(Qt::PlainText);
    QFont title = lblSongDisp1->font();
    title.setPointSizeF(title.pointSizeF() * 1.2);
    title.setBold(true);
    lblSongDisp1->setFont(title);
    linSongName = named(new QFrame(fraSong), "linSongName");
    linArtist = named(new QFrame(fraSong), "linArtist");
    for (QFrame* line : {linSongName, linArtist}) {
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
    }
    sldDuration = named(new QSlider(Qt::Horizontal, fraSong), "sldDuration");
    sldDuration->setRange(0, 0);
    lblDuration = named(new QLabel(nowplaying::positionText(0, 0), fraSong), "lblDuration");
    lblDuration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fraSong->setGeometry(0, 36, kFrameWidth, 104);
    lblSongDisp1->setGeometry(12, 20, kFrameWidth - 24, 22);
    linSongName->setGeometry(12, 42, kFrameWidth - 24, 2);
    lblSongDisp2->setGeometry(12, 48, kFrameWidth - 24, 20);
    linArtist->setGeometry(12, 68, kFrameWidth - 24, 2);
    layoutDuration(kFrameWidth - 24);

    sldVolume = named(new QSlider(Qt::Horizontal, central), "sldVolume");
    sldVolume->setRange(0, 8000);
    sldVolume->setSingleStep(500);
    sldVolume->setPageStep(500);
    sldVolume->setTickInterval(500);
    sldVolume->setTickPosition(QSlider::TicksBelow);
    sldVolume->setToolTip(QStringLiteral("音量"));
    sldVolume->setValue(mainsettings::kDefaultVolume);

    lvSongList = named(new SongListView(central), "lvSongList");
    txtFilter = named(new FilterBox(*lvSongList, central), "txtFilter");

    // The captions take the width their font needs, so none is clipped.
    lblSetList->setGeometry(8, 10, lblSetList->sizeHint().width(), 22);
    cboSetList->setGeometry(lblSetList->geometry().right() + 5, 8, 220, 26);
    lblPlayState->setGeometry(cboSetList->geometry().right() + 21, 10,
                              lblPlayState->sizeHint().width(), 22);
    cboHowToPlay->setGeometry(lblPlayState->geometry().right() + 5, 8, 140, 26);
    cmdPlay->setGeometry(8, 56, 52, 52);
    cmdStop->setGeometry(64, 56, 52, 52);
    cmdNext->setGeometry(120, 56, 52, 52);
    sldVolume->setGeometry(0, 68, 160, 32);
    lvSongList->setGeometry(8, 150, 400, 300);

    statBar = named(new QStatusBar(this), "statBar");
    setStatusBar(statBar);
    // The song text has a label of its own: the bar's message is temporary,
    // and the status tips of the menus would wipe it. A long path is cut in
    // the middle, keeping the file name, rather than widening the window.
    lblStatBarSong = named(new ElidedLabel(Qt::ElideMiddle, statBar), "lblStatBarSong");
    statBar->addPermanentWidget(lblStatBarSong, 1);
    tmDuration = named(new QTimer(this), "tmDuration");
    tmDuration->setInterval(1000);

    connect(cboSetList, &QComboBox::currentIndexChanged, this, [this] {
        if (!comboGuard_)
            frmMain_ReloadSetList();
    });
    connect(lvSongList, &SongListView::columnClicked, this,
            [this](int column) { lvSortList(lvSongList->songs(), column); });
}

bool frmMain::Form_Load() {
    mdlMain_Init(databasePath_);
    loaded_ = true;
    {
        frmOpening splash;
        splash.tmProc->setInterval(frmOpening::interval());
        splash.exec();
    }
    if (!frmMain_Init()) {
        ShowMessage(Msg::WindowInitFailed, 0);
        Form_Unload();
        return false;
    }
    compact_ = false;
    return true;
}

bool frmMain::frmMain_Init() {
    lvResetLastKey();
    if (!lvSetColumns(*lvSongList))
        return false;
    frmMain_SetSetListCombo();
    const QString setList = cboSetList->currentText();
    player_->setSetList(setList);
    if (!lvSetSongList(0, setList, lvSongList->songs())) {
        // A set list that cannot be opened (its query is gone) would fail
        // every start the same way: the next start comes up on "ALL".
        if (setList != u"ALL")
            gConnector->adoSetData(Write::SelectSetList, {QStringLiteral("ALL")});
        return false;
    }
    lvSortList(lvSongList->songs(), -1);
    {
        // The combo-event guard: a selection by the program reloads nothing.
        const QScopedValueRollback guard(comboGuard_, true);
        const int mode = cboHowToPlay->findText(mainsettings::readPlayMode().value_or(QString()));
        cboHowToPlay->setCurrentIndex(mode >= 0 ? mode : 0);
    }
    sldVolume->setValue(mainsettings::readVolume());
    gPlayState = kStopped;
    frmMain_SetMainAppearance();
    restorePlace();
    started_ = true;
    return true;
}

// The place is kept in twips, as the compact window's is; a maximised
// window keeps the place it returns to.
mainsettings::Place frmMain::storedPlace() const {
    // By its frame's corner, where move() puts it back.
    const QPoint frame = geometry().topLeft() - pos();
    QRect r(pos(), size());
    if (isMaximized() || isMinimized())
        r = normalGeometry().translated(-frame);
    const auto twips = [](int pixels, double dpi) {
        return int(std::lround(pixelsToTwips(pixels, dpi)));
    };
    return {QRect(twips(r.x(), logicalDpiX()), twips(r.y(), logicalDpiY()),
                  twips(r.width(), logicalDpiX()), twips(r.height(), logicalDpiY())),
            isMaximized()};
}

void frmMain::restorePlace() {
    const auto place = mainsettings::readPlace();
    if (!place)
        return;
    const QRect& t = place->twips;
    const QSize size(twipsToPixels(t.width(), logicalDpiX()),
                     twipsToPixels(t.height(), logicalDpiY()));
    const QRect wanted(
        QPoint(twipsToPixels(t.x(), logicalDpiX()), twipsToPixels(t.y(), logicalDpiY())), size);
    resize(size);
    move(windowPlace(wanted, screenGeometries(), screen()->availableGeometry()));
    if (place->maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::frmMain_SetSetListCombo() {
    cboSetList->blockSignals(true);
    cboSetList->clear();
    cboSetList->blockSignals(false);
    const mainsettings::SetLists lists = mainsettings::readSetLists();
    if (!lists.read)
        return;
    const QScopedValueRollback guard(comboGuard_, true);
    cboSetList->addItems(lists.names);
    cboSetList->setCurrentIndex(lists.names.isEmpty() ? -1 : lists.selected);
}

void frmMain::frmMain_ReloadSetList() {
    reloadSetList(false);
}

void frmMain::frmMain_RefreshSetList() {
    reloadSetList(true);
}

// Read again after an edit, the same set list lets the song play on, and
// program play goes on after it; the song takes its edited names.
void frmMain::reloadSetList(bool playOn) {
    const BusyPointer busy;
    const QString name = cboSetList->currentText();
    playOn = playOn && name == player_->setList() && gPlayState != kStopped;
    if (!playOn)
        frmMain_StopSong();
    if (lvSetSongList(0, name, lvSongList->songs()) &&
        gConnector->adoSetData(Write::SelectSetList, {name}) && !playOn)
        lvResetLastKey();
    player_->setSetList(name);
    player_->reloaded();
    Song song;
    if (playOn && currentSong() &&
        readSong(songrecord::idOfKey(currentSong()->KeyString()).toLongLong(), song))
        followEditedSong({song});
}

void frmMain::frmMain_SetMainAppearance() {
    displaysettings::Appearance look;
    if (!displaysettings::readAppearance(displaysettings::Window::Main, look))
        return;
    if (look.picturePath)
        lvSongList->setPicture(*look.picturePath);
    if (look.textColor)
        lvSongList->setTextColor(storedColor(*look.textColor));
    if (look.backColor)
        lvSongList->setBackColor(storedColor(*look.backColor));
}

void frmMain::mnuSetting_Disp_Click() {
    frmDispSet dialog(this);
    runModal(dialog);
    if (dialog.State != 0)
        return;
    if (!lvSetColumns(*lvSongList))
        return;
    frmMain_RefreshSetList();
    frmMain_SetMainAppearance();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutControls(centralWidget()->width(), centralWidget()->height());
}

void frmMain::layoutControls(int width, int height) {
    if (width < kMinInnerWidth || height < kMinInnerHeight)
        return;
    // The list keeps 20 pixels below it for the status bar; the status bar
    // lies outside this area, so only what it leaves of them stays empty.
    lvFitControl(width, 8, height, std::max(0, 20 - statBar->height()), *lvSongList);
    sldVolume->move(width - sldVolume->width() - 20, sldVolume->y());
    // The frame is centred at its full width where that keeps it clear of
    // the buttons and the volume; a narrower window narrows it to the room
    // between them.
    const int left = cmdNext->geometry().right() + 1 + kFrameGap;
    const int right = sldVolume->x() - kFrameGap;
    const int frameWidth = std::min(kFrameWidth, right - left);
    fraSong->resize(frameWidth, fraSong->height());
    for (QWidget* part :
         std::initializer_list<QWidget*>{lblSongDisp1, linSongName, lblSongDisp2, linArtist})
        part->resize(frameWidth - 24, part->height());
    layoutDuration(frameWidth - 24);
    fraSong->move(std::clamp((width - frameWidth) / 2, left, right - frameWidth), fraSong->y());
    // The filter box lies under the buttons, above the list, up to the frame.
    txtFilter->setGeometry(8, kFilterTop, fraSong->x() - kFrameGap - 8, kFilterHeight);
    if (webPane_)
        frmMain_LayoutWeb(2);
}

// The time keeps the width of its longest text, so the slider does not
// jump as the seconds change.
void frmMain::layoutDuration(int width) {
    const int timeWidth =
        lblDuration->fontMetrics().horizontalAdvance(nowplaying::positionText(35999, 35999)) + 4;
    sldDuration->setGeometry(12, 76, width - timeWidth - kFrameGap, 20);
    lblDuration->setGeometry(12 + width - timeWidth, 76, timeWidth, 20);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    // A start that failed half-way has not read the user's settings yet;
    // writing the window's defaults back would lose them.
    if (started_) {
        mainsettings::Shutdown values;
        values.place = storedPlace();
        values.volume = sldVolume->value();
        values.playMode = cboHowToPlay->currentText();
        const QStringList& captions = lvSongList->songs().captions();
        for (int c = 0; c < captions.size(); ++c)
            values.columnWidths << qMakePair(captions[c], lvSongList->columnWidthTwips(c));
        values.sortOrder = lvSongList->songs().sortOrder();
        values.sortKey = lvSongList->songs().sortKey();
        mainsettings::writeShutdown(values);
    }
    if (loaded_)
        mdlMain_Term();
}
