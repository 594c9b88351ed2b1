// The main window's menu bar: every menu and item with its caption, access
// key, shortcut and separator, each item kept in its member of the window;
// and the one place where the items are connected to their handlers.

#include "app/mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

struct Item {
    QAction* frmMain::*member;
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

// The item's member and its object name, spelt once.
#define MENU_ITEM(member) &frmMain::member, u"" #member

const std::initializer_list<Menu> kMenus = {
    {u"mnuFile",
     u"ﾌｧｲﾙ(&F)",
     {
         {MENU_ITEM(mnuFile_ShowMLP), u"Melodaraの表示(&S)", nullptr, true},
         {MENU_ITEM(mnuFile_ExportM3u), u"m3uファイル書き出し(&E)", nullptr, false},
         {MENU_ITEM(mnuFile_CopySong), u"指定フォルダへコピー(&C)", nullptr, true},
         {MENU_ITEM(mnuFile_Exit), u"MelodaraPlayerの終了(&X)", nullptr, false},
     }},
    {u"mnuEdit",
     u"編集(&E)",
     {
         {MENU_ITEM(mnuEdit_SetList), u"セットリスト編集(&S)", nullptr, false},
         {MENU_ITEM(mnuEdit_Album), u"アルバム編集(&A)", nullptr, true},
         {MENU_ITEM(mnuEdit_Category), u"ジャンル編集(&C)", nullptr, false},
         {MENU_ITEM(mnuEdit_Artist), u"アーティスト編集(&T)", nullptr, true},
         {MENU_ITEM(mnuEdit_SongProp), u"曲のプロパティ編集(&R)", nullptr, false},
         {MENU_ITEM(mnuEdit_SongPropDirect), u"曲のプロパティ一括編集(&D)", nullptr, true},
         {MENU_ITEM(mnuEdit_Serch), u"検索(&F)", "Ctrl+F", false},
         {MENU_ITEM(mnuEdit_Filter), u"絞り込み(&L)", "Ctrl+L", true},
         {MENU_ITEM(mnuEdit_PlaySelListSong), u"選択中の曲を再生(&P)", "Ctrl+P", false},
     }},
    {u"mnuSetting",
     u"設定(&S)",
     {
         {MENU_ITEM(mnuSetting_Disp), u"表示設定(&D)", nullptr, false},
     }},
    {u"mnuWeb",
     u"Web(&W)",
     {
         {MENU_ITEM(mnuWeb_SerchGoods), u"楽天商品検索(&S)", "F2", false},
         {MENU_ITEM(mnuWeb_SerchAuction), u"楽天オークション検索(&O)", "F3", false},
         {MENU_ITEM(mnuWeb_ShowZep), u"ショッピングサイト表示(&H)", "F4", false},
     }},
    {u"mnuDisp",
     u"表示(&D)",
     {
         {MENU_ITEM(mnuDisp_ShowPlaySong), u"再生中の曲を表示(&P)", "Ctrl+D", true},
         {MENU_ITEM(mnuDisp_Compact), u"コンパクト表示(&C)", "Ctrl+C", false},
     }},
    {u"mnuHelp",
     u"ﾍﾙﾌﾟ(&H)",
     {
         {MENU_ITEM(mnuHelp_ShowHelp), u"ヘルプ表示(&V)", "F1", false},
         {MENU_ITEM(mnuHelp_Help), u"Read Me...(&H)", nullptr, true},
         {MENU_ITEM(mnuHelp_HP), u"作者のﾎｰﾑﾍﾟｰｼﾞ...(&S)", nullptr, false},
     }},
};

#undef MENU_ITEM

} // namespace

void frmMain::buildMenus() {
    for (const Menu& m : kMenus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf16(m.caption));
        menu->setObjectName(QString::fromUtf16(m.name));
        for (const Item& item : m.items) {
            QAction* action = menu->addAction(QString::fromUtf16(item.caption));
            action->setObjectName(QString::fromUtf16(item.name));
            if (item.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            this->*item.member = action;
            if (item.separatorAfter)
                menu->addSeparator();
        }
    }
}

void frmMain::connectMenus() {
    const auto on = [this](QAction* item, auto handler) {
        connect(item, &QAction::triggered, this, handler);
    };
    on(mnuFile_ShowMLP, &frmMain::mnuFile_ShowMLP_Click);
    on(mnuFile_ExportM3u, &frmMain::mnuFile_ExportM3u_Click);
    on(mnuFile_CopySong, &frmMain::mnuFile_CopySong_Click);
    on(mnuFile_Exit, &QWidget::close);

    on(mnuEdit_SetList, &frmMain::mnuEdit_SetList_Click);
    on(mnuEdit_Album, &frmMain::mnuEdit_Album_Click);
    on(mnuEdit_Category, &frmMain::mnuEdit_Category_Click);
    on(mnuEdit_Artist, &frmMain::mnuEdit_Artist_Click);
    on(mnuEdit_SongProp, &frmMain::frmMain_EditSongProp);
    on(mnuEdit_SongPropDirect, &frmMain::frmMain_EditSongPropDirect);
    on(mnuEdit_Serch, &frmMain::mnuEdit_Serch_Click);
    on(mnuEdit_Filter, &frmMain::mnuEdit_Filter_Click);
    on(mnuEdit_PlaySelListSong, &frmMain::mnuEdit_PlaySelListSong_Click);

    on(mnuSetting_Disp, &frmMain::mnuSetting_Disp_Click);

    on(mnuWeb_SerchGoods, [this] { frmMain_ShowWeb(1); });
    on(mnuWeb_SerchAuction, [this] { frmMain_ShowWeb(2); });
    on(mnuWeb_ShowZep, [this] { frmMain_ShowWeb(3); });

    on(mnuDisp_ShowPlaySong, &frmMain::frmMain_ShowPlaySong);
    on(mnuDisp_Compact, &frmMain::frmMain_StartCompact);

    on(mnuHelp_ShowHelp, &frmMain::mnuHelp_ShowHelp_Click);
    on(mnuHelp_Help, &frmMain::mnuHelp_Help_Click);
    on(mnuHelp_HP, &frmMain::mnuHelp_HP_Click);
}
