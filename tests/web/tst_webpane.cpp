// The web pane and the help menu in the real main window, headless, with
// the engine library the program loads. Pages are files the tests write;
// every request for anything else is recorded and blocked before it
// reaches the network.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "fakeplayer.h"
#include "scriptedpresenter.h"
#include "songlist/songlistview.h"
#include "templibrary.h"
#include "web/browser.h"
#include "web/desktop.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <memory>

namespace {

constexpr int kLoad = 60000; // a page load on a loaded machine

const QString kGoods = "https://search.rakuten.co.jp/rms/sd/ecustom/mall"
                       "?cl=000000&nm=zep&bk=https://www.zep-shop.example%2F&hd="
                       "&aid=zep-melodara-01&sg=&sub=0&s=0&v=2&sw=&f=A&nw=&g=0&min=&max=&p=1";
const QString kAuction = "https://search.rakuten.co.jp/rms/sd/ecustom/auction"
                         "?cl=000000&nm=zep&bk=https://www.zep-shop.example%2F&hd="
                         "&aid=zep-melodara-01&sg=&sub=1&s=0&v=2&sw=&f=A&nw=&g=0&min=&max=&p=1";
const QString kShop = "https://www.zep-shop.example/";

// Lets local files through; records and blocks everything else.
class OffTheNetwork final : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.requestUrl().isLocalFile())
            return;
        requests << info.requestUrl().toString(QUrl::FullyEncoded);
        info.block(true);
    }
    QStringList requests;
};

OffTheNetwork& offTheNetwork() {
    static OffTheNetwork interceptor;
    return interceptor;
}

// The program's main window on a fresh library, shown.
struct Window {
    TempLibrary lib;
    ScriptedPresenter boxes;
    std::unique_ptr<frmMain> w;

    Window() {
        lib.close();
        w = std::make_unique<frmMain>(lib.path(), new FakePlayer());
        w->show();
    }
    bool load() { return w->Form_Load() && QTest::qWaitForWindowExposed(w.get()); }

    // The engine's view, once the pane has opened.
    QWebEngineView* view() const {
        return w->brwIE ? w->brwIE->widget()->findChild<QWebEngineView*>() : nullptr;
    }
    QRect page() const { return w->brwIE->widget()->geometry(); }
    QRect list() const { return w->lvSongList->geometry(); }
    QString address() const { return w->txtWebAddress->text(); }

    // Opens the pane without a page, keeps its engine off the network and
    // records the address of each page that finishes loading. (The engine
    // starts with the first page, which sets its sandbox.)
    QWebEngineView* openBlank() {
        w->frmMain_ShowWeb(0);
        QWebEngineView* v = view();
        if (!v)
            return nullptr;
        v->page()->profile()->setUrlRequestInterceptor(&offTheNetwork());
        QObject::connect(v, &QWebEngineView::loadFinished, v, [this, v] { loaded << v->url(); });
        return v;
    }
    QList<QUrl> loaded;

    // Runs the event loop until `done` holds after an address is shown or
    // a page has loaded. (QTest's own waits poll the event loop, which the
    // engine answers a second late each time.)
    bool waitFor(const std::function<bool()>& done) {
        if (done())
            return true;
        QEventLoop loop;
        const auto check = [&] {
            if (done())
                loop.quit();
        };
        QObject::connect(w->txtWebAddress, &QLineEdit::textChanged, &loop, check);
        QObject::connect(view(), &QWebEngineView::loadFinished, &loop, check);
        QTimer::singleShot(kLoad, &loop, &QEventLoop::quit);
        loop.exec();
        return done();
    }
    bool waitShown(const QString& address) {
        return waitFor([&] { return this->address() == address; });
    }
    bool waitLoaded(const QUrl& url) {
        return waitFor([&] { return loaded.contains(url); });
    }
    // Opens `url` and waits until it has loaded.
    bool open(const QUrl& url) {
        loaded.clear();
        view()->setUrl(url);
        return waitLoaded(url);
    }
    // Starts the window and shows `url` in the pane.
    QWebEngineView* start(const QUrl& url) {
        return load() && openBlank() && open(url) ? view() : nullptr;
    }
};

// Pages written to a temporary folder: a.html links to b.html and opens
// c.html in a new window; d.html holds e.html in a frame.
struct Pages {
    QTemporaryDir dir;

    Pages() {
        write("a.html", "<a id='next' href='b.html'>b</a> <a id='blank' href='c.html' "
                        "target='_blank'>c</a>");
        write("b.html", "<p>b</p>");
        write("c.html", "<p>c</p>");
        write("d.html", "<iframe src='e.html'></iframe>");
        write("e.html", "<p>e</p>");
    }
    void write(const QString& name, const QByteArray& body) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<!DOCTYPE html><html><body>" + body + "</body></html>");
    }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(dir.filePath(name)); }
};

void clickElement(QWebEngineView* view, const QString& id) {
    view->page()->runJavaScript("document.getElementById('" + id + "').click()");
}

} // namespace

class TestWebPane : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void cleanup() {
        desktop::setOpener({});
        offTheNetwork().requests.clear();
    }

    void menuItemsOpenTheirPagesByteForByte_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("address");
        QTest::newRow("goods") << "mnuWeb_SerchGoods" << kGoods;
        QTest::newRow("auction") << "mnuWeb_SerchAuction" << kAuction;
        QTest::newRow("shop") << "mnuWeb_ShowZep" << kShop;
    }
    void menuItemsOpenTheirPagesByteForByte() {
        QFETCH(QString, item);
        QFETCH(QString, address);
        Window win;
        QVERIFY(win.load());
        QVERIFY(win.openBlank());
        win.w->action(item)->trigger();
        // Shown before the request goes out, which is blocked.
        QVERIFY(win.waitShown(address));
        QVERIFY(win.waitLoaded(QUrl(address)));
        QCOMPARE(offTheNetwork().requests, QStringList({address}));
        QVERIFY(win.boxes.boxes().isEmpty());
    }

    void openingLaysThePaneOverTheListOnce() {
        Window win;
        QVERIFY(win.load());
        const QRect before = win.list();
        QVERIFY(!win.w->webPaneOpen());
        QVERIFY(!win.w->brwIE); // nothing of the engine until the pane opens
        QVERIFY(!win.w->txtWebAddress->isVisible());

        QVERIFY(win.openBlank());
        QVERIFY(win.w->webPaneOpen());
        const QRect list = win.list();
        QCOMPARE(list, before.adjusted(0, 30, 0, 0));
        QCOMPARE(win.page(), list);
        QCOMPARE(win.w->brwIE->widget()->objectName(), QStringLiteral("brwIE"));
        const QRect address = win.w->txtWebAddress->geometry();
        QCOMPARE(address.topLeft(), QPoint(list.x() + 110, list.y() - 30));
        QCOMPARE(address.width(), list.width() - 135);
        const QList<QToolButton*> buttons = {win.w->cmdWebGoBack, win.w->cmdWebGoNext,
                                             win.w->cmdWebRefresh, win.w->cmdWebHome};
        for (int b = 0; b < buttons.size(); ++b) {
            QCOMPARE(buttons[b]->geometry(), QRect(list.x() + 26 * b, address.y() - 2, 25, 25));
            QVERIFY(!buttons[b]->icon().isNull());
        }
        QCOMPARE(win.w->cmdWebClose->geometry(),
                 QRect(address.x() + address.width() + 5, address.y() - 2, 25, 25));
        for (QWidget* control :
             {win.w->brwIE->widget(), static_cast<QWidget*>(win.w->txtWebAddress),
              static_cast<QWidget*>(win.w->cmdWebClose)})
            QVERIFY(control->isVisible());

        // A second item only changes the page.
        win.w->action("mnuWeb_SerchAuction")->trigger();
        QVERIFY(win.waitShown(kAuction));
        QVERIFY(win.waitLoaded(QUrl(kAuction)));
        QCOMPARE(win.list(), list);
        QCOMPARE(win.page(), list);
        QCOMPARE(win.w->txtWebAddress->geometry(), address);
    }

    void closingGivesTheListBackAndKeepsThePage() {
        Window win;
        Pages pages;
        QVERIFY(win.load());
        const QRect before = win.list();
        QVERIFY(win.openBlank());
        const QRect open = win.list();
        QVERIFY(win.open(pages.url("a.html")));
        QVERIFY(win.open(pages.url("b.html")));

        QTest::mouseClick(win.w->cmdWebClose, Qt::LeftButton);
        QVERIFY(!win.w->webPaneOpen());
        QCOMPARE(win.list(), before);
        for (QWidget* control :
             {win.w->brwIE->widget(), static_cast<QWidget*>(win.w->txtWebAddress),
              static_cast<QWidget*>(win.w->cmdWebGoBack),
              static_cast<QWidget*>(win.w->cmdWebClose)})
            QVERIFY(!control->isVisible());

        win.w->frmMain_ShowWeb(0);
        QCOMPARE(win.list(), open);
        QCOMPARE(win.page(), open);
        QCOMPARE(win.view()->url(), pages.url("b.html"));
        QCOMPARE(win.view()->history()->count(), 2);
        win.w->cmdWebClose_Click();
        QCOMPARE(win.list(), before);
    }

    void resizeKeepsThePageOverTheList() {
        Window win;
        QVERIFY(win.load());
        QVERIFY(win.openBlank());
        const QRect address = win.w->txtWebAddress->geometry();
        const QRect open = win.list();
        const int grow = 140;
        const QSize inner = win.w->centralWidget()->size();
        win.w->resize(win.w->width() + grow, win.w->height() + grow);
        QTRY_COMPARE(win.w->centralWidget()->size(), inner + QSize(grow, grow));
        QCOMPARE(win.list(), open.adjusted(0, 0, grow, grow));
        QCOMPARE(win.page(), win.list());
        QCOMPARE(win.w->txtWebAddress->geometry(), address.adjusted(0, 0, grow, 0));
        QCOMPARE(win.w->txtWebAddress->width(), win.list().width() - 135);
        QCOMPARE(win.w->cmdWebClose->x(), address.x() + address.width() + grow + 5);
        QCOMPARE(win.w->cmdWebClose->y(), address.y() - 2);

        // Below the smallest size the rule applies to, nothing moves.
        const QRect list = win.list();
        win.w->resize(600, 400);
        QTRY_VERIFY(win.w->centralWidget()->width() < 640);
        QCOMPARE(win.page(), list);
        QCOMPARE(win.w->txtWebAddress->geometry(), address.adjusted(0, 0, grow, 0));

        // Closed after a resize, the list takes the whole height again.
        win.w->resize(1000, 700);
        QTRY_COMPARE(win.w->centralWidget()->width(), 1000);
        win.w->cmdWebClose_Click();
        const QSize client = win.w->centralWidget()->size();
        // The status bar (at least 20 pixels) stands in the list's bottom margin.
        QVERIFY(win.w->statBar->height() >= 20);
        QCOMPARE(win.list().bottom() + 1, client.height());
        QCOMPARE(win.list().right() + 1, client.width() - 8);
    }

    void enterOpensTheTypedAddress() {
        Window win;
        Pages pages;
        QVERIFY(win.load());
        QWebEngineView* view = win.openBlank();
        QVERIFY(view);
        QTest::keyClicks(win.w->txtWebAddress, pages.url("a.html").toString());
        QCOMPARE(view->url(), QUrl()); // typing alone opens nothing
        QTest::keyClick(win.w->txtWebAddress, Qt::Key_Return);
        QVERIFY(win.waitLoaded(pages.url("a.html")));
        QCOMPARE(win.address(), pages.url("a.html").toString());

        // A bare path is opened as the file it names.
        win.w->txtWebAddress->setText(pages.dir.filePath("b.html"));
        QTest::keyClick(win.w->txtWebAddress, Qt::Key_Enter);
        QVERIFY(win.waitLoaded(pages.url("b.html")));
        QCOMPARE(win.address(), pages.url("b.html").toString());
    }

    void backAndForwardFollowTheHistory() {
        Window win;
        Pages pages;
        QWebEngineView* view = win.start(pages.url("a.html"));
        QVERIFY(view);

        // Without history both do nothing: the next address shown is the
        // next page opened.
        QSignalSpy shown(win.w->txtWebAddress, &QLineEdit::textChanged);
        QTest::mouseClick(win.w->cmdWebGoBack, Qt::LeftButton);
        QTest::mouseClick(win.w->cmdWebGoNext, Qt::LeftButton);
        QVERIFY(win.open(pages.url("b.html")));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.at(0).at(0).toString(), pages.url("b.html").toString());
        QCOMPARE(view->history()->count(), 2);

        win.loaded.clear();
        QTest::mouseClick(win.w->cmdWebGoBack, Qt::LeftButton);
        QVERIFY(win.waitLoaded(pages.url("a.html")));
        QCOMPARE(win.address(), pages.url("a.html").toString());
        QTest::mouseClick(win.w->cmdWebGoNext, Qt::LeftButton);
        QVERIFY(win.waitLoaded(pages.url("b.html")));
        QCOMPARE(win.address(), pages.url("b.html").toString());

        // At the newest page forward does nothing; reload opens it again.
        shown.clear();
        win.loaded.clear();
        QTest::mouseClick(win.w->cmdWebGoNext, Qt::LeftButton);
        QTest::mouseClick(win.w->cmdWebRefresh, Qt::LeftButton);
        QVERIFY(win.waitLoaded(pages.url("b.html")));
        QCOMPARE(win.loaded.size(), 1);
        QCOMPARE(view->history()->count(), 2);
        QCOMPARE(view->history()->currentItemIndex(), 1);
        QCOMPARE(shown.size(), 0); // the same address again: the box is unchanged

        QTest::mouseClick(win.w->cmdWebHome, Qt::LeftButton);
        QVERIFY(win.waitShown(kShop));
        QVERIFY(win.waitLoaded(QUrl(kShop)));
        QCOMPARE(offTheNetwork().requests, QStringList({kShop}));
    }

    void addressFollowsLinksWindowsAndFrames() {
        Window win;
        Pages pages;
        QWebEngineView* view = win.start(pages.url("a.html"));
        QVERIFY(view);

        clickElement(view, "next");
        QVERIFY(win.waitLoaded(pages.url("b.html")));
        QCOMPARE(win.address(), pages.url("b.html").toString());

        // A link to a new window opens in the pane.
        QVERIFY(win.open(pages.url("a.html")));
        clickElement(view, "blank");
        QVERIFY(win.waitLoaded(pages.url("c.html")));
        QCOMPARE(win.address(), pages.url("c.html").toString());
        QCOMPARE(view->history()->count(), 4);

        // A frame's address is shown as it is opened, after its page's.
        QSignalSpy shown(win.w->txtWebAddress, &QLineEdit::textChanged);
        QVERIFY(win.open(pages.url("d.html")));
        QVERIFY(win.waitFor([&] { return shown.size() == 2; }));
        QCOMPARE(shown.at(0).at(0).toString(), pages.url("d.html").toString());
        QCOMPARE(shown.at(1).at(0).toString(), pages.url("e.html").toString());
    }

    void helpOpensWithTheDesktopElseInThePane() {
        Window win;
        QVERIFY(win.load());
        QList<QUrl> opened;
        bool handled = true;
        desktop::setOpener([&](const QUrl& url) {
            opened << url;
            return handled;
        });
        const QString folder = QCoreApplication::applicationDirPath();
        const QUrl help = QUrl::fromLocalFile(folder + "/MelodaraHelp.html");
        win.w->action("mnuHelp_ShowHelp")->trigger();
        QCOMPARE(opened, QList<QUrl>({help}));
        QVERIFY(!win.w->webPaneOpen());

        handled = false;
        win.w->action("mnuHelp_ShowHelp")->trigger();
        QCOMPARE(opened.size(), 2);
        QVERIFY(win.w->webPaneOpen());
        QVERIFY(win.waitShown(help.toString()));
        QVERIFY(win.boxes.boxes().isEmpty());
    }

    void readMeAndAuthorPageFailSilently_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QUrl>("url");
        const QString folder = QCoreApplication::applicationDirPath();
        QTest::newRow("read-me") << "mnuHelp_Help"
                                 << QUrl::fromLocalFile(folder + "/始めにお読みください.txt");
        QTest::newRow("author") << "mnuHelp_HP" << QUrl("https://www.melodara.example/");
    }
    void readMeAndAuthorPageFailSilently() {
        QFETCH(QString, item);
        QFETCH(QUrl, url);
        Window win;
        QVERIFY(win.load());
        QList<QUrl> opened;
        desktop::setOpener([&](const QUrl& u) {
            opened << u;
            return false;
        });
        win.w->action(item)->trigger();
        QCOMPARE(opened, QList<QUrl>({url}));
        QCOMPARE(opened.front().toString(QUrl::FullyEncoded), url.toString(QUrl::FullyEncoded));
        QVERIFY(!win.w->webPaneOpen());
        QVERIFY(!win.w->brwIE);
        QVERIFY(win.boxes.boxes().isEmpty());
    }

    void helpFilesSitBesideTheProgram() {
        const QString folder = MELODARA_PROGRAM_FOLDER;
        QFile readMe(folder + "/始めにお読みください.txt");
        QVERIFY(readMe.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(readMe.readAll()).contains("Melodara Player"));
        QFile help(folder + "/MelodaraHelp.html");
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(help.readAll());
        // Every shortcut of the menus is in the help's table.
        frmMain w(QString(), new FakePlayer());
        int shortcuts = 0;
        for (QAction* menu : w.menuBar()->actions()) {
            for (QAction* a : menu->menu()->actions()) {
                if (a->shortcut().isEmpty())
                    continue;
                ++shortcuts;
                QVERIFY2(page.contains("<kbd>" + a->shortcut().toString() + "</kbd>"),
                         qPrintable(a->objectName()));
            }
        }
        QCOMPARE(shortcuts, 8);
    }

    void withoutTheLibraryThePaneStaysClosed() {
        QVERIFY(!browser::load("/nonexistent/melodara_web"));
        browser::setFactory(nullptr); // the next page looks beside the test
        Window win;
        QVERIFY(win.load());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^The web pane cannot be shown: "));
        win.w->action("mnuWeb_SerchGoods")->trigger();
        QVERIFY(!win.w->webPaneOpen());
        QVERIFY(!win.w->txtWebAddress->isVisible());
        browser::setFactory(browser::load(MELODARA_WEB_LIBRARY));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    browser::setFactory(browser::load(MELODARA_WEB_LIBRARY));
    TestWebPane test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webpane.moc"
