#pragma once

#include <QString>

// Every address and file the web pane and the help menu open. The outside
// parties' addresses (the shopping service, the shop, its affiliate
// identifier, the author) are kept here and nowhere else.
namespace webpages {

// The shopping service whose listing search the pane opens.
inline constexpr char16_t kServiceHost[] = u"https://search.rakuten.co.jp";
// The shop the searches are made for, without a trailing "/".
inline constexpr char16_t kShopSite[] = u"https://www.zep-shop.example";
inline constexpr char16_t kShopShortName[] = u"zep";
inline constexpr char16_t kAffiliateId[] = u"zep-melodara-01";
inline constexpr char16_t kAuthorPage[] = u"https://www.melodara.example/";

// Pages of the web menu: 1 the goods search, 2 the auction search, 3 the
// shop's root. Any other mode has no page: the empty string.
QString pageAddress(int mode);

// The pane's own home page: the shop's root.
QString homePage();

// The help page and the read-me, beside the executable.
inline constexpr char16_t kHelpFile[] = u"MelodaraHelp.html";
inline constexpr char16_t kReadMeFile[] = u"始めにお読みください.txt";

} // namespace webpages
