// The numbered requests against a real database file, grouped by table.

#include "data/adoconnector.h"
#include "data/requests.h"
#include "scriptedpresenter.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

class TestRequests : public QObject {
    Q_OBJECT

    // Column `name` of every row of read `kind`, as text.
    QStringList column(int kind, const QString& name, const QString& param = QString()) {
        QStringList out;
        if (!db_->adoGetColumn(kind, name, out, param))
            return {QStringLiteral("<failed>")};
        return out;
    }

    // Every field of song `id` (read 10), joined by "|"; empty when none.
    QString song(const QString& id) {
        Recordset rs;
        db_->adoGetData(Read::SongById, rs, id);
        QStringList fields;
        for (int c = 0; !rs.Eof() && c < rs.fieldCount(); ++c)
            fields << rs.text(c);
        return fields.join(u'|');
    }

    // Runs writes given as "kind|parameter|...", in order; each must
    // succeed, or each must fail.
    void write(const QStringList& writes, bool succeed = true) {
        for (const QString& w : writes) {
            const QStringList parts = w.split(u'|');
            QVERIFY2(db_->adoSetData(parts[0].toInt(), parts.mid(1)) == succeed, qPrintable(w));
        }
    }

    void addSongs(int n) {
        for (int i = 1; i <= n; ++i)
            QVERIFY(db_->adoSetData(Write::AddSong, {QStringLiteral("/m/%1.mp3").arg(i),
                                                     QStringLiteral("s%1").arg(i)}));
    }

private slots:
    void init() {
        db_.reset();
        dir_.emplace();
        boxes_.emplace();
        db_.emplace(dir_->path() + QStringLiteral("/DataBase/MelodaraPlayer.db"));
        QVERIFY(db_->isConnected());
    }

    void unknownKindsTouchNothingAndSucceed() {
        Recordset rs;
        for (int kind : {0, -1, 21, 57, 1000})
            QVERIFY(db_->adoGetData(kind, rs, QStringLiteral("x")) && !rs.isOpen());
        for (int kind : {0, -1, 20, 24, 47, 61, 1000})
            QVERIFY(db_->adoSetData(kind, {QStringLiteral("x"), QStringLiteral("y")}));
        QVERIFY(boxes_->boxes().isEmpty());
    }

    // A setting a library may lack: its row made by the first write, its
    // value replaced by the next; a name never written reads no row.
    void aSettingIsMadeThenReplaced() {
        const auto value = [this](const QString& name) {
            Recordset rs;
            if (!db_->adoGetData(Read::Setting, rs, name))
                return QStringLiteral("<failed>");
            return rs.Eof() ? QStringLiteral("<none>") : rs.text(QStringLiteral("設定値"));
        };
        QCOMPARE(value(QStringLiteral("メイン画面Left")), QStringLiteral("<none>"));
        QVERIFY(db_->adoSetData(Write::Setting,
                                {QStringLiteral("メイン画面Left"), QStringLiteral("1500")}));
        QCOMPARE(value(QStringLiteral("メイン画面Left")), QStringLiteral("1500"));
        QVERIFY(db_->adoSetData(Write::Setting,
                                {QStringLiteral("メイン画面left"), QStringLiteral("'; --")}));
        QCOMPARE(value(QStringLiteral("メイン画面Left")),
                 QStringLiteral("'; --")); // names ignore case
        QCOMPARE(value(QStringLiteral("システムボリューム")), QStringLiteral("4000"));
    }

    // --- set lists and play modes ---

    void selectionsAreExclusive() {
        write(
            {QStringLiteral("45|Fav"), QStringLiteral("23|Fav"), QStringLiteral("28|ﾌﾟﾛｸﾞﾗﾑ再生")});
        QCOMPARE(column(2, QStringLiteral("セットリスト名")) + column(2, QStringLiteral("選択")) +
                     column(5, QStringLiteral("選択")),
                 QStringList({QStringLiteral("ALL"), QStringLiteral("Fav"), QStringLiteral("False"),
                              QStringLiteral("True"), QStringLiteral("False"),
                              QStringLiteral("True"), QStringLiteral("False")}));
        // An unknown name leaves none selected, as the first statement clears all.
        write({QStringLiteral("23|nothing"), QStringLiteral("28|unknown")});
        QCOMPARE(
            column(2, QStringLiteral("選択")) + column(5, QStringLiteral("選択")),
            QStringList({QStringLiteral("False"), QStringLiteral("False"), QStringLiteral("False"),
                         QStringLiteral("False"), QStringLiteral("False")}));
    }

    void conditionsRowHoldsNoNulls() {
        // A conditions row given only its name holds empty texts.
        QVERIFY(db_->adoSetData(
            Write::RunSql,
            {QStringLiteral("INSERT INTO TM_セットリスト条件(セットリスト名) VALUES ('x')")}));
        Recordset rs;
        QVERIFY(db_->adoGetData(Read::SetListConditions, rs, QStringLiteral("x")));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.fieldCount(), 21);
        for (int c = 0; c < rs.fieldCount(); ++c)
            QVERIFY2(!rs.Field(c).isNull(), qPrintable(rs.fieldName(c)));
    }

    void callerSqlRunsOneStatementOnly() {
        addSongs(1);
        QVERIFY(!db_->adoSetData(
            Write::RunSql, {QStringLiteral("DELETE FROM TM_アルバム; DELETE FROM TM_曲情報")}));
        // A query that cannot be made fails without a box.
        QVERIFY(!db_->adoxCreateQuery(QStringLiteral("SELECT 1; DROP TABLE TM_曲情報"),
                                      QStringLiteral("Q_SetList_two")));
        db_->adoxCreateQuery(QStringLiteral("SELECT * FROM nowhere"),
                             QStringLiteral("Q_SetList_bad"));
        QCOMPARE(boxes_->boxes().size(), 1);
        QVERIFY(!db_->queryExists(QStringLiteral("Q_SetList_two")));
        // Whatever name it is given, DROP VIEW cannot remove a table.
        QVERIFY(!db_->adoSetData(Write::DropQuery, {QStringLiteral("TM_曲情報")}));
        QCOMPARE(column(16, QStringLiteral("ID")), QStringList({QStringLiteral("1")}));
        QVERIFY(db_->adoSetData(Write::RunSql, {QStringLiteral("DELETE FROM TM_曲情報;  ")}));
        QCOMPARE(column(16, QStringLiteral("ID")), QStringList());
    }

    // --- songs, genres and artists ---

    void songWritesCheckTheSong() {
        addSongs(1);
        // A new song: count 0, priority 50, no genre or artist, flags off.
        const QString song1 =
            QStringLiteral("1|0|/m/1.mp3|s1|50|指定無し|指定無し|指定無し|指定無し|False|False|0");
        QCOMPARE(song(QStringLiteral("1")), song1);
        // An unknown ID changes nothing; a flag other than Yes or No is refused.
        write({QStringLiteral("26|/x|x|1|1|1|1|1|No|No|0|99|5"),
               QStringLiteral("55|/x|x|1|1|1|1|1|No|No|0|99|5")});
        write({QStringLiteral("26|/x|x|1|1|1|1|1|maybe|No|0|1|5"),
               QStringLiteral("55|/x|x|1|1|1|1|1|No|maybe|0|1|5")},
              false);
        QCOMPARE(song(QStringLiteral("1")) + song(QStringLiteral("99")), song1);
        // 55 writes every field but the path and the title.
        write({QStringLiteral("55|/x|x|80|1|1|1|1|Yes|No|-300|1|7")});
        QCOMPARE(song(QStringLiteral("1")),
                 QStringLiteral(
                     "1|7|/m/1.mp3|s1|80|指定無し|指定無し|指定無し|指定無し|True|False|-300"));
    }

    void albumsKeepRepeatsAndIdsAreNeverReused() {
        addSongs(3);
        // A song deleted before the album is saved gets no row.
        write({QStringLiteral("22|B side|3|1"), QStringLiteral("22|B side|1|2"),
               QStringLiteral("22|B side|9|3"), QStringLiteral("22|B side|3|4")});
        QCOMPARE(column(3, QStringLiteral("曲ID"), QStringLiteral("TM_アルバム")),
                 QStringList({QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("3")}));
        QCOMPARE(column(12, QStringLiteral("ID"), QStringLiteral("B side")),
                 QStringList({QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("3")}));
        // A deleted song leaves its albums; IDs are never reused.
        write({QStringLiteral("54|3")});
        QCOMPARE(column(3, QStringLiteral("曲ID"), QStringLiteral("TM_アルバム")),
                 QStringList({QStringLiteral("1")}));
        addSongs(1);
        QCOMPARE(column(16, QStringLiteral("ID")),
                 QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")}));
    }

    // A song write made with the IDs read before a genre and an artist were
    // re-linked and removed (a play count at the end of a song) keeps the
    // song's current IDs, so it never points at a removed name.
    void songWritesNeverPointAtARemovedName() {
        addSongs(1);
        write({QStringLiteral("25|Rock"), QStringLiteral("49|Band"),
               QStringLiteral("55|/m/1.mp3|s1|50|2|2|1|2|No|No|0|1|0")});
        QCOMPARE(song(QStringLiteral("1")),
                 QStringLiteral("1|0|/m/1.mp3|s1|50|Rock|Rock|指定無し|Band|False|False|0"));
        write({QStringLiteral("50|1|2"), QStringLiteral("52|Rock"), QStringLiteral("51|1|2"),
               QStringLiteral("48|Band")});
        write({QStringLiteral("26|/m/1.mp3|s1|50|2|2|1|2|No|No|0|1|1"),
               QStringLiteral("55|/m/1.mp3|s1|60|2|1|2|2|No|No|0|1|2")});
        QCOMPARE(
            song(QStringLiteral("1")),
            QStringLiteral("1|2|/m/1.mp3|s1|60|指定無し|指定無し|指定無し|指定無し|False|False|0"));
        QCOMPARE(column(13, QStringLiteral("ジャンル名")) +
                     column(18, QStringLiteral("アーティスト名")),
                 QStringList({QStringLiteral("指定無し"), QStringLiteral("指定無し")}));
    }

    // Long Integer columns hold whole numbers within 32 bits; anything else
    // fails like a value that is not a number.
    void longValuesAreWholeAndWithin32Bits_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::addRow("largest") << "2147483647" << QStringLiteral("2147483647");
        QTest::addRow("smallest") << "-2147483648" << QStringLiteral("-2147483648");
        QTest::addRow("one above the largest") << "2147483648" << QString();
        QTest::addRow("one below the smallest") << "-2147483649" << QString();
        QTest::addRow("fraction") << "1.5" << QString();
        QTest::addRow("whole number with a point") << "3.0" << QStringLiteral("3");
        QTest::addRow("zero") << "0" << QStringLiteral("0");
    }
    void longValuesAreWholeAndWithin32Bits() {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        addSongs(1);
        QStringList params = {
            QStringLiteral("/m/1.mp3"), QStringLiteral("s1"), QStringLiteral("50"),
            QStringLiteral("1"),        QStringLiteral("1"),  QStringLiteral("1"),
            QStringLiteral("1"),        QStringLiteral("No"), QStringLiteral("No"),
            QStringLiteral("0"),        QStringLiteral("1"),  QStringLiteral("7")};
        QVERIFY(db_->adoSetData(Write::UpdateSong, params));
        params.last() = value;
        QCOMPARE(db_->adoSetData(Write::UpdateSong, params), !stored.isEmpty());
        QCOMPARE(boxes_->boxes().size(), stored.isEmpty() ? 1 : 0);
        QCOMPARE(column(10, QStringLiteral("カウント"), QStringLiteral("1")),
                 QStringList({stored.isEmpty() ? QStringLiteral("7") : stored}));
    }

    void everyParameterIsChecked() {
        addSongs(1);
        // Two parameters missing; then Long values, the last one would wrap to 1.
        write({QStringLiteral("22|Best"), QStringLiteral("22|A|1|1.5"),
               QStringLiteral("33|2147483648|曲名"), QStringLiteral("54|1.5"),
               QStringLiteral("51|4294967297|1")},
              false);
        QCOMPARE(column(10, QStringLiteral("ID"), QStringLiteral("4294967297")),
                 QStringList({QStringLiteral("<failed>")}));
        QCOMPARE(boxes_->boxes().size(), 6);
        QCOMPARE(column(11, QStringLiteral("アルバム名")) + column(16, QStringLiteral("ID")),
                 QStringList({QStringLiteral("1")}));
    }

    // --- settings and display items ---

    // The settings written in pairs: the sort, the compact window's place.
    void pairedSettingsAreWrittenTogether() {
        write({QStringLiteral("53|昇順|3"), QStringLiteral("56|120|-40")});
        QVERIFY(!db_->adoSetData(Write::SortSettings,
                                 {QStringLiteral("降順"), QStringLiteral("first")}));
        QStringList settings;
        for (int kind : {4, 14}) {
            Recordset rs;
            QVERIFY(db_->adoGetData(kind, rs));
            for (; !rs.Eof(); rs.MoveNext())
                settings << rs.text(QStringLiteral("設定情報")) + QStringLiteral("=") +
                                rs.text(QStringLiteral("設定値"));
        }
        settings.sort();
        QCOMPARE(settings,
                 QStringList({QStringLiteral("コンパクト画面Left=120"),
                              QStringLiteral("コンパクト画面Top=-40"),
                              QStringLiteral("コンパクト画面フォント色=0"),
                              QStringLiteral("コンパクト画面背景画像パス=未指定"),
                              QStringLiteral("コンパクト画面背景色=16777215"),
                              QStringLiteral("ソート列=3"), QStringLiteral("ソート種別=昇順")}));
    }

    void displayItemsKeepTheirWidths() {
        QVERIFY(db_->adoSetData(Write::ResetDisplayItems, {}));
        QCOMPARE(column(1, QStringLiteral("列名")) + column(8, QStringLiteral("列名")) +
                     column(9, QStringLiteral("列名")),
                 QStringList());
        QVERIFY(db_->adoSetData(Write::ShowColumn, {QStringLiteral("1"), QStringLiteral("曲名")}));
        QCOMPARE(column(1, QStringLiteral("幅")), QStringList({QStringLiteral("3600")}));
        QVERIFY(db_->adoSetData(
            Write::ColumnWidth,
            {QStringLiteral("1234.5"), QStringLiteral("曲名")})); // single precision, not Long
        QCOMPARE(column(1, QStringLiteral("幅")), QStringList({QStringLiteral("1234.5")}));
    }

    void recordsetCursorStaysInsideRows() {
        addSongs(3);
        Recordset rs;
        QVERIFY(db_->adoGetData(Read::FilePaths, rs));
        QVERIFY(rs.RecordCount() == 3 && !rs.Bof());
        rs.Move(2);
        QCOMPARE(rs.text(QStringLiteral("ID")), QStringLiteral("3"));
        rs.Move(-10);
        QCOMPARE(rs.text(QStringLiteral("id")), QStringLiteral("1")); // names ignore case
        rs.Move(10);
        QVERIFY(rs.Eof() && !rs.Field(QStringLiteral("ID")).isValid());
        rs.MoveNext();
        QVERIFY(rs.Eof());
        rs.MoveFirst();
        QCOMPARE(rs.text(QStringLiteral("ID")), QStringLiteral("1"));
        QVERIFY(!rs.Field(QStringLiteral("nosuchcolumn")).isValid());

        Recordset empty;
        QVERIFY(db_->adoGetData(Read::Albums, empty));
        QVERIFY(empty.RecordCount() == 0 && empty.Eof() && empty.Bof());
        QCOMPARE(Recordset().RecordCount(), -1);
    }

private:
    std::optional<QTemporaryDir> dir_;
    std::optional<ScriptedPresenter> boxes_;
    std::optional<ADO_Connector> db_;
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
