#include "base/combohelpers.h"

#include <QComboBox>
#include <QTest>

class TestComboHelpers : public QObject {
    Q_OBJECT

private slots:
    void select_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("exact") << QString::fromUtf16(u"ジャズ") << 2;
        QTest::newRow("first of duplicates") << "Pop" << 1;
        QTest::newRow("empty selects first") << "" << 0;
        QTest::newRow("case differs: unchanged") << "pop" << 3;
        QTest::newRow("missing: unchanged") << "Metal" << 3;
    }

    void select() {
        QFETCH(QString, text);
        QFETCH(int, index);
        QComboBox combo;
        combo.addItems({"Rock", "Pop", QString::fromUtf16(u"ジャズ"), "Blues", "Pop"});
        combo.setCurrentIndex(3);
        SelectComboItem(&combo, text);
        QCOMPARE(combo.currentIndex(), index);
    }
};

QTEST_MAIN(TestComboHelpers)
#include "tst_combohelpers.moc"
