// The web pane and the help menu in the real main window, headless, with
// the engine library the program loads. Pages are files the tests write;
// every request for anything else is recorded and blocked before it
// reaches the network.

#include "app/opening.h"
#include "diskfiles.h"
#include "mainfixture.h"
#include "songlist/songlistview.h"
#include "web/browser.h"
#include "web/desktop.h"

#include <QAction>
#include <QEventLoop>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace {

const QString kGoods =
    QStringLiteral("https://search.rakuten.co.jp/rms/sd/ecustom/mall"
                   "?cl=000000&nm=zep&bk=https://www.zep-shop.example%2F&hd="
                   "&aid=zep-melodara-01&sg=&sub=0&s=0&v=2&sw=&f=A&nw=&g=0&min=&max=&p=1");
const QString kAuction =
    QStringLiteral("https://search.rakuten.co.jp/rms/sd/ecustom/auction"
                   "?cl=000000&nm=zep&bk=https://www.zep-shop.example%2F&hd="
                   "&aid=zep-melodara-01&sg=&sub=1&s=0&v=2&sw=&f=A&nw=&g=0&min=&max=&p=1");
const QString kShop = QStringLiteral("https://www.zep-shop.example/");

// Lets local files through; records and blocks everything else.
struct OffTheNetwork final : QWebEngineUrlRequestInterceptor {
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.requestUrl().isLocalFile())
            return;
        requests << info.requestUrl().toString(QUrl::FullyEncoded);
        info.block(true);
    }
    QStringList requests;
};

// The program's main window on a fresh library, and its web pane.
struct Window : MainFixture {
    // The engine's view, once the pane has opened.
    QWebEngineView* view() const {
        return w->brwIE ? w->brwIE->widget()->findChild<QWebEngineView*>() : nullptr;
    }
    QRect list() const { return w->lvSongList->geometry(); }
    QString address() const { return w->txtWebAddress->text(); }

    // Opens the pane without a page, keeps its engine off the network and
    // records the address of each page that finishes loading. (The engine
    // starts with the first page, which sets its sandbox.)
    QWebEngineView* openBlank(OffTheNetwork& network) {
        w->frmMain_ShowWeb(0);
        QWebEngineView* v = view();
        if (!v)
            return nullptr;
        v->page()->profile()->setUrlRequestInterceptor(&network);
        QObject::connect(v, &QWebEngineView::loadFinished, v, [this, v] { loaded << v->url(); });
        return v;
    }
    QList<QUrl> loaded;

    // Runs the event loop until `done` holds after an address is shown or
    // a page has loaded. (QTest's own waits poll the event loop, which the
    // engine answers a second late each time.)
    bool waitFor(const std::function<bool()>& done) {
        QEventLoop loop;
        const auto check = [&] {
            if (done())
                loop.quit();
        };
        QObject::connect(w->txtWebAddress, &QLineEdit::textChanged, &loop, check);
        QObject::connect(view(), &QWebEngineView::loadFinished, &loop, check);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a page load on a loaded machine
        if (!done())
            loop.exec();
        return done();
    }
    // Waits until `url` has loaded, shown in the address box.
    bool waitLoaded(const QUrl& url) {
        return waitFor([&] { return loaded.contains(url) && address() == url.toString(); });
    }
    // Opens `url`, or clicks `button`, and waits until `url` has loaded.
    bool open(const QUrl& url) {
        loaded.clear();
        view()->setUrl(url);
        return waitLoaded(url);
    }
    bool click(QToolButton* button, const QUrl& url) {
        loaded.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        return waitLoaded(url);
    }
    // Where the pane's parts are (empty while hidden): the list, the page,
    // the address box, the back, forward, reload, home and close buttons.
    QList<QRect> strip() const {
        QList<QRect> out = {list()};
        for (QWidget* part :
             QWidgetList({w->brwIE->widget(), w->txtWebAddress, w->cmdWebGoBack, w->cmdWebGoNext,
                          w->cmdWebRefresh, w->cmdWebHome, w->cmdWebClose}))
            out << (part->isVisible() ? part->geometry() : QRect());
        return out;
    }
};

// The pane laid over `list`: the page on it; the address box 30 pixels
// above it, 110 right of its edge and 135 narrower; the buttons 25 pixels
// square, four at its left and the close button 5 right of the box.
QList<QRect> stripOver(const QRect& list) {
    const QRect address(list.x() + 110, list.y() - 30, list.width() - 135, 21);
    QList<QRect> out = {list, list, address};
    for (int b = 0; b < 4; ++b)
        out << QRect(list.x() + 26 * b, address.y() - 2, 25, 25);
    return out << QRect(address.right() + 6, address.y() - 2, 25, 25);
}

// Pages in a temporary folder: a links to b and opens c in a new window;
// d holds e in a frame.
struct Pages : QTemporaryDir {
    Pages() {
        const QByteArray a = "<a id='next' href='b.html'>b</a> <a id='blank' href='c.html' "
                             "target='_blank'>c</a>";
        const QList<std::pair<QString, QByteArray>> pages = {
            {QStringLiteral("a"), a},
            {QStringLiteral("b"), "b"},
            {QStringLiteral("c"), "c"},
            {QStringLiteral("d"), "<iframe src='e.html'></iframe>"},
            {QStringLiteral("e"), "e"}};
        for (const auto& [name, body] : pages)
            diskfiles::write(filePath(name + QStringLiteral(".html")),
                             "<!DOCTYPE html><body>" + body + "</body>");
    }
    QUrl url(const QString& name) const {
        return QUrl::fromLocalFile(filePath(name + QStringLiteral(".html")));
    }
};

} // namespace

class TestWebPane : public QObject {
    Q_OBJECT

    OffTheNetwork network_;

private slots:
    void initTestCase() {
        frmOpening::setInterval(0);
        browser::setFactory(browser::load(QStringLiteral(MELODARA_WEB_LIBRARY)));
    }
    void cleanup() {
        desktop::setOpener({});
        network_.requests.clear();
    }

    void paneTakesTheListsPlace() {
        Window win;
        QVERIFY(win.start());
        const QRect before = win.list();
        QVERIFY(!win.w->brwIE); // nothing of the engine until the pane opens
        QVERIFY(win.openBlank(network_));
        const QRect open = before.adjusted(0, 30, 0, 0);
        QCOMPARE(win.strip(), stripOver(open));
        for (QToolButton* b : {win.w->cmdWebGoBack, win.w->cmdWebGoNext, win.w->cmdWebRefresh,
                               win.w->cmdWebHome, win.w->cmdWebClose})
            QVERIFY(!b->icon().isNull());

        // Each item shows its page's address byte for byte before the
        // request goes out (blocked here), and only changes the page.
        const QList<std::pair<QString, QString>> pages = {
            {QStringLiteral("mnuWeb_SerchGoods"), kGoods},
            {QStringLiteral("mnuWeb_SerchAuction"), kAuction},
            {QStringLiteral("mnuWeb_ShowZep"), kShop}};
        for (const auto& [item, address] : pages) {
            network_.requests.clear();
            win.w->findChild<QAction*>(item)->trigger();
            QVERIFY(win.waitLoaded(QUrl(address)));
            QCOMPARE(win.address(), address);
            QCOMPARE(network_.requests, QStringList({address}));
            QCOMPARE(win.strip(), stripOver(open));
        }
        QVERIFY(win.boxes.boxes().isEmpty());

        // Closed, the list is given back; reopened, the page is kept.
        QTest::mouseClick(win.w->cmdWebClose, Qt::LeftButton);
        QCOMPARE(win.strip(), QList<QRect>({before}) + QList<QRect>(7));
        win.w->frmMain_ShowWeb(0);
        QCOMPARE(win.strip(), stripOver(open));
        QCOMPARE(win.view()->url(), QUrl(kShop));

        // A resize keeps the pane over the list; below the smallest size
        // the rule applies to, nothing moves.
        win.w->resize(win.w->size() + QSize(140, 140));
        QTRY_COMPARE(win.list(), open.adjusted(0, 0, 140, 140));
        QCOMPARE(win.strip(), stripOver(win.list()));
        win.w->resize(600, 400); // the window stops at its smallest size
        QTRY_COMPARE(win.w->centralWidget()->width(), 640);
        QCOMPARE(win.strip(), stripOver(win.list()));

        // Closed after a resize, the list takes the whole height again: the
        // status bar stands in its bottom margin.
        win.w->resize(1000, 700);
        QTRY_COMPARE(win.w->centralWidget()->width(), 1000);
        win.w->cmdWebClose_Click();
        const QSize client = win.w->centralWidget()->size();
        QCOMPARE(win.list(), QRect(8, 150, client.width() - 16, client.height() - 150));
    }

    // Enter opens the typed address; back and forward follow the history
    // and do nothing without it; the address box follows links, new
    // windows and frames.
    void navigationShowsEachAddress() {
        Window win;
        Pages pages;
        QVERIFY(win.start());
        QWebEngineView* view = win.openBlank(network_);
        QVERIFY(view);
        QTest::keyClicks(win.w->txtWebAddress, pages.url(QStringLiteral("a")).toString());
        QCOMPARE(view->url(), QUrl()); // typing alone opens nothing
        QTest::keyClick(win.w->txtWebAddress, Qt::Key_Return);
        QVERIFY(win.waitLoaded(pages.url(QStringLiteral("a"))));

        // Without history both do nothing: the next address shown is the
        // next page opened.
        QSignalSpy shown(win.w->txtWebAddress, &QLineEdit::textChanged);
        QTest::mouseClick(win.w->cmdWebGoBack, Qt::LeftButton);
        QTest::mouseClick(win.w->cmdWebGoNext, Qt::LeftButton);
        QVERIFY(win.open(pages.url(QStringLiteral("b"))));
        QCOMPARE(shown.size(), 1);
        QVERIFY(win.click(win.w->cmdWebGoBack, pages.url(QStringLiteral("a"))));
        QVERIFY(win.click(win.w->cmdWebGoNext, pages.url(QStringLiteral("b"))));

        // Reload opens the page again, adding nothing to the history.
        QVERIFY(win.click(win.w->cmdWebRefresh, pages.url(QStringLiteral("b"))));

        // A link, and a link to a new window, open in the pane.
        QVERIFY(win.open(pages.url(QStringLiteral("a"))));
        view->page()->runJavaScript(QStringLiteral("document.getElementById('next').click()"));
        QVERIFY(win.waitLoaded(pages.url(QStringLiteral("b"))));
        QVERIFY(win.open(pages.url(QStringLiteral("a"))));
        view->page()->runJavaScript(QStringLiteral("document.getElementById('blank').click()"));
        QVERIFY(win.waitLoaded(pages.url(QStringLiteral("c"))));
        QCOMPARE(view->history()->count(), 6);

        // A bare path opens the file it names; a frame's address is shown
        // as it is opened, after its page's.
        win.w->txtWebAddress->setText(pages.filePath(QStringLiteral("d.html")));
        shown.clear();
        QTest::keyClick(win.w->txtWebAddress, Qt::Key_Enter);
        QVERIFY(win.waitFor([&] { return shown.size() == 2; }));
        QCOMPARE(shown.at(0).at(0).toString(), pages.url(QStringLiteral("d")).toString());
        QCOMPARE(shown.at(1).at(0).toString(), pages.url(QStringLiteral("e")).toString());

        QVERIFY(win.click(win.w->cmdWebHome, QUrl(kShop)));
        QCOMPARE(network_.requests, QStringList({kShop}));
    }

    // The help page, the read-me and the author's page open with the
    // desktop's programs; without one for them, in the pane.
    void helpItemsOpenWithTheDesktopOrInThePane_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<QUrl>("url");
        const QString folder = QCoreApplication::applicationDirPath();
        const QList<std::pair<QString, QUrl>> items = {
            {QStringLiteral("mnuHelp_ShowHelp"),
             QUrl::fromLocalFile(folder + QStringLiteral("/MelodaraHelp.html"))},
            {QStringLiteral("mnuHelp_Help"),
             QUrl::fromLocalFile(folder + QStringLiteral("/始めにお読みください.txt"))},
            {QStringLiteral("mnuHelp_HP"), QUrl(QStringLiteral("https://www.melodara.example/"))}};
        for (const auto& [item, url] : items) {
            for (const bool handled : {true, false})
                QTest::newRow(qPrintable(
                    item + (handled ? QStringLiteral(", desktop") : QStringLiteral(", pane"))))
                    << item << handled << url;
        }
    }
    void helpItemsOpenWithTheDesktopOrInThePane() {
        QFETCH(QString, item);
        QFETCH(bool, handled);
        QFETCH(QUrl, url);
        Window win;
        QVERIFY(win.start());
        QVERIFY(win.openBlank(network_)); // the engine kept off the network
        win.w->cmdWebClose_Click();
        QList<QUrl> opened;
        desktop::setOpener([&](const QUrl& asked) {
            opened << asked;
            return handled;
        });
        win.w->findChild<QAction*>(item)->trigger();
        QCOMPARE(opened, QList<QUrl>({url}));
        QCOMPARE(win.w->webPaneOpen(), !handled);
        if (!handled)
            QVERIFY(win.waitFor([&] { return win.address() == url.toString(); }));
        QVERIFY(win.boxes.boxes().isEmpty());
    }

    // The engine's own pages are Japanese.
    void enginePagesSpeakJapanese() {
        Window win;
        QVERIFY(win.start());
        QWebEngineView* view = win.openBlank(network_);
        QVERIFY(view);
        QVERIFY(win.open(QUrl::fromLocalFile(QStringLiteral("/nonexistent/page.html"))));
        QString text;
        QEventLoop loop;
        view->page()->toPlainText([&](const QString& t) {
            text = t;
            loop.quit();
        });
        loop.exec();
        QVERIFY2(text.contains(QStringLiteral("ファイルにアクセスできません")), qPrintable(text));
    }

    // Adding the engine's first page re-creates the window's native window
    // (offscreen it does not: the new window is stood in for by its
    // event); the window comes back at its place and in its state, once.
    void firstOpeningKeepsTheWindowsPlace_data() {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void firstOpeningKeepsTheWindowsPlace() {
        QFETCH(bool, maximised);
        Window win;
        QVERIFY(win.start());
        frmMain& w = *win.w;
        w.setGeometry(123, 77, 900, 640);
        QTRY_COMPARE(w.geometry(), QRect(123, 77, 900, 640));
        if (maximised) {
            w.showMaximized();
            QTRY_VERIFY(w.isMaximized() && w.geometry() != QRect(123, 77, 900, 640));
        }
        const QRect before = w.geometry();
        QVERIFY(win.openBlank(network_));
        // What a window manager does with a new native window.
        const auto recreated = [&w] {
            w.showNormal();
            w.setGeometry(100, 100, 700, 500);
            QTRY_COMPARE(w.geometry(), QRect(100, 100, 700, 500));
            QEvent changed(QEvent::WinIdChange);
            QCoreApplication::sendEvent(&w, &changed);
        };
        recreated();
        QTRY_COMPARE(w.isMaximized(), maximised);
        QTRY_COMPARE(w.geometry(), before);
        recreated();
        QCoreApplication::processEvents();
        QCOMPARE(w.geometry(), QRect(100, 100, 700, 500));
    }

    void withoutTheLibraryThePaneStaysClosed() {
        QVERIFY(!browser::load(QStringLiteral("/nonexistent/melodara_web")));
        browser::setFactory(nullptr); // the next page looks beside the test
        Window win;
        QVERIFY(win.start());
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^The web pane cannot be shown: ")));
        win.w->mnuWeb_SerchGoods->trigger();
        QVERIFY(!win.w->webPaneOpen());
        QVERIFY(!win.w->txtWebAddress->isVisible());
        browser::setFactory(browser::load(QStringLiteral(MELODARA_WEB_LIBRARY)));
    }
};

QTEST_MAIN(TestWebPane)
#include "tst_webpane.moc"
