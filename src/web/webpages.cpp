#include "web/webpages.h"

namespace webpages {

namespace {

// Both searches take the same keys in this order; only `sub` tells goods
// (0) from auctions (1). The service reads `bk` as the shop's address with
// its final "/" encoded.
QString searchAddress(const QString& path, int sub) {
    return QString::fromUtf16(kServiceHost) + path + QStringLiteral("?cl=000000&nm=") +
           QString::fromUtf16(kShopShortName) + QStringLiteral("&bk=") +
           QString::fromUtf16(kShopSite) + QStringLiteral("%2F&hd=&aid=") +
           QString::fromUtf16(kAffiliateId) + QStringLiteral("&sg=&sub=") + QString::number(sub) +
           QStringLiteral("&s=0&v=2&sw=&f=A&nw=&g=0&min=&max=&p=1");
}

} // namespace

QString pageAddress(int mode) {
    switch (mode) {
    case 1:
        return searchAddress(QStringLiteral("/rms/sd/ecustom/mall"), 0);
    case 2:
        return searchAddress(QStringLiteral("/rms/sd/ecustom/auction"), 1);
    case 3:
        return homePage();
    default:
        return QString();
    }
}

QString homePage() {
    return QString::fromUtf16(kShopSite) + QLatin1Char('/');
}

} // namespace webpages
