// The compact window: its rounded shape, the pin mark and the topmost
// flag, where it opens, its stored appearance, dragging, and compact mode
// driven from the main window against a scripted player.
//
// Positions are worked out for the offscreen screen: 800 x 800 pixels at
// 96 DPI (15 twips a pixel); the window's design size is 380 x 116.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "playback/compactwindow.h"
#include "playback/playstate.h"
#include "songlist/displaysettings.h"
#include "templibrary.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>

class TestCompactWindow : public QObject {
    Q_OBJECT

    static void store(TempLibrary& lib, const QString& key, const QString& value) {
        lib.db().adoSetData(
            46, {"UPDATE TM_初期設定 SET 設定値 = '" + value + "' WHERE 設定情報 = '" + key + "'"});
    }
    static QString setting(const QString& key) {
        Recordset rs;
        gConnector->adoGetData(14, rs);
        for (; !rs.Eof(); rs.MoveNext()) {
            if (rs.text("設定情報") == key)
                return rs.text("設定値");
        }
        return "<missing>";
    }
    static void show(QWidget& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    static QColor color(const QWidget* w, QPalette::ColorRole role) {
        return w->palette().color(role);
    }

private slots:
    void initTestCase() {
        frmOpening::setInterval(0);
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 800, 800));
        QCOMPARE(QWidget().logicalDpiX(), 96);
        QCOMPARE(QWidget().logicalDpiY(), 96);
    }
    void init() { gPlayState = kStopped; }
    void cleanup() { setModalHandler({}); }

    void shapeIsRounded_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("top left corner") << QPoint(0, 0) << false;
        QTest::newRow("top right corner") << QPoint(379, 0) << false;
        QTest::newRow("bottom left corner") << QPoint(0, 115) << false;
        QTest::newRow("bottom right corner") << QPoint(379, 115) << false;
        QTest::newRow("inside the top left curve") << QPoint(2, 2) << false;
        QTest::newRow("inside the bottom right curve") << QPoint(377, 113) << false;
        QTest::newRow("within the top left ellipse") << QPoint(8, 8) << true;
        QTest::newRow("within the top right ellipse") << QPoint(371, 8) << true;
        QTest::newRow("top edge") << QPoint(190, 0) << true;
        QTest::newRow("bottom edge") << QPoint(190, 115) << true;
        QTest::newRow("left edge") << QPoint(0, 58) << true;
        QTest::newRow("right edge") << QPoint(379, 58) << true;
        QTest::newRow("outside") << QPoint(380, 58) << false;
    }
    void shapeIsRounded() {
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        frmCompact c;
        QCOMPARE(c.size(), QSize(380, 116));
        QCOMPARE(c.mask().boundingRect(), QRect(0, 0, 380, 116));
        QCOMPARE(c.mask().contains(point), inside);
    }

    void pinToggleKeepsPlaceAndActivation() {
        TempLibrary lib;
        frmCompact c;
        QCOMPARE(c.windowTitle(), QStringLiteral("MelodaraPlayer"));
        QVERIFY(c.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(c.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!c.unpinned());
        QCOMPARE(c.lblTopMost->text(), QStringLiteral("●"));
        QCOMPARE(color(c.lblTopMost, QPalette::WindowText), QColor(255, 255, 128));
        c.move(100, 80);
        show(c);
        c.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&c));
        QWindow* const window = c.windowHandle();
        QVERIFY(window->flags() & Qt::WindowStaysOnTopHint);

        QTest::mouseClick(c.lblTopMost, Qt::LeftButton);
        QVERIFY(c.unpinned());
        QCOMPARE(color(c.lblTopMost, QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(!(c.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(c.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(c.windowHandle(), window); // not re-created
        QVERIFY(!(window->flags() & Qt::WindowStaysOnTopHint));
        QVERIFY(c.isVisible());
        QVERIFY(c.isActiveWindow());
        QCOMPARE(c.pos(), QPoint(100, 80)); // the click is not a drag
        QCOMPARE(c.size(), QSize(380, 116));
        QVERIFY(!c.dragging());

        QTest::mouseClick(c.lblTopMost, Qt::LeftButton);
        QVERIFY(!c.unpinned());
        QCOMPARE(color(c.lblTopMost, QPalette::WindowText), QColor(255, 255, 128));
        QVERIFY(window->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(c.isActiveWindow());
        QCOMPARE(c.pos(), QPoint(100, 80));
    }

    void opensWhereStored_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("expected");
        // Centred: 800 / 2 - 380 / 2 and 800 / 2 - 116 / 2.
        QTest::newRow("first use") << "0"
                                   << "0" << QPoint(210, 342);
        QTest::newRow("both edges") << "1500"
                                    << "3000" << QPoint(100, 200);
        // One edge stored: the other stays at its design place, 0.
        QTest::newRow("left only") << "1500"
                                   << "0" << QPoint(100, 0);
        QTest::newRow("top only") << "0"
                                  << "3000" << QPoint(0, 200);
        QTest::newRow("not numbers") << "left"
                                     << "" << QPoint(210, 342);
        QTest::newRow("partly left of the screen") << "-1500"
                                                   << "3000" << QPoint(-100, 200);
        QTest::newRow("on no screen") << "150000"
                                      << "3000" << QPoint(210, 342);
    }
    void opensWhereStored() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, expected);
        TempLibrary lib;
        store(lib, "コンパクト画面Left", left);
        store(lib, "コンパクト画面Top", top);
        frmCompact c;
        c.frmCpt_LoadSettings();
        QCOMPARE(c.pos(), expected);
    }

    void appearanceFromTheSettings() {
        TempLibrary lib;
        const QString picture = lib.folder() + "/bg.bmp";
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(picture));
        store(lib, "コンパクト画面背景画像パス", picture);
        store(lib, "コンパクト画面フォント色", "255");
        store(lib, "コンパクト画面背景色", "65280");
        frmCompact c;
        c.frmCpt_LoadSettings();
        QVERIFY(c.hasPicture());
        for (const QLabel* label : {c.lblSongDisp1, c.lblSongDisp2})
            QCOMPARE(color(label, QPalette::WindowText), QColor(255, 0, 0));
        for (const QFrame* line : {c.linSongName, c.linArtist})
            QCOMPARE(color(line, QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(color(&c, QPalette::Window), QColor(0, 255, 0));
        const QImage shown = c.grab().toImage();
        QCOMPARE(shown.pixelColor(10, 25), QColor(Qt::yellow)); // the picture, top left
        QCOMPARE(shown.pixelColor(200, 90), QColor(0, 255, 0)); // the background

        // A missing picture leaves none; the other settings still apply,
        // and a value that is not a number changes nothing.
        store(lib, "コンパクト画面背景画像パス", lib.folder() + "/missing.bmp");
        store(lib, "コンパクト画面フォント色", "blue");
        store(lib, "コンパクト画面背景色", "16711680");
        c.frmCpt_LoadSettings();
        QVERIFY(!c.hasPicture());
        QCOMPARE(color(c.lblSongDisp1, QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(color(&c, QPalette::Window), QColor(0, 0, 255));
        store(lib, "コンパクト画面背景画像パス", picture);
        c.frmCpt_LoadSettings();
        QVERIFY(c.hasPicture());
        store(lib, "コンパクト画面背景画像パス", "未指定");
        c.frmCpt_LoadSettings();
        QVERIFY(!c.hasPicture());
    }

    void dragMovesByThePointersTravel_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("surface") << "frmCompact";
        QTest::newRow("first text") << "lblSongDisp1";
        QTest::newRow("second text") << "lblSongDisp2";
    }
    void dragMovesByThePointersTravel() {
        QFETCH(QString, target);
        frmCompact c;
        c.move(100, 80);
        show(c);
        QWidget* on = c.objectName() == target ? &c : c.findChild<QWidget*>(target);
        QVERIFY(on);
        const QPoint start = on == &c ? QPoint(200, 90) : QPoint(10, 10);
        QTest::mousePress(on, Qt::LeftButton, {}, start);
        QVERIFY(c.dragging());
        QTest::mouseMove(on, start + QPoint(30, 20));
        QTRY_COMPARE(c.windowHandle()->position(), QPoint(130, 100));
        QCOMPARE(c.pos(), QPoint(130, 100));
        // The pointer keeps its place on the window, so the next step is
        // again the travel from there.
        QTest::mouseMove(on, start + QPoint(-50, 5));
        QTRY_COMPARE(c.windowHandle()->position(), QPoint(80, 105));
        QTest::mouseRelease(on, Qt::LeftButton, {}, start);
        QVERIFY(!c.dragging());
        QTest::mousePress(on, Qt::RightButton, {}, start); // only the left button drags
        QVERIFY(!c.dragging());
        QTest::mouseRelease(on, Qt::RightButton, {}, start);
        QCOMPARE(c.pos(), QPoint(80, 105));
    }

    // Compact mode from the main window: the player writes to the compact
    // window, which hands its texts, pictures and place back on return.
    void compactModeFromTheMainWindow() {
        TempLibrary lib;
        lib.addSong("a");
        const QString file = lib.folder() + "/music/a.mp3";
        lib.close();
        auto* player = new FakePlayer;
        player->lengths = {{file, 200}};
        frmMain w(lib.path(), player);
        QVERIFY(w.Form_Load());
        w.frmMain_PlaySong(QString());
        QCOMPARE(w.lblSongDisp1->text(), QStringLiteral("a"));

        bool ran = false;
        setModalHandler([&](QDialog& dialog) {
            ran = true;
            auto& c = dynamic_cast<frmCompact&>(dialog);
            show(c);
            [&] {
                QVERIFY(w.compact());
                QCOMPARE(w.compactWindow(), &c);
                QVERIFY(w.windowState() & Qt::WindowMinimized);
                QCOMPARE(c.pos(), QPoint(210, 342)); // first use: centred
                QCOMPARE(c.lblSongDisp1->text(), QStringLiteral("a"));
                QCOMPARE(c.lblSongDisp2->text(), QStringLiteral("指定無し"));
                QCOMPARE(c.cmdPlay->toolTip(), QStringLiteral("一時停止"));

                c.cmdStop->click();
                QCOMPARE(gPlayState, kStopped);
                QVERIFY(c.lblSongDisp1->text().isEmpty());
                QVERIFY(c.lblSongDisp2->text().isEmpty());
                QCOMPARE(c.cmdPlay->toolTip(), QStringLiteral("再生"));
                // The main window's texts and button are left as they were.
                QCOMPARE(w.lblSongDisp1->text(), QStringLiteral("a"));
                QCOMPARE(w.cmdPlay->toolTip(), QStringLiteral("一時停止"));

                c.cmdPlay->click();
                QCOMPARE(gPlayState, kPlaying);
                QCOMPARE(c.lblSongDisp1->text(), QStringLiteral("a"));
                QCOMPARE(c.cmdPlay->toolTip(), QStringLiteral("一時停止"));
                c.cmdNext->click();
                QCOMPARE(player->opened(), file);
                c.cmdStop->click();
                c.move(120, 45);
                c.cmdReturn->click();
            }();
            return c.result();
        });
        w.action("mnuDisp_Compact")->trigger();
        QVERIFY(ran);
        QVERIFY(!w.compact());
        QVERIFY(!w.compactWindow());
        QVERIFY(!(w.windowState() & Qt::WindowMinimized));
        // The compact window's texts and pictures came back.
        QVERIFY(w.lblSongDisp1->text().isEmpty());
        QCOMPARE(w.cmdPlay->toolTip(), QStringLiteral("再生"));
        QCOMPARE(setting("コンパクト画面Left"), QStringLiteral("1800"));
        QCOMPARE(setting("コンパクト画面Top"), QStringLiteral("675"));
        // Stopping now clears the main window's texts again.
        w.lblSongDisp1->setText("x");
        w.frmMain_StopSong();
        QVERIFY(w.lblSongDisp1->text().isEmpty());

        // Opened again, it comes back where it was left.
        QPoint reopened;
        setModalHandler([&](QDialog& dialog) {
            reopened = dialog.pos();
            dynamic_cast<frmCompact&>(dialog).cmdReturn_Click();
            return dialog.result();
        });
        w.action("mnuDisp_Compact")->trigger();
        QCOMPARE(reopened, QPoint(120, 45));
    }

    void thePlatformCloseActsAsReturn_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close command") << false;
        QTest::newRow("escape key") << true;
    }
    void thePlatformCloseActsAsReturn() {
        QFETCH(bool, escape);
        TempLibrary lib;
        lib.close();
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        setModalHandler([&](QDialog& dialog) {
            show(dialog);
            dialog.move(300, 150);
            if (escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
            return dialog.result();
        });
        w.action("mnuDisp_Compact")->trigger();
        QVERIFY(!w.compact());
        QCOMPARE(setting("コンパクト画面Left"), QStringLiteral("4500"));
        QCOMPARE(setting("コンパクト画面Top"), QStringLiteral("2250"));

        // A window that ends without returning still hands the player back.
        setModalHandler([](QDialog& dialog) { return dialog.result(); });
        w.action("mnuDisp_Compact")->trigger();
        QVERIFY(!w.compact());
        QVERIFY(!w.compactWindow());
    }
};

QTEST_MAIN(TestCompactWindow)
#include "tst_compactwindow.moc"
