#include "data/requests.h"

#include "data/schema.h"

#include <vector>

namespace requests {

namespace {

constexpr ValueKind T = ValueKind::Text;
constexpr ValueKind N = ValueKind::Number;
constexpr ValueKind L = ValueKind::Long;
constexpr ValueKind F = ValueKind::Flag;

Statement sql(const QString& text, QList<Value> values = {}) {
    return Statement{Form::Sql, text, std::move(values)};
}

Statement view(const QString& name) {
    return sql(QStringLiteral("SELECT * FROM ") + name);
}

Statement action(const QString& name) {
    return Statement{Form::Action, name, {}};
}

// One settings row takes parameter `param` as its value.
Statement setting(const QString& key, int param = 0, ValueKind kind = T) {
    return sql(QStringLiteral("UPDATE TM_初期設定 SET 設定値 = ? WHERE 設定情報 = '") + key +
                   QStringLiteral("'"),
               {{param, kind}});
}

// A song's genre or artist column set to the ID given when that name still
// exists, else left as it is: a song read before a name was removed or
// re-linked (the one playing, say) never points at the removed name again.
QString existingId(const QString& column, const QString& table) {
    return QStringLiteral(" %1 = COALESCE((SELECT ID FROM %2 WHERE ID = ?), %1)")
        .arg(column, table);
}

// Kinds 26 and 55 share their parameter layout; 55 leaves path and title.
Statement songUpdate(bool withPathAndTitle) {
    QString text = QStringLiteral("UPDATE TM_曲情報 SET カウント = ?,");
    QList<Value> values = {{11, L}};
    if (withPathAndTitle) {
        text += QStringLiteral(" ファイルパス = ?, タイトル = ?,");
        values << Value{0, T} << Value{1, T};
    }
    text += QStringLiteral(" 優先度 = ?,") +
            existingId(QStringLiteral("ジャンルID1"), QStringLiteral("TM_ジャンル_1")) + u',' +
            existingId(QStringLiteral("ジャンルID2"), QStringLiteral("TM_ジャンル_2")) + u',' +
            existingId(QStringLiteral("ジャンルID3"), QStringLiteral("TM_ジャンル_3")) + u',' +
            existingId(QStringLiteral("アーティストID"), QStringLiteral("TM_アーティスト")) +
            QStringLiteral(", ブレークアウト = ?, トレンド = ?, ボリューム補正 = ? WHERE ID = ?");
    values << Value{2, L} << Value{3, L} << Value{4, L} << Value{5, L} << Value{6, L} << Value{7, F}
           << Value{8, F} << Value{9, L} << Value{10, L};
    return sql(text, values);
}

QList<Statement> forEachGenreTable(const QString& pattern, QList<Value> values) {
    QList<Statement> out;
    for (const char* n : {"1", "2", "3"})
        out << sql(pattern.arg(QLatin1String(n)), values);
    return out;
}

std::optional<Statement> buildRead(int kind) {
    switch (kind) {
    case Read::DisplayItems:
        return view(QStringLiteral("Q_表示項目"));
    case Read::SetLists:
        return sql(QStringLiteral("SELECT * FROM TM_セットリスト"));
    case Read::StoredQuery:
        return Statement{Form::ViewName, QStringLiteral("SELECT * FROM %1"), {{0, T}}};
    case Read::SortSettings:
        return view(QStringLiteral("Q_ソート設定"));
    case Read::PlayModes:
        return sql(QStringLiteral("SELECT * FROM TM_再生種別"));
    case Read::SystemVolume:
        return view(QStringLiteral("Q_システムボリューム"));
    case Read::MainListSettings:
        return view(QStringLiteral("Q_メイン画面リスト設定"));
    case Read::FrameItems:
        return view(QStringLiteral("Q_フレーム表示項目"));
    case Read::StatusBarItems:
        return view(QStringLiteral("Q_ステータスバー表示項目"));
    case Read::SongById:
        return sql(schema::songColumns() + QStringLiteral(" FROM ") + schema::songSource() +
                       QStringLiteral(" WHERE song.ID = ?"),
                   {{0, L}});
    case Read::Albums:
        return view(QStringLiteral("Q_アルバム一覧"));
    case Read::AlbumSongs:
        return sql(schema::songColumns() + QStringLiteral(" FROM (") + schema::songSource() +
                       QStringLiteral(") INNER JOIN TM_アルバム AS album ON song.ID = album.曲ID"
                                      " WHERE album.アルバム名 = ? ORDER BY album.曲順"),
                   {{0, T}});
    case Read::Genres:
        return sql(QStringLiteral("SELECT * FROM TM_ジャンル_1"));
    case Read::CompactSettings:
        return view(QStringLiteral("Q_コンパクト画面表示設定"));
    case Read::SearchPaths:
        return view(QStringLiteral("Q_ファイル検索パス"));
    case Read::FilePaths:
        return view(QStringLiteral("Q_ファイルパス"));
    case Read::SetListConditions:
        return sql(QStringLiteral("SELECT * FROM TM_セットリスト条件 WHERE セットリスト名 = ?"),
                   {{0, T}});
    case Read::Artists:
        return sql(QStringLiteral("SELECT * FROM TM_アーティスト"));
    case Read::ArtistId:
        return sql(QStringLiteral("SELECT ID FROM TM_アーティスト WHERE アーティスト名 = ?"),
                   {{0, T}});
    case Read::GenreId:
        return sql(QStringLiteral("SELECT ID FROM TM_ジャンル_1 WHERE ジャンル名 = ?"), {{0, T}});
    case Read::Setting:
        return sql(QStringLiteral("SELECT 設定値 FROM TM_初期設定 WHERE 設定情報 = ?"), {{0, T}});
    default:
        return std::nullopt;
    }
}

std::optional<QList<Statement>> buildWrite(int kind) {
    switch (kind) {
    case Write::DeleteAlbum:
        return QList{sql(QStringLiteral("DELETE FROM TM_アルバム WHERE アルバム名 = ?"), {{0, T}})};
    case Write::AddAlbumSong:
        // A song deleted meanwhile gets no row: the check is part of the write.
        return QList{sql(QStringLiteral("INSERT INTO TM_アルバム(アルバム名, 曲ID, 曲順)"
                                        " SELECT ?, ID, ? FROM TM_曲情報 WHERE ID = ?"),
                         {{0, T}, {2, L}, {1, L}})};
    case Write::SelectSetList:
        return QList{action(QStringLiteral("Q_セットリスト選択解除")),
                     sql(QStringLiteral("UPDATE TM_セットリスト SET 選択 = 1"
                                        " WHERE セットリスト名 = ?"),
                         {{0, T}})};
    case Write::AddGenre:
        return forEachGenreTable(
            QStringLiteral("INSERT INTO TM_ジャンル_%1(ジャンル名) VALUES (?)"), {{0, T}});
    case Write::UpdateSong:
        return QList{songUpdate(true)};
    case Write::SystemVolume:
        return QList{setting(QStringLiteral("システムボリューム"))};
    case Write::SelectPlayMode:
        return QList{
            sql(QStringLiteral("UPDATE TM_再生種別 SET 選択 = 0")),
            sql(QStringLiteral("UPDATE TM_再生種別 SET 選択 = 1 WHERE 再生種別 = ?"), {{0, T}})};
    case Write::ColumnWidth:
        return QList{
            sql(QStringLiteral("UPDATE TM_表示項目 SET 幅 = ? WHERE 列名 = ?"), {{0, N}, {1, T}})};
    case Write::SearchPath:
        return QList{setting(QStringLiteral("ファイル検索パス"))};
    case Write::AddSong:
        return QList{
            sql(QStringLiteral("INSERT INTO TM_曲情報(ファイルパス, タイトル) VALUES (?, ?)"),
                {{0, T}, {1, T}})};
    case Write::ResetDisplayItems:
        return QList{action(QStringLiteral("Q_表示項目初期化"))};
    case Write::ShowColumn:
        return QList{sql(QStringLiteral("UPDATE TM_表示項目 SET 表示有無 = 1, 表示順 = ?"
                                        " WHERE 列名 = ?"),
                         {{0, L}, {1, T}})};
    case Write::FrameOrder:
        return QList{sql(QStringLiteral("UPDATE TM_表示項目 SET フレーム表示順 = ? WHERE 列名 = ?"),
                         {{0, L}, {1, T}})};
    case Write::StatusBarOrder:
        return QList{
            sql(QStringLiteral("UPDATE TM_表示項目 SET ステータスバー表示順 = ? WHERE 列名 = ?"),
                {{0, L}, {1, T}})};
    case Write::CompactPicture:
        return QList{setting(QStringLiteral("コンパクト画面背景画像パス"))};
    case Write::CompactFontColor:
        return QList{setting(QStringLiteral("コンパクト画面フォント色"))};
    case Write::CompactBackColor:
        return QList{setting(QStringLiteral("コンパクト画面背景色"))};
    case Write::MainPicture:
        return QList{setting(QStringLiteral("メイン画面背景画像パス"))};
    case Write::MainFontColor:
        return QList{setting(QStringLiteral("メイン画面フォント色"))};
    case Write::MainBackColor:
        return QList{setting(QStringLiteral("メイン画面背景色"))};
    case Write::DropQuery:
        // The name is an identifier, quoted by the connector; DROP VIEW
        // cannot remove a table, whatever name is passed.
        return QList{Statement{Form::ViewName, QStringLiteral("DROP VIEW %1"), {{0, T}}}};
    case Write::DeleteSetList:
        return QList{
            sql(QStringLiteral("DELETE FROM TM_セットリスト WHERE セットリスト名 = ?"), {{0, T}})};
    case Write::DeleteConditions:
        return QList{sql(QStringLiteral("DELETE FROM TM_セットリスト条件 WHERE セットリスト名 = ?"),
                         {{0, T}})};
    case Write::AddSetList:
        return QList{sql(QStringLiteral("INSERT INTO TM_セットリスト(セットリスト名) VALUES (?)"),
                         {{0, T}})};
    case Write::RunSql:
        return QList{Statement{Form::CallerSql, QString(), {{0, T}}}};
    case Write::DeleteArtist:
        return QList{
            sql(QStringLiteral("DELETE FROM TM_アーティスト WHERE アーティスト名 = ?"), {{0, T}})};
    case Write::AddArtist:
        return QList{sql(QStringLiteral("INSERT INTO TM_アーティスト(アーティスト名) VALUES (?)"),
                         {{0, T}})};
    case Write::RelinkGenre:
        return forEachGenreTable(
            QStringLiteral("UPDATE TM_曲情報 SET ジャンルID%1 = ? WHERE ジャンルID%1 = ?"),
            {{0, L}, {1, L}});
    case Write::RelinkArtist:
        return QList{sql(QStringLiteral("UPDATE TM_曲情報 SET アーティストID = ?"
                                        " WHERE アーティストID = ?"),
                         {{0, L}, {1, L}})};
    case Write::DeleteGenre:
        return forEachGenreTable(QStringLiteral("DELETE FROM TM_ジャンル_%1 WHERE ジャンル名 = ?"),
                                 {{0, T}});
    case Write::SortSettings:
        return QList{setting(QStringLiteral("ソート種別")),
                     setting(QStringLiteral("ソート列"), 1, L)};
    case Write::DeleteSong:
        return QList{sql(QStringLiteral("DELETE FROM TM_曲情報 WHERE ID = ?"), {{0, L}}),
                     sql(QStringLiteral("DELETE FROM TM_アルバム WHERE 曲ID = ?"), {{0, L}})};
    case Write::UpdateSongKeepPath:
        return QList{songUpdate(false)};
    case Write::CompactPosition:
        return QList{setting(QStringLiteral("コンパクト画面Left")),
                     setting(QStringLiteral("コンパクト画面Top"), 1)};
    case Write::InsertTaggedSong:
        return QList{sql(QStringLiteral("INSERT INTO TM_曲情報(ファイルパス, タイトル, ジャンルID1,"
                                        " ジャンルID2, ジャンルID3, アーティストID)"
                                        " VALUES (?, ?, ?, ?, ?, ?)"),
                         {{0, T}, {1, T}, {2, L}, {3, L}, {4, L}, {5, L}})};
    case Write::UpdateTaggedSong:
        // An empty title or a 0 ID keeps what the song has: tags that say
        // nothing never wipe what the user entered.
        return QList{
            sql(QStringLiteral("UPDATE TM_曲情報 SET"
                               " タイトル = CASE WHEN ? = '' THEN タイトル ELSE ? END,"
                               " ジャンルID1 = CASE WHEN ? = 0 THEN ジャンルID1 ELSE ? END,"
                               " ジャンルID2 = CASE WHEN ? = 0 THEN ジャンルID2 ELSE ? END,"
                               " ジャンルID3 = CASE WHEN ? = 0 THEN ジャンルID3 ELSE ? END,"
                               " アーティストID = CASE WHEN ? = 0 THEN アーティストID"
                               " ELSE ? END WHERE ID = ?"),
                {{0, T},
                 {0, T},
                 {1, L},
                 {1, L},
                 {2, L},
                 {2, L},
                 {3, L},
                 {3, L},
                 {4, L},
                 {4, L},
                 {5, L}})};
    case Write::Setting:
        return QList{
            sql(QStringLiteral("INSERT INTO TM_初期設定(設定情報, 設定値) VALUES (?, ?)"
                               " ON CONFLICT(設定情報) DO UPDATE SET 設定値 = excluded.設定値"),
                {{0, T}, {1, T}})};
    default:
        return std::nullopt;
    }
}

// The read of a setting comes after every write.
constexpr int kLastKind = Read::Setting;

// Built once: a request's text is fixed, and composing it per call would
// cost more than running it in a bulk import.
template <typename T, typename Build> const T* lookup(int kind, Build build) {
    static const auto table = [&] {
        std::vector<std::optional<T>> all;
        for (int k = 0; k <= kLastKind; ++k)
            all.push_back(build(k));
        return all;
    }();
    if (kind < 0 || kind > kLastKind || !table[size_t(kind)])
        return nullptr;
    return &*table[size_t(kind)];
}

} // namespace

const Statement* read(int kind) {
    return lookup<Statement>(kind, buildRead);
}

const QList<Statement>* write(int kind) {
    return lookup<QList<Statement>>(kind, buildWrite);
}

} // namespace requests
