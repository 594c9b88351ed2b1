#pragma once

#include <array>

// The nine display items: the names the display settings store and the
// song list shows as captions, each with the song query's field it shows
// and how a new library sets it. Everything that names an item reads this
// table.
namespace displayitems {

struct Item {
    const char16_t* name;
    const char16_t* field; // null for the genre, shown from three fields
    int width;             // twips
    int order;             // column order from 1, the file path last; 0: not shown
    int frameOrder;        // 0: not in the now-playing frame
    int statusOrder;       // 0: not in the status bar
};

// In the order the display settings offer them.
inline constexpr std::array<Item, 9> kItems = {{
    {u"ｶｳﾝﾄ", u"カウント", 900, 4, 0, 0},
    {u"優先度", u"優先度", 900, 5, 0, 0},
    {u"ｼﾞｬﾝﾙ", nullptr, 2400, 3, 0, 0},
    {u"曲名", u"タイトル", 3600, 1, 1, 0},
    {u"ﾌｧｲﾙﾊﾟｽ", u"ファイルパス", 6000, 6, 0, 1},
    {u"ﾌﾞﾚｰｸｱｳﾄ", u"ブレークアウト", 1200, 0, 0, 0},
    {u"ﾄﾚﾝﾄﾞ", u"トレンド", 900, 0, 0, 0},
    {u"ﾎﾞﾘｭｰﾑ補正", u"ボリューム補正", 1400, 0, 0, 0},
    {u"ｱｰﾃｨｽﾄ名", u"アーティスト名", 2400, 2, 2, 0},
}};

// The file path, always the last column.
inline constexpr const Item& kFilePath = kItems[4];

} // namespace displayitems
