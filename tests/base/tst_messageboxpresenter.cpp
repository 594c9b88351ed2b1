#include "base/messageboxpresenter.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestMessageBoxPresenter : public QObject {
    Q_OBJECT

private slots:
    void buttonsForStyle_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::newRow("ok") << 0 << QMessageBox::StandardButtons(QMessageBox::Ok)
                            << QMessageBox::NoIcon;
        QTest::newRow("ok cancel")
            << 1 << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel)
            << QMessageBox::NoIcon;
        QTest::newRow("yes no, question")
            << (4 | 0x20) << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No)
            << QMessageBox::Question;
        QTest::newRow("ok, critical")
            << 0x10 << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Critical;
        QTest::newRow("ok, information")
            << 0x40 << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Information;
    }

    void buttonsForStyle() {
        QFETCH(int, style);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::Icon, icon);
        QMessageBox box;
        MessageBoxPresenter::applyStyle(box, style);
        QCOMPARE(box.standardButtons(), buttons);
        QCOMPARE(box.icon(), icon);
    }

    void secondButtonCanBeDefault() {
        QMessageBox box;
        MessageBoxPresenter::applyStyle(box, 1 | 0x100);
        QCOMPARE(box.defaultButton(), box.button(QMessageBox::Cancel));
        QCOMPARE(box.escapeButton(), box.button(QMessageBox::Cancel));
    }

    void resultNumbers() {
        QCOMPARE(MessageBoxPresenter::resultOf(QMessageBox::Ok), 1);
        QCOMPARE(MessageBoxPresenter::resultOf(QMessageBox::Cancel), 2);
        QCOMPARE(MessageBoxPresenter::resultOf(QMessageBox::Yes), 6);
        QCOMPARE(MessageBoxPresenter::resultOf(QMessageBox::No), 7);
    }

    // The real box, answered by clicking its Cancel button once it is up.
    void modalBoxReturnsClickedButton() {
        QString seenText;
        QString seenTitle;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenText = box->text();
            seenTitle = box->windowTitle();
            box->button(QMessageBox::Cancel)->click();
        });
        MessageBoxPresenter presenter;
        const int result = presenter.present(QStringLiteral("first\r\nsecond"), 1,
                                             QStringLiteral("Melodara Player"));
        QCOMPARE(result, 2);
        QCOMPARE(seenText, QStringLiteral("first\nsecond"));
        QCOMPARE(seenTitle, QStringLiteral("Melodara Player"));
    }
};

QTEST_MAIN(TestMessageBoxPresenter)
#include "tst_messageboxpresenter.moc"
