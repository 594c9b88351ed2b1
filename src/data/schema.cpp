#include "data/schema.h"

namespace schema {

namespace {

// Name columns compare without case, as the names users type are matched.
const char16_t* const kTables[] = {
    u"CREATE TABLE TM_ジャンル_1 (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    u" ジャンル名 TEXT NOT NULL DEFAULT '' COLLATE NOCASE)",
    u"CREATE TABLE TM_ジャンル_2 (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    u" ジャンル名 TEXT NOT NULL DEFAULT '' COLLATE NOCASE)",
    u"CREATE TABLE TM_ジャンル_3 (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    u" ジャンル名 TEXT NOT NULL DEFAULT '' COLLATE NOCASE)",
    u"CREATE TABLE TM_アーティスト (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    u" アーティスト名 TEXT NOT NULL DEFAULT '' COLLATE NOCASE)",
    u"CREATE TABLE TM_曲情報 ("
    u" ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    u" カウント INTEGER NOT NULL DEFAULT 0,"
    u" ファイルパス TEXT NOT NULL DEFAULT '',"
    u" タイトル TEXT NOT NULL DEFAULT '',"
    u" 優先度 INTEGER NOT NULL DEFAULT 50,"
    u" ジャンルID1 INTEGER NOT NULL DEFAULT 1,"
    u" ジャンルID2 INTEGER NOT NULL DEFAULT 1,"
    u" ジャンルID3 INTEGER NOT NULL DEFAULT 1,"
    u" アーティストID INTEGER NOT NULL DEFAULT 1,"
    u" ブレークアウト BOOLEAN NOT NULL DEFAULT 0,"
    u" トレンド BOOLEAN NOT NULL DEFAULT 0,"
    u" ボリューム補正 INTEGER NOT NULL DEFAULT 0)",
    u"CREATE TABLE TM_アルバム ("
    u" アルバム名 TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    u" 曲ID INTEGER NOT NULL DEFAULT 0,"
    u" 曲順 INTEGER NOT NULL DEFAULT 0)",
    u"CREATE TABLE TM_セットリスト ("
    u" セットリスト名 TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
    u" 選択 BOOLEAN NOT NULL DEFAULT 0)",
    u"CREATE TABLE TM_セットリスト条件 ("
    u" セットリスト名 TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
    u" Where_1 TEXT NOT NULL DEFAULT '', Cond_1 TEXT NOT NULL DEFAULT '',"
    u" Val_1 TEXT NOT NULL DEFAULT '', Oper_1 TEXT NOT NULL DEFAULT '',"
    u" Where_2 TEXT NOT NULL DEFAULT '', Cond_2 TEXT NOT NULL DEFAULT '',"
    u" Val_2 TEXT NOT NULL DEFAULT '', Oper_2 TEXT NOT NULL DEFAULT '',"
    u" Where_3 TEXT NOT NULL DEFAULT '', Cond_3 TEXT NOT NULL DEFAULT '',"
    u" Val_3 TEXT NOT NULL DEFAULT '', Oper_3 TEXT NOT NULL DEFAULT '',"
    u" Where_4 TEXT NOT NULL DEFAULT '', Cond_4 TEXT NOT NULL DEFAULT '',"
    u" Val_4 TEXT NOT NULL DEFAULT '', Oper_4 TEXT NOT NULL DEFAULT '',"
    u" Where_5 TEXT NOT NULL DEFAULT '', Cond_5 TEXT NOT NULL DEFAULT '',"
    u" Val_5 TEXT NOT NULL DEFAULT '', Oper_5 TEXT NOT NULL DEFAULT '')",
    u"CREATE TABLE TM_初期設定 ("
    u" 設定情報 TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
    u" 設定値 TEXT)",
    u"CREATE TABLE TM_再生種別 ("
    u" 再生種別 TEXT NOT NULL PRIMARY KEY,"
    u" 選択 BOOLEAN NOT NULL DEFAULT 0)",
    u"CREATE TABLE TM_表示項目 ("
    u" 列名 TEXT NOT NULL PRIMARY KEY,"
    u" 幅 REAL NOT NULL DEFAULT 0,"
    u" 表示有無 BOOLEAN NOT NULL DEFAULT 0,"
    u" 表示順 INTEGER NOT NULL DEFAULT 0,"
    u" フレーム表示順 INTEGER NOT NULL DEFAULT 0,"
    u" ステータスバー表示順 INTEGER NOT NULL DEFAULT 0)",
};

const char16_t* const kIndexes[] = {
    u"CREATE INDEX IX_曲情報_ファイルパス ON TM_曲情報(ファイルパス)",
    u"CREATE INDEX IX_アルバム_名前 ON TM_アルバム(アルバム名, 曲順)",
    u"CREATE INDEX IX_アルバム_曲 ON TM_アルバム(曲ID)",
    u"CREATE INDEX IX_ジャンル_1_名前 ON TM_ジャンル_1(ジャンル名)",
    u"CREATE INDEX IX_ジャンル_2_名前 ON TM_ジャンル_2(ジャンル名)",
    u"CREATE INDEX IX_ジャンル_3_名前 ON TM_ジャンル_3(ジャンル名)",
    u"CREATE INDEX IX_アーティスト_名前 ON TM_アーティスト(アーティスト名)",
    u"CREATE INDEX IX_セットリスト条件_名前 ON TM_セットリスト条件(セットリスト名)",
};

// Widths are twips; shown columns are numbered from 1 with the file path
// last, and 0 means "not shown" in all three order columns.
const char16_t* const kFixedRows[] = {
    u"INSERT INTO TM_ジャンル_1(ID, ジャンル名) VALUES (1, '指定無し')",
    u"INSERT INTO TM_ジャンル_2(ID, ジャンル名) VALUES (1, '指定無し')",
    u"INSERT INTO TM_ジャンル_3(ID, ジャンル名) VALUES (1, '指定無し')",
    u"INSERT INTO TM_アーティスト(ID, アーティスト名) VALUES (1, '指定無し')",
    u"INSERT INTO TM_セットリスト(セットリスト名, 選択) VALUES ('ALL', 1)",
    u"INSERT INTO TM_再生種別(再生種別, 選択) VALUES ('ﾗﾝﾀﾞﾑ再生', 1), ('ﾌﾟﾛｸﾞﾗﾑ再生', 0),"
    u" ('優先度ﾗﾝﾀﾞﾑ再生', 0)",
    u"INSERT INTO TM_表示項目(列名, 幅, 表示有無, 表示順, フレーム表示順, ステータスバー表示順)"
    u" VALUES ('曲名', 3600, 1, 1, 1, 0),"
    u" ('ｱｰﾃｨｽﾄ名', 2400, 1, 2, 2, 0),"
    u" ('ｼﾞｬﾝﾙ', 2400, 1, 3, 0, 0),"
    u" ('ｶｳﾝﾄ', 900, 1, 4, 0, 0),"
    u" ('優先度', 900, 1, 5, 0, 0),"
    u" ('ﾌﾞﾚｰｸｱｳﾄ', 1200, 0, 0, 0, 0),"
    u" ('ﾄﾚﾝﾄﾞ', 900, 0, 0, 0, 0),"
    u" ('ﾎﾞﾘｭｰﾑ補正', 1400, 0, 0, 0, 0),"
    u" ('ﾌｧｲﾙﾊﾟｽ', 6000, 1, 6, 0, 1)",
    u"INSERT INTO TM_初期設定(設定情報, 設定値) VALUES"
    u" ('システムボリューム', '4000'),"
    u" ('ファイル検索パス', ''),"
    // "降順" restores ascending order (the stored pairing), so a new
    // library lists its songs A to Z.
    u" ('ソート種別', '降順'),"
    u" ('ソート列', '0'),"
    u" ('メイン画面背景画像パス', '未指定'),"
    u" ('メイン画面フォント色', '0'),"
    u" ('メイン画面背景色', '16777215'),"
    u" ('コンパクト画面背景画像パス', '未指定'),"
    u" ('コンパクト画面フォント色', '0'),"
    u" ('コンパクト画面背景色', '16777215'),"
    u" ('コンパクト画面Left', '0'),"
    u" ('コンパクト画面Top', '0')",
};

const char16_t* const kViews[] = {
    u"CREATE VIEW Q_表示項目 AS SELECT 列名, 幅 FROM TM_表示項目"
    u" WHERE 表示有無 = 1 ORDER BY 表示順",
    u"CREATE VIEW Q_フレーム表示項目 AS SELECT 列名 FROM TM_表示項目"
    u" WHERE フレーム表示順 > 0 ORDER BY フレーム表示順",
    u"CREATE VIEW Q_ステータスバー表示項目 AS SELECT 列名 FROM TM_表示項目"
    u" WHERE ステータスバー表示順 > 0 ORDER BY ステータスバー表示順",
    u"CREATE VIEW Q_ソート設定 AS SELECT 設定情報, 設定値 FROM TM_初期設定"
    u" WHERE 設定情報 IN ('ソート種別', 'ソート列')",
    u"CREATE VIEW Q_システムボリューム AS SELECT 設定値 FROM TM_初期設定"
    u" WHERE 設定情報 = 'システムボリューム'",
    u"CREATE VIEW Q_メイン画面リスト設定 AS SELECT 設定情報, 設定値 FROM TM_初期設定"
    u" WHERE 設定情報 IN ('メイン画面背景画像パス', 'メイン画面フォント色', 'メイン画面背景色')",
    u"CREATE VIEW Q_コンパクト画面表示設定 AS SELECT 設定情報, 設定値 FROM TM_初期設定"
    u" WHERE 設定情報 IN ('コンパクト画面背景画像パス', 'コンパクト画面フォント色',"
    u" 'コンパクト画面背景色', 'コンパクト画面Left', 'コンパクト画面Top')",
    u"CREATE VIEW Q_ファイル検索パス AS SELECT 設定値 FROM TM_初期設定"
    u" WHERE 設定情報 = 'ファイル検索パス'",
    u"CREATE VIEW Q_ファイルパス AS SELECT ID, ファイルパス FROM TM_曲情報 ORDER BY ID",
    u"CREATE VIEW Q_アルバム一覧 AS SELECT DISTINCT アルバム名 FROM TM_アルバム"
    u" ORDER BY アルバム名",
};

} // namespace

QString songColumns() {
    return QStringLiteral(
        " SELECT song.ID, song.カウント, song.ファイルパス, song.タイトル, song.優先度,"
        " janl1.ジャンル名 AS ジャンル1, janl2.ジャンル名 AS ジャンル2,"
        " janl3.ジャンル名 AS ジャンル3, art.アーティスト名, song.ブレークアウト,"
        " song.トレンド, song.ボリューム補正");
}

QString songSource() {
    return QStringLiteral("(((TM_曲情報 AS song"
                          " INNER JOIN TM_ジャンル_1 AS janl1 ON song.ジャンルID1 = janl1.ID)"
                          " INNER JOIN TM_ジャンル_2 AS janl2 ON song.ジャンルID2 = janl2.ID)"
                          " INNER JOIN TM_ジャンル_3 AS janl3 ON song.ジャンルID3 = janl3.ID)"
                          " INNER JOIN TM_アーティスト AS art ON song.アーティストID = art.ID");
}

QStringList creationStatements() {
    QStringList out;
    for (const char16_t* s : kTables)
        out << QString::fromUtf16(s);
    for (const char16_t* s : kIndexes)
        out << QString::fromUtf16(s);
    for (const char16_t* s : kFixedRows)
        out << QString::fromUtf16(s);
    for (const char16_t* s : kViews)
        out << QString::fromUtf16(s);
    out << QStringLiteral("CREATE VIEW ") + setListQuery(QStringLiteral("ALL")) +
               QStringLiteral(" AS") + songColumns() + QStringLiteral(" FROM ") + songSource() +
               QStringLiteral(" ORDER BY song.ID");
    out << QStringLiteral("PRAGMA user_version = %1").arg(kVersion);
    return out;
}

QStringList requiredTables() {
    return {QStringLiteral("TM_曲情報"),       QStringLiteral("TM_ジャンル_1"),
            QStringLiteral("TM_ジャンル_2"),   QStringLiteral("TM_ジャンル_3"),
            QStringLiteral("TM_アーティスト"), QStringLiteral("TM_アルバム"),
            QStringLiteral("TM_セットリスト"), QStringLiteral("TM_セットリスト条件"),
            QStringLiteral("TM_初期設定"),     QStringLiteral("TM_再生種別"),
            QStringLiteral("TM_表示項目")};
}

QString actionQuery(const QString& name) {
    if (name == u"Q_表示項目初期化")
        return QStringLiteral("UPDATE TM_表示項目 SET 表示有無 = 0, 表示順 = 0,"
                              " フレーム表示順 = 0, ステータスバー表示順 = 0");
    if (name == u"Q_セットリスト選択解除")
        return QStringLiteral("UPDATE TM_セットリスト SET 選択 = 0");
    return QString();
}

QString setListQuery(const QString& setListName) {
    return QStringLiteral("Q_SetList_") + setListName;
}

} // namespace schema
