// The numbered requests against a real database file, grouped by table.

#include "data/adoconnector.h"
#include "data/sqlquote.h"
#include "scriptedpresenter.h"

#include <QTemporaryDir>
#include <QTest>

class TestRequests : public QObject {
    Q_OBJECT

    ADO_Connector& db() { return *db_; }

    // Column `name` of every row of read `kind`, as text.
    QStringList column(int kind, const QString& name, const QString& param = QString()) {
        Recordset rs;
        if (!db().adoGetData(kind, rs, param))
            return {"<failed>"};
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.text(name);
        return out;
    }

    // The settings value of `key` among the rows of read `kind`.
    QString setting(int kind, const QString& key) {
        Recordset rs;
        if (!db().adoGetData(kind, rs))
            return "<failed>";
        for (; !rs.Eof(); rs.MoveNext()) {
            if (rs.text("設定情報") == key)
                return rs.text("設定値");
        }
        return "<missing>";
    }

    QString displayItem(const QString& columnName, const QString& field) {
        Recordset rs;
        db().adoGetData(3, rs, "TM_表示項目");
        for (; !rs.Eof(); rs.MoveNext()) {
            if (rs.text("列名") == columnName)
                return rs.text(field);
        }
        return "<missing>";
    }

    void addSongs(int n) {
        for (int i = 1; i <= n; ++i)
            QVERIFY(db().adoSetData(31, {QString("/m/%1.mp3").arg(i), QString("s%1").arg(i)}));
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        boxes_ = std::make_unique<ScriptedPresenter>();
        db_ = std::make_unique<ADO_Connector>(dir_->path() + "/DataBase/MelodaraPlayer.db");
        QVERIFY(db_->isConnected());
    }
    void cleanup() {
        db_.reset();
        boxes_.reset();
        dir_.reset();
    }

    void unknownKindsTouchNothingAndSucceed_data() {
        QTest::addColumn<int>("kind");
        for (int kind : {0, -1, 21, 24, 47, 57, 1000})
            QTest::addRow("%d", kind) << kind;
    }
    void unknownKindsTouchNothingAndSucceed() {
        QFETCH(int, kind);
        Recordset rs;
        if (kind < 1 || kind > 20) {
            QVERIFY(db().adoGetData(kind, rs, "x"));
            QVERIFY(!rs.isOpen());
        }
        if (kind < 21 || kind > 56 || kind == 24 || kind == 47)
            QVERIFY(db().adoSetData(kind, {"x", "y"}));
        QVERIFY(boxes_->boxes().isEmpty());
    }

    void missingParameterFails() {
        QVERIFY(!db().adoSetData(22, {"Best"}));
        QCOMPARE(boxes_->boxes().size(), 1);
        QCOMPARE(column(11, "アルバム名"), QStringList());
    }

    // --- set lists ---

    void selectingSetListMarksExactlyOne() {
        QVERIFY(db().adoSetData(45, {"Fav"}));
        QVERIFY(db().adoSetData(23, {"Fav"}));
        QCOMPARE(column(2, "セットリスト名"), QStringList({"ALL", "Fav"}));
        QCOMPARE(column(2, "選択"), QStringList({"False", "True"}));
        // An unknown name leaves none selected, as the action query clears all.
        QVERIFY(db().adoSetData(23, {"nothing"}));
        QCOMPARE(column(2, "選択"), QStringList({"False", "False"}));
    }

    void setListPiecesAreRemovedOneByOne() {
        addSongs(3);
        const QString name = QString::fromUtf16(u"彼の \"ベスト\" it's");
        QVERIFY(db().adoSetData(45, {name}));
        db().adoxCreateQuery("SELECT * FROM Q_SetList_ALL WHERE ID > 1", "Q_SetList_" + name);
        QCOMPARE(column(3, "ID", "Q_SetList_" + name), QStringList({"2", "3"}));
        QVERIFY(db().adoSetData(46, {"INSERT INTO TM_セットリスト条件(セットリスト名) VALUES (" +
                                     sql::quoteText(name) + ")"}));
        QCOMPARE(column(17, "セットリスト名", name), QStringList({name}));

        QVERIFY(db().adoSetData(42, {"Q_SetList_" + name}));
        QCOMPARE(column(3, "ID", "Q_SetList_" + name), QStringList({"<failed>"}));
        QCOMPARE(boxes_->boxes().size(), 1);
        QCOMPARE(boxes_->boxes().front().title, QStringLiteral("DBError"));
        // Dropping a query that is gone fails, but the other two still work.
        QVERIFY(!db().adoSetData(42, {"Q_SetList_" + name}));
        QVERIFY(db().adoSetData(44, {name}));
        QVERIFY(db().adoSetData(43, {name}));
        QCOMPARE(column(17, "セットリスト名", name), QStringList());
        QCOMPARE(column(2, "セットリスト名"), QStringList({"ALL"}));
    }

    void dropViewCannotRemoveTable() {
        addSongs(1);
        QVERIFY(!db().adoSetData(42, {"TM_曲情報"}));
        QCOMPARE(column(16, "ID"), QStringList({"1"}));
    }

    void conditionRowTextsAreEmptyNotNull() {
        QVERIFY(
            db().adoSetData(46, {"INSERT INTO TM_セットリスト条件(セットリスト名) VALUES ('x')"}));
        Recordset rs;
        QVERIFY(db().adoGetData(17, rs, "x"));
        QCOMPARE(rs.RecordCount(), 1);
        QVERIFY(rs.fieldCount() > 5);
        for (int c = 0; c < rs.fieldCount(); ++c) {
            const QString name = rs.fieldName(c);
            QVERIFY2(!rs.isNull(name), qPrintable(name));
        }
        QCOMPARE(rs.text("Oper_5"), QString());
        QVERIFY(rs.hasField("oper_5"));
    }

    void callerSqlRunsOneStatementOnly() {
        addSongs(1);
        QVERIFY(!db().adoSetData(46, {"DELETE FROM TM_アルバム; DELETE FROM TM_曲情報"}));
        QCOMPARE(column(16, "ID"), QStringList({"1"}));
        QVERIFY(db().adoSetData(46, {"DELETE FROM TM_曲情報;  "}));
        QCOMPARE(column(16, "ID"), QStringList());
    }

    void createQueryFailsSilently() {
        db().adoxCreateQuery("SELECT * FROM nowhere", "Q_SetList_bad");
        db().adoxCreateQuery("SELECT 1; DROP TABLE TM_曲情報", "Q_SetList_two");
        QVERIFY(boxes_->boxes().isEmpty());
        QCOMPARE(column(3, "ID", "Q_SetList_two"), QStringList({"<failed>"}));
        QCOMPARE(column(16, "ID"), QStringList());
    }

    // --- genres and artists ---

    void genreIsAddedToAllThreeTablesWithOneId() {
        QVERIFY(db().adoSetData(25, {"Rock"}));
        QCOMPARE(column(20, "ID", "Rock"), QStringList({"2"}));
        QCOMPARE(column(20, "ID", "rock"), QStringList({"2"})); // names ignore case
        QCOMPARE(column(13, "ジャンル名"), QStringList({"指定無し", "Rock"}));
        addSongs(1);
        QVERIFY(db().adoSetData(
            26, {"/m/1.mp3", "s1", "50", "2", "2", "2", "1", "No", "No", "0", "1", "0"}));
        Recordset rs;
        QVERIFY(db().adoGetData(10, rs, "1"));
        QCOMPARE(rs.text("ジャンル1"), QStringLiteral("Rock"));
        QCOMPARE(rs.text("ジャンル2"), QStringLiteral("Rock"));
        QCOMPARE(rs.text("ジャンル3"), QStringLiteral("Rock"));
    }

    void deletedGenreAndArtistAreUnlinkedFromSongs() {
        QVERIFY(db().adoSetData(25, {"Jazz"}));
        QVERIFY(db().adoSetData(49, {"Miles"}));
        QCOMPARE(column(19, "ID", "Miles"), QStringList({"2"}));
        addSongs(2);
        QVERIFY(db().adoSetData(
            26, {"/m/1.mp3", "s1", "50", "2", "1", "2", "2", "No", "No", "0", "1", "0"}));
        QVERIFY(db().adoSetData(50, {"1", "2"}));
        QVERIFY(db().adoSetData(51, {"1", "2"}));
        QVERIFY(db().adoSetData(52, {"Jazz"}));
        QVERIFY(db().adoSetData(48, {"Miles"}));
        QCOMPARE(column(13, "ジャンル名"), QStringList({"指定無し"}));
        QCOMPARE(column(18, "アーティスト名"), QStringList({"指定無し"}));
        // Both songs still join and show the "none" rows.
        QCOMPARE(column(3, "ジャンル3", "Q_SetList_ALL"), QStringList({"指定無し", "指定無し"}));
        QCOMPARE(column(3, "アーティスト名", "Q_SetList_ALL"),
                 QStringList({"指定無し", "指定無し"}));
        QCOMPARE(column(19, "ID", "Miles"), QStringList());
    }

    // --- albums ---

    void albumListsSongsInTrackOrder() {
        addSongs(3);
        QVERIFY(db().adoSetData(22, {"B side", "3", "1"}));
        QVERIFY(db().adoSetData(22, {"B side", "1", "2"}));
        QVERIFY(db().adoSetData(22, {"B side", "3", "3"})); // a song may appear twice
        QVERIFY(db().adoSetData(22, {"A side", "2", "1"}));
        QCOMPARE(column(12, "ID", "B side"), QStringList({"3", "1", "3"}));
        QCOMPARE(column(11, "アルバム名"), QStringList({"A side", "B side"}));
        QVERIFY(db().adoSetData(21, {"B side"}));
        QCOMPARE(column(11, "アルバム名"), QStringList({"A side"}));
        QCOMPARE(column(12, "ID", "B side"), QStringList());
    }

    // --- songs ---

    void newSongHasDefaults() {
        addSongs(1);
        Recordset rs;
        QVERIFY(db().adoGetData(10, rs, "1"));
        QCOMPARE(rs.text("カウント"), QStringLiteral("0"));
        QCOMPARE(rs.text("優先度"), QStringLiteral("50"));
        QCOMPARE(rs.text("トレンド"), QStringLiteral("False"));
        QCOMPARE(rs.text("ボリューム補正"), QStringLiteral("0"));
        QCOMPARE(rs.Field("ブレークアウト"), QVariant(false));
    }

    void songUpdateWritesEveryField() {
        addSongs(2);
        QVERIFY(db().adoSetData(49, {"Ann"}));
        QVERIFY(db().adoSetData(
            26, {"/new/path.wav", "New", "80", "1", "1", "1", "2", "Yes", "No", "-300", "2", "7"}));
        Recordset rs;
        QVERIFY(db().adoGetData(10, rs, "2"));
        QCOMPARE(rs.text("ファイルパス"), QStringLiteral("/new/path.wav"));
        QCOMPARE(rs.text("タイトル"), QStringLiteral("New"));
        QCOMPARE(rs.text("優先度"), QStringLiteral("80"));
        QCOMPARE(rs.text("アーティスト名"), QStringLiteral("Ann"));
        QCOMPARE(rs.text("ブレークアウト"), QStringLiteral("True"));
        QCOMPARE(rs.text("トレンド"), QStringLiteral("False"));
        QCOMPARE(rs.text("ボリューム補正"), QStringLiteral("-300"));
        QCOMPARE(rs.text("カウント"), QStringLiteral("7"));
        QCOMPARE(column(10, "タイトル", "1"), QStringList({"s1"}));

        // 55 keeps path and title.
        QVERIFY(db().adoSetData(
            55, {"/ignored", "ignored", "10", "1", "1", "1", "1", "No", "Yes", "0", "2", "8"}));
        QVERIFY(db().adoGetData(10, rs, "2"));
        QCOMPARE(rs.text("タイトル"), QStringLiteral("New"));
        QCOMPARE(rs.text("優先度"), QStringLiteral("10"));
        QCOMPARE(rs.text("トレンド"), QStringLiteral("True"));
        QCOMPARE(rs.text("カウント"), QStringLiteral("8"));
    }

    void songUpdateOfUnknownIdChangesNothing() {
        addSongs(1);
        QVERIFY(
            db().adoSetData(26, {"/x", "x", "1", "1", "1", "1", "1", "No", "No", "0", "99", "5"}));
        QCOMPARE(column(10, "タイトル", "1"), QStringList({"s1"}));
        QCOMPARE(column(10, "ID", "99"), QStringList());
    }

    void badFlagIsRefused() {
        addSongs(1);
        QVERIFY(!db().adoSetData(
            26, {"/x", "x", "1", "1", "1", "1", "1", "maybe", "No", "0", "1", "5"}));
        QCOMPARE(column(10, "タイトル", "1"), QStringList({"s1"}));
    }

    void deletedSongLeavesItsAlbums() {
        addSongs(2);
        QVERIFY(db().adoSetData(22, {"A", "1", "1"}));
        QVERIFY(db().adoSetData(22, {"A", "2", "2"}));
        QVERIFY(db().adoSetData(54, {"1"}));
        QCOMPARE(column(12, "ID", "A"), QStringList({"2"}));
        QCOMPARE(column(16, "ファイルパス"), QStringList({"/m/2.mp3"}));
        // IDs are never reused.
        addSongs(1);
        QCOMPARE(column(16, "ID"), QStringList({"2", "3"}));
    }

    // Long Integer columns hold whole numbers within 32 bits; anything else
    // fails like a value that is not a number.
    void longValuesAreWholeAndWithin32Bits_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::addRow("largest") << "2147483647"
                                 << "2147483647";
        QTest::addRow("smallest") << "-2147483648"
                                  << "-2147483648";
        QTest::addRow("one above the largest") << "2147483648"
                                               << "";
        QTest::addRow("one below the smallest") << "-2147483649"
                                                << "";
        QTest::addRow("fraction") << "1.5"
                                  << "";
        QTest::addRow("whole number with a point") << "3.0"
                                                   << "3";
        QTest::addRow("zero") << "0"
                              << "0";
    }
    void longValuesAreWholeAndWithin32Bits() {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        addSongs(1);
        QVERIFY(db().adoSetData(
            26, {"/m/1.mp3", "s1", "50", "1", "1", "1", "1", "No", "No", "0", "1", "7"}));
        QCOMPARE(db().adoSetData(
                     26, {"/m/1.mp3", "s1", "50", "1", "1", "1", "1", "No", "No", "0", "1", value}),
                 !stored.isEmpty());
        QCOMPARE(boxes_->boxes().size(), stored.isEmpty() ? 1 : 0);
        QCOMPARE(column(10, "カウント", "1"), QStringList({stored.isEmpty() ? "7" : stored}));
    }

    void everyLongParameterIsChecked() {
        addSongs(1);
        QVERIFY(!db().adoSetData(22, {"A", "1", "1.5"}));
        QVERIFY(!db().adoSetData(33, {"2147483648", "曲名"}));
        QVERIFY(!db().adoSetData(54, {"1.5"}));
        QVERIFY(!db().adoSetData(51, {"4294967297", "1"})); // would wrap to 1
        QCOMPARE(column(10, "ID", "4294967297"), QStringList({"<failed>"}));
        QCOMPARE(boxes_->boxes().size(), 5);
        QCOMPARE(column(11, "アルバム名"), QStringList());
        QCOMPARE(column(16, "ID"), QStringList({"1"}));
        QCOMPARE(displayItem("曲名", "表示順"), QStringLiteral("1"));
        // Column widths are single precision, not Long.
        QVERIFY(db().adoSetData(29, {"1234.5", "曲名"}));
        QCOMPARE(displayItem("曲名", "幅"), QStringLiteral("1234.5"));
    }

    // --- settings and display items ---

    void settingsAreStoredAndReadBack() {
        QCOMPARE(column(6, "設定値"), QStringList({"4000"}));
        QVERIFY(db().adoSetData(27, {"6500"}));
        QCOMPARE(column(6, "設定値"), QStringList({"6500"}));
        QVERIFY(db().adoSetData(53, {"降順", "3"}));
        QCOMPARE(setting(4, "ソート種別"), QString::fromUtf16(u"降順"));
        QCOMPARE(setting(4, "ソート列"), QStringLiteral("3"));
        QVERIFY(!db().adoSetData(53, {"昇順", "first"}));
        QCOMPARE(setting(4, "ソート種別"), QString::fromUtf16(u"降順"));
        QVERIFY(db().adoSetData(30, {"/home/me/Music"}));
        QCOMPARE(column(15, "設定値"), QStringList({"/home/me/Music"}));
        QVERIFY(db().adoSetData(39, {"/pics/bg.png"}));
        QVERIFY(db().adoSetData(40, {"255"}));
        QVERIFY(db().adoSetData(41, {"65280"}));
        QCOMPARE(setting(7, "メイン画面背景画像パス"), QStringLiteral("/pics/bg.png"));
        QCOMPARE(setting(7, "メイン画面フォント色"), QStringLiteral("255"));
        QCOMPARE(setting(7, "メイン画面背景色"), QStringLiteral("65280"));
        QVERIFY(db().adoSetData(36, {"/c.png"}));
        QVERIFY(db().adoSetData(37, {"1"}));
        QVERIFY(db().adoSetData(38, {"2"}));
        QVERIFY(db().adoSetData(56, {"120", "-40"}));
        QCOMPARE(setting(14, "コンパクト画面背景画像パス"), QStringLiteral("/c.png"));
        QCOMPARE(setting(14, "コンパクト画面フォント色"), QStringLiteral("1"));
        QCOMPARE(setting(14, "コンパクト画面背景色"), QStringLiteral("2"));
        QCOMPARE(setting(14, "コンパクト画面Left"), QStringLiteral("120"));
        QCOMPARE(setting(14, "コンパクト画面Top"), QStringLiteral("-40"));
    }

    void playModeSelectionIsExclusive() {
        QCOMPARE(column(5, "選択"), QStringList({"True", "False"}));
        QVERIFY(db().adoSetData(28, {"ﾌﾟﾛｸﾞﾗﾑ再生"}));
        QCOMPARE(column(5, "選択"), QStringList({"False", "True"}));
        QVERIFY(db().adoSetData(28, {"unknown"}));
        QCOMPARE(column(5, "選択"), QStringList({"False", "False"}));
    }

    void displayItemsFollowTheirOrder() {
        QCOMPARE(column(1, "列名"),
                 QStringList({"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"}));
        QCOMPARE(column(8, "列名"), QStringList({"曲名", "ｱｰﾃｨｽﾄ名"}));
        QCOMPARE(column(9, "列名"), QStringList({"ﾌｧｲﾙﾊﾟｽ"}));

        QVERIFY(db().adoSetData(32, {}));
        QCOMPARE(column(1, "列名"), QStringList());
        QCOMPARE(column(8, "列名"), QStringList());
        QCOMPARE(displayItem("曲名", "幅"), QStringLiteral("3600")); // widths are kept

        QVERIFY(db().adoSetData(33, {"2", "曲名"}));
        QVERIFY(db().adoSetData(33, {"1", "ﾄﾚﾝﾄﾞ"}));
        QVERIFY(db().adoSetData(29, {"1000", "ﾄﾚﾝﾄﾞ"}));
        QVERIFY(db().adoSetData(34, {"1", "ﾎﾞﾘｭｰﾑ補正"}));
        QVERIFY(db().adoSetData(35, {"2", "曲名"}));
        QVERIFY(db().adoSetData(35, {"1", "ｶｳﾝﾄ"}));
        QCOMPARE(column(1, "列名"), QStringList({"ﾄﾚﾝﾄﾞ", "曲名"}));
        QCOMPARE(column(1, "幅"), QStringList({"1000", "3600"}));
        QCOMPARE(column(8, "列名"), QStringList({"ﾎﾞﾘｭｰﾑ補正"}));
        QCOMPARE(column(9, "列名"), QStringList({"ｶｳﾝﾄ", "曲名"}));
    }

    // --- the recordset cursor ---

    void recordsetCursorStaysInsideRows() {
        addSongs(3);
        Recordset rs;
        QVERIFY(db().adoGetData(16, rs));
        QCOMPARE(rs.RecordCount(), 3);
        QVERIFY(!rs.Bof());
        rs.Move(2);
        QCOMPARE(rs.text("ID"), QStringLiteral("3"));
        rs.Move(-10);
        QCOMPARE(rs.text("ID"), QStringLiteral("1"));
        rs.Move(10);
        QVERIFY(rs.Eof());
        QVERIFY(!rs.Field("ID").isValid());
        rs.MoveNext();
        QVERIFY(rs.Eof());
        rs.MoveFirst();
        QCOMPARE(rs.text("id"), QStringLiteral("1"));
        QVERIFY(!rs.Field("nosuchcolumn").isValid());

        Recordset empty;
        QVERIFY(db().adoGetData(11, empty));
        QCOMPARE(empty.RecordCount(), 0);
        QVERIFY(empty.Eof() && empty.Bof());
        QCOMPARE(Recordset().RecordCount(), -1);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedPresenter> boxes_;
    std::unique_ptr<ADO_Connector> db_;
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
