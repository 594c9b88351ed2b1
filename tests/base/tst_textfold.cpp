#include "base/textfold.h"

#include <QTest>

class TestTextFold : public QObject {
    Q_OBJECT

private slots:
    void equalsFolded_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("ascii case") << "Rock"
                                    << "rOCK" << true;
        QTest::newRow("full-width latin") << QString::fromUtf16(u"ＡＢＣ") << "abc" << true;
        QTest::newRow("half-width katakana")
            << QString::fromUtf16(u"ﾗﾝﾀﾞﾑ") << QString::fromUtf16(u"ランダム") << true;
        QTest::newRow("full-width digits") << QString::fromUtf16(u"１２３") << "123" << true;
        QTest::newRow("ideographic space") << QString::fromUtf16(u"a　b") << "a b" << true;
        QTest::newRow("full-width lower to upper")
            << QString::fromUtf16(u"ｒｏｃｋ") << "ROCK" << true;
        QTest::newRow("hiragana is not katakana")
            << QString::fromUtf16(u"らんだむ") << QString::fromUtf16(u"ランダム") << false;
        QTest::newRow("different") << "Jazz"
                                   << "Jazzy" << false;
        QTest::newRow("empty") << ""
                               << "" << true;
    }

    void equalsFolded() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(text::equalsFolded(a, b), equal);
        QCOMPARE(text::equalsFolded(b, a), equal);
        QCOMPARE(text::compareFolded(a, b) == 0, equal);
    }

    void compareOrders() {
        QVERIFY(text::compareFolded("apple", "Banana") < 0);
        QVERIFY(text::compareFolded(QString::fromUtf16(u"Ｚ"), "a") > 0);
    }
};

QTEST_GUILESS_MAIN(TestTextFold)
#include "tst_textfold.moc"
