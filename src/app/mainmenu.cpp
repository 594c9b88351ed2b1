#include "app/mainmenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

struct Item {
    const char16_t* name;
    const char16_t* caption;
    const char* shortcut;
    bool separatorAfter;
};

struct Menu {
    const char16_t* name;
    const char16_t* caption;
    std::initializer_list<Item> items;
};

const std::initializer_list<Menu> kMenus = {
    {u"mnuFile",
     u"ﾌｧｲﾙ(&F)",
     {
         {u"mnuFile_ShowMLP", u"Melodaraの表示(&S)", nullptr, true},
         {u"mnuFile_ExportM3u", u"m3uファイル書き出し(&E)", nullptr, false},
         {u"mnuFile_CopySong", u"指定フォルダへコピー(&C)", nullptr, true},
         {u"mnuFile_Exit", u"MelodaraPlayerの終了(&X)", nullptr, false},
     }},
    {u"mnuEdit",
     u"編集(&E)",
     {
         {u"mnuEdit_SetList", u"セットリスト編集(&S)", nullptr, false},
         {u"mnuEdit_Album", u"アルバム編集(&A)", nullptr, true},
         {u"mnuEdit_Category", u"ジャンル編集(&C)", nullptr, false},
         {u"mnuEdit_Artist", u"アーティスト編集(&T)", nullptr, true},
         {u"mnuEdit_SongProp", u"曲のプロパティ編集(&R)", nullptr, false},
         {u"mnuEdit_SongPropDirect", u"曲のプロパティ一括編集(&D)", nullptr, true},
         {u"mnuEdit_Serch", u"検索(&F)", "Ctrl+F", false},
         {u"mnuEdit_Filter", u"絞り込み(&L)", "Ctrl+L", true},
         {u"mnuEdit_PlaySelListSong", u"選択中の曲を再生(&P)", "Ctrl+P", false},
     }},
    {u"mnuSetting",
     u"設定(&S)",
     {
         {u"mnuSetting_Disp", u"表示設定(&D)", nullptr, false},
     }},
    {u"mnuWeb",
     u"Web(&W)",
     {
         {u"mnuWeb_SerchGoods", u"楽天商品検索(&S)", "F2", false},
         {u"mnuWeb_SerchAuction", u"楽天オークション検索(&O)", "F3", false},
         {u"mnuWeb_ShowZep", u"ショッピングサイト表示(&H)", "F4", false},
     }},
    {u"mnuDisp",
     u"表示(&D)",
     {
         {u"mnuDisp_ShowPlaySong", u"再生中の曲を表示(&P)", "Ctrl+D", true},
         {u"mnuDisp_Compact", u"コンパクト表示(&C)", "Ctrl+C", false},
     }},
    {u"mnuHelp",
     u"ﾍﾙﾌﾟ(&H)",
     {
         {u"mnuHelp_ShowHelp", u"ヘルプ表示(&V)", "F1", false},
         {u"mnuHelp_Help", u"Read Me...(&H)", nullptr, true},
         {u"mnuHelp_HP", u"作者のﾎｰﾑﾍﾟｰｼﾞ...(&S)", nullptr, false},
     }},
};

} // namespace

QHash<QString, QAction*> buildMainMenu(QMenuBar& bar) {
    QHash<QString, QAction*> actions;
    for (const Menu& m : kMenus) {
        QMenu* menu = bar.addMenu(QString::fromUtf16(m.caption));
        menu->setObjectName(QString::fromUtf16(m.name));
        for (const Item& item : m.items) {
            QAction* action = menu->addAction(QString::fromUtf16(item.caption));
            action->setObjectName(QString::fromUtf16(item.name));
            if (item.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            actions.insert(action->objectName(), action);
            if (item.separatorAfter)
                menu->addSeparator();
        }
    }
    return actions;
}
