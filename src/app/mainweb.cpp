// The main window's web pane and help menu: the shopping pages open in a
// browser that takes the song list's place, with an address box and back,
// forward, reload, home and close buttons; the help items open the help
// page, the read-me and the author's page with the desktop's programs, or
// in the pane when the desktop has none for them.

#include "app/mainwindow.h"

#include "base/pictures.h"
#include "base/programfolders.h"
#include "songlist/songlistview.h"
#include "web/browser.h"
#include "web/desktop.h"
#include "web/webpages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QToolButton>

namespace {

// The pane's strip above the page: the address box sits 30 pixels above
// the page, 110 to the right of the page's left edge, and ends 25 pixels
// short of its right edge; the buttons are 25 pixels square.
constexpr int kStripHeight = 30;
constexpr int kAddressLeft = 110;
constexpr int kAddressShorter = 135;
constexpr int kAddressHeight = 21;
constexpr int kButtonSize = 25;

QToolButton* webButton(QWidget* parent, const char* name, const QString& caption,
                       pictures::Picture picture) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(caption);
    button->setIcon(pictures::load(picture));
    button->setIconSize(QSize(19, 19));
    button->resize(kButtonSize, kButtonSize);
    button->hide();
    return button;
}

// Adding the engine's first page re-creates the window's native window (the
// page draws with OpenGL); the window manager then places the new one where
// it likes, and it is no longer maximised. This puts the window back as it
// was when its native window changes, once.
class PlaceKeeper final : public QObject {
public:
    explicit PlaceKeeper(QWidget* window)
        : QObject(window), window_(window), place_(window->geometry()),
          maximised_(window->isMaximized()) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::WinIdChange) {
            window_->removeEventFilter(this);
            // Once the new native window is made.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!maximised_)
                        window_->setGeometry(place_);
                    else if (!window_->isMaximized())
                        window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window_;
    QRect place_;
    bool maximised_;
};

QString besideProgram(const char16_t* file) {
    return programfolders::dataFile(QString::fromUtf16(file));
}

} // namespace

void frmMain::buildWebPane() {
    QWidget* central = centralWidget();
    txtWebAddress = new QLineEdit(central);
    txtWebAddress->setObjectName(QStringLiteral("txtWebAddress"));
    txtWebAddress->resize(txtWebAddress->width(), kAddressHeight);
    txtWebAddress->hide();
    using pictures::Picture;
    cmdWebGoBack = webButton(central, "cmdWebGoBack", QStringLiteral("戻る"), Picture::WebBack);
    cmdWebGoNext = webButton(central, "cmdWebGoNext", QStringLiteral("進む"), Picture::WebForward);
    cmdWebRefresh =
        webButton(central, "cmdWebRefresh", QStringLiteral("更新"), Picture::WebRefresh);
    cmdWebHome = webButton(central, "cmdWebHome", QStringLiteral("ホーム"), Picture::WebHome);
    cmdWebClose = webButton(central, "cmdWebClose", QStringLiteral("閉じる"), Picture::WebClose);

    // The buttons act only once the pane has opened, so the page exists.
    connect(cmdWebGoBack, &QToolButton::clicked, this, [this] { brwIE->goBack(); });
    connect(cmdWebGoNext, &QToolButton::clicked, this, [this] { brwIE->goForward(); });
    connect(cmdWebRefresh, &QToolButton::clicked, this, [this] { brwIE->refresh(); });
    connect(cmdWebHome, &QToolButton::clicked, this,
            [this] { brwIE->navigate(webpages::homePage()); });
    connect(cmdWebClose, &QToolButton::clicked, this, &frmMain::cmdWebClose_Click);
    connect(txtWebAddress, &QLineEdit::returnPressed, this,
            [this] { brwIE->navigate(txtWebAddress->text()); });
}

Browser* frmMain::webBrowser() {
    if (brwIE)
        return brwIE;
    auto* keeper = isVisible() ? new PlaceKeeper(this) : nullptr;
    brwIE = browser::create(centralWidget());
    if (!brwIE)
        delete keeper;
    if (brwIE) {
        brwIE->widget()->setObjectName(QStringLiteral("brwIE"));
        brwIE->widget()->hide();
        brwIE->beforeNavigate = [this](const QString& address) {
            txtWebAddress->setText(address);
            txtWebAddress->setCursorPosition(0); // the host first, as browsers show it
        };
    }
    return brwIE;
}

void frmMain::frmMain_ShowWeb(int mode) {
    openWebPage(webpages::pageAddress(mode));
}

void frmMain::openWebPage(const QString& address) {
    // Without its library the pane cannot show a page; the reason is logged.
    if (!webBrowser())
        return;
    if (!address.isEmpty())
        brwIE->navigate(address);
    if (webPane_)
        return;
    webPane_ = true;
    frmMain_SetWebVisible(true);
    frmMain_LayoutWeb(1);
}

void frmMain::frmMain_SetWebVisible(bool visible) {
    if (brwIE)
        brwIE->widget()->setVisible(visible);
    for (QWidget* control : std::initializer_list<QWidget*>{
             txtWebAddress, cmdWebGoBack, cmdWebGoNext, cmdWebRefresh, cmdWebHome, cmdWebClose})
        control->setVisible(visible);
}

void frmMain::frmMain_LayoutWeb(int mode) {
    switch (mode) {
    case 1: {
        lvSongList->setGeometry(lvSongList->geometry().adjusted(0, kStripHeight, 0, 0));
        const QRect page = lvSongList->geometry();
        txtWebAddress->move(page.x() + kAddressLeft, page.y() - kStripHeight);
        int left = page.x();
        for (QToolButton* button : {cmdWebGoBack, cmdWebGoNext, cmdWebRefresh, cmdWebHome}) {
            button->move(left, txtWebAddress->y() - 2);
            left += button->width() + 1;
        }
        cmdWebClose->move(cmdWebClose->x(), txtWebAddress->y() - 2);
        // The page, the address box's width and the close button follow
        // the list as on a resize.
        [[fallthrough]];
    }
    case 2: {
        const QRect page = lvSongList->geometry();
        if (brwIE) {
            brwIE->widget()->setGeometry(page);
            brwIE->widget()->raise();
        }
        txtWebAddress->resize(page.width() - kAddressShorter, txtWebAddress->height());
        cmdWebClose->move(txtWebAddress->x() + txtWebAddress->width() + 5, cmdWebClose->y());
        break;
    }
    case 3:
        lvSongList->setGeometry(lvSongList->geometry().adjusted(0, -kStripHeight, 0, 0));
        break;
    default:
        break;
    }
}

void frmMain::cmdWebClose_Click() {
    // The page keeps its history for the next opening.
    webPane_ = false;
    frmMain_SetWebVisible(false);
    frmMain_LayoutWeb(3);
}

void frmMain::mnuHelp_ShowHelp_Click() {
    // Without a program for web pages on the desktop the pane shows it.
    const QString help = besideProgram(webpages::kHelpFile);
    if (!desktop::open(QUrl::fromLocalFile(help)))
        openWebPage(help);
}

void frmMain::mnuHelp_Help_Click() {
    const QString readMe = besideProgram(webpages::kReadMeFile);
    if (!desktop::open(QUrl::fromLocalFile(readMe)))
        openWebPage(readMe);
}

void frmMain::mnuHelp_HP_Click() {
    const QString page = QString::fromUtf16(webpages::kAuthorPage);
    if (!desktop::open(QUrl(page)))
        openWebPage(page);
}
