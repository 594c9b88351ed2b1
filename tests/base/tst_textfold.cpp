#include "base/textfold.h"

#include <QRandomGenerator>
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

    // Common characters fold without the normaliser; whatever the way, the
    // result is the normal form, case folded. Checked against Qt's own
    // normalisation for every character, every kana with each sound mark,
    // and mixed texts.
    void foldIsTheCaseFoldedNormalForm() {
        const auto reference = [](const QString& s) {
            return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
        };
        int wrong = 0;
        QString firstWrong;
        const auto check = [&](const QString& s) {
            QString into = "stale text";
            text::foldInto(s, into);
            if (text::fold(s) != reference(s) || into != reference(s)) {
                if (wrong++ == 0)
                    firstWrong = s;
            }
        };
        for (char32_t c = 0; c <= 0xFFFF; ++c) {
            if (c < 0xD800 || c > 0xDFFF)
                check(QString(QChar(c)));
        }
        const QList<char16_t> marks = {0x3099, 0x309A, 0xFF9E, 0xFF9F};
        for (char16_t m : marks) {
            for (char16_t k = 0x3000; k <= 0x30FF; ++k)
                check(QString(QChar(k)) + QChar(m));
            for (char16_t k = 0xFF61; k <= 0xFF9F; ++k) {
                check(QString(QChar(k)) + QChar(m));
                check(QString(QChar(k)) + QChar(m) + QChar(m));
            }
            check(QString("a") + QChar(m));
            check(QString(QChar(m)));
        }
        const QString alphabet = QString::fromUtf16(
            u"aZ9 -ＡｚＺ０　ｶﾞﾊﾟﾞﾟｰかがハパー曲歌〸ヿé\u0301\u3099\u309A①ﾡﾢ가\U0001D11E");
        const QList<uint> letters = alphabet.toUcs4();
        QRandomGenerator random(3);
        for (int i = 0; i < 20000; ++i) {
            QList<uint> s;
            for (int n = random.bounded(9); n > 0; --n)
                s << letters[random.bounded(int(letters.size()))];
            check(QString::fromUcs4(reinterpret_cast<const char32_t*>(s.constData()), s.size()));
        }
        QVERIFY2(wrong == 0, qPrintable(QString("%1 wrong, first: %2").arg(wrong).arg(firstWrong)));
    }
};

QTEST_GUILESS_MAIN(TestTextFold)
#include "tst_textfold.moc"
