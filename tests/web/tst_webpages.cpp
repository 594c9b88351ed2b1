// The addresses of the web menu's pages, byte for byte.

#include "web/webpages.h"

#include <QTest>

class TestWebPages : public QObject {
    Q_OBJECT

private slots:
    void pageOfEachMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("address");
        QTest::newRow("goods") << 1
                               << "https://search.rakuten.co.jp/rms/sd/ecustom/mall"
                                  "?cl=000000&nm=zep&bk=https://www.zep-shop.example%2F&hd="
                                  "&aid=zep-melodara-01&sg=&sub=0&s=0&v=2&sw=&f=A&nw=&g=0&min=&max="
                                  "&p=1";
        QTest::newRow("auction") << 2
                                 << "https://search.rakuten.co.jp/rms/sd/ecustom/auction"
                                    "?cl=000000&nm=zep&bk=https://www.zep-shop.example%2F&hd="
                                    "&aid=zep-melodara-01&sg=&sub=1&s=0&v=2&sw=&f=A&nw=&g=0&min="
                                    "&max=&p=1";
        QTest::newRow("shop") << 3 << "https://www.zep-shop.example/";
        QTest::newRow("below the first") << 0 << "";
        QTest::newRow("after the last") << 4 << "";
        QTest::newRow("negative") << -1 << "";
    }
    void pageOfEachMode() {
        QFETCH(int, mode);
        QFETCH(QString, address);
        QCOMPARE(webpages::pageAddress(mode), address);
    }
};

QTEST_GUILESS_MAIN(TestWebPages)
#include "tst_webpages.moc"
