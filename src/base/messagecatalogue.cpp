#include "base/messagecatalogue.h"

#include "base/messagepresenter.h"

#include <array>

namespace {

const std::array<const char16_t*, kMessageCount> kTexts = {
    u"システムの初期化に失敗しました。アプリケーションを終了します。",
    u"画面の初期化に失敗しました",
    u"選択中のアルバムを削除します。",
    u"選択中の曲は既に追加されています",
    u"アルバム名称を入力して下さい",
    u"曲をアルバムリストに追加して下さい",
    u"アルバムの作成に失敗しました",
    u"同じ名前のアルバムが既に存在します",
    u"選択された１つ以上のファイルが既にリストに追加されています。\r\n"
    u"追加されていないファイルのみをリストに追加します。",
    u"Melodaraを更新しました。\r\n設定は再起動後に反映されます。",
    u"選択中のセットリストを削除します",
    u"選曲条件を設定して下さい",
    u"セットリスト名称を入力して下さい",
    u"同じ名前のセットリストが既に存在します",
    u"セットリストの作成に失敗しました",
    u"表示設定の更新に失敗しました",
    u"カテゴリの更新に失敗しました",
    u"曲の再生に失敗しました",
    u"「ALL」セットリストは削除できません",
    u"ジャンルの指定は最大３つまで可能です",
    u"「ALL」セットリストは編集できません",
    u"選択中の曲をデータベースから削除します",
    u"ファイル名を設定して下さい",
    u"現在のセットリストをm3uファイルとして書き出します",
    u"m3uファイル書き出しに失敗しました",
    u"リストの最後まで検索しました",
    u"現在のセットリスト内のファイルをフォルダに書き出します",
    u"ジャンルは最低１つ以上設定して下さい",
    u"アーティスト名は最低１つ以上設定して下さい",
};

} // namespace

QString MessageText(int number) {
    if (number < 0 || number >= kMessageCount)
        return QString();
    return QString::fromUtf16(kTexts[static_cast<size_t>(number)]);
}

int ShowMessage(int number, int style, QString& title) {
    if (title.isEmpty())
        title = kDefaultMessageTitle;
    return msgbox::show(MessageText(number), style, title);
}

int ShowMessage(int number, int style) {
    QString title;
    return ShowMessage(number, style, title);
}
