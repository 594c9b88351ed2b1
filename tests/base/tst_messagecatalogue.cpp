#include "base/messagecatalogue.h"
#include "scriptedpresenter.h"

#include <QTest>

class TestMessageCatalogue : public QObject {
    Q_OBJECT

private slots:
    void textOfEveryEntry_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("0")
            << 0
            << QString::fromUtf16(
                   u"システムの初期化に失敗しました。アプリケーションを終了します。");
        QTest::newRow("1") << 1 << QString::fromUtf16(u"画面の初期化に失敗しました");
        QTest::newRow("2") << 2 << QString::fromUtf16(u"選択中のアルバムを削除します。");
        QTest::newRow("3") << 3 << QString::fromUtf16(u"選択中の曲は既に追加されています");
        QTest::newRow("4") << 4 << QString::fromUtf16(u"アルバム名称を入力して下さい");
        QTest::newRow("5") << 5 << QString::fromUtf16(u"曲をアルバムリストに追加して下さい");
        QTest::newRow("6") << 6 << QString::fromUtf16(u"アルバムの作成に失敗しました");
        QTest::newRow("7") << 7 << QString::fromUtf16(u"同じ名前のアルバムが既に存在します");
        QTest::newRow("8") << 8
                           << QString::fromUtf16(
                                  u"選択された１つ以上のファイルが既にリストに追加されています。\r"
                                  u"\n追加されていないファイルのみをリストに追加します。");
        QTest::newRow("9") << 9
                           << QString::fromUtf16(
                                  u"Melodaraを更新しました。\r\n設定は再起動後に反映されます。");
        QTest::newRow("10") << 10 << QString::fromUtf16(u"選択中のセットリストを削除します");
        QTest::newRow("11") << 11 << QString::fromUtf16(u"選曲条件を設定して下さい");
        QTest::newRow("12") << 12 << QString::fromUtf16(u"セットリスト名称を入力して下さい");
        QTest::newRow("13") << 13 << QString::fromUtf16(u"同じ名前のセットリストが既に存在します");
        QTest::newRow("14") << 14 << QString::fromUtf16(u"セットリストの作成に失敗しました");
        QTest::newRow("15") << 15 << QString::fromUtf16(u"表示設定の更新に失敗しました");
        QTest::newRow("16") << 16 << QString::fromUtf16(u"カテゴリの更新に失敗しました");
        QTest::newRow("17") << 17 << QString::fromUtf16(u"曲の再生に失敗しました");
        QTest::newRow("18") << 18 << QString::fromUtf16(u"「ALL」セットリストは削除できません");
        QTest::newRow("19") << 19 << QString::fromUtf16(u"ジャンルの指定は最大３つまで可能です");
        QTest::newRow("20") << 20 << QString::fromUtf16(u"「ALL」セットリストは編集できません");
        QTest::newRow("21") << 21 << QString::fromUtf16(u"選択中の曲をデータベースから削除します");
        QTest::newRow("22") << 22 << QString::fromUtf16(u"ファイル名を設定して下さい");
        QTest::newRow("23") << 23
                            << QString::fromUtf16(
                                   u"現在のセットリストをm3uファイルとして書き出します");
        QTest::newRow("24") << 24 << QString::fromUtf16(u"m3uファイル書き出しに失敗しました");
        QTest::newRow("25") << 25 << QString::fromUtf16(u"リストの最後まで検索しました");
        QTest::newRow("26") << 26
                            << QString::fromUtf16(
                                   u"現在のセットリスト内のファイルをフォルダに書き出します");
        QTest::newRow("27") << 27 << QString::fromUtf16(u"ジャンルは最低１つ以上設定して下さい");
        QTest::newRow("28") << 28
                            << QString::fromUtf16(u"アーティスト名は最低１つ以上設定して下さい");
    }

    void textOfEveryEntry() {
        QFETCH(int, number);
        QFETCH(QString, text);
        ScriptedPresenter boxes;
        QString title;
        ShowMessage(number, 0, title);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, text);
        QCOMPARE(MessageText(number), text);
    }

    void catalogueHoldsTwentyNineEntries() {
        QCOMPARE(kMessageCount, 29);
        QVERIFY(!MessageText(28).isEmpty());
        QVERIFY(MessageText(29).isEmpty());
    }

    void twoSentenceEntriesShowTwoLines_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("8")
            << 8
            << QString::fromUtf16(u"選択された１つ以上のファイルが既にリストに追加されています。")
            << QString::fromUtf16(u"追加されていないファイルのみをリストに追加します。");
        QTest::newRow("9") << 9 << QString::fromUtf16(u"Melodaraを更新しました。")
                           << QString::fromUtf16(u"設定は再起動後に反映されます。");
    }

    void twoSentenceEntriesShowTwoLines() {
        QFETCH(int, number);
        QFETCH(QString, first);
        QFETCH(QString, second);
        const QString text = MessageText(number);
        QCOMPARE(text.count(QStringLiteral("\r\n")), 1);
        QCOMPARE(text.count(QLatin1Char('\n')), 1);
        QCOMPARE(text.split(QStringLiteral("\r\n")), QStringList({first, second}));
    }

    void emptyTitleGetsDefaultWrittenBack() {
        ScriptedPresenter boxes;
        boxes.answer(msgbox::Cancel);
        QString title;
        const int result = ShowMessage(21, 1, title);
        QCOMPARE(result, 2);
        QCOMPARE(title, QStringLiteral("Melodara Player"));
        const ScriptedPresenter::Box& box = boxes.boxes().front();
        QCOMPARE(box.title, QStringLiteral("Melodara Player"));
        QCOMPARE(box.style, 1);
        QCOMPARE(box.text, MessageText(21));
    }

    void givenTitleIsKept() {
        ScriptedPresenter boxes;
        QString title = QStringLiteral("Library");
        QCOMPARE(ShowMessage(3, 0, title), 1);
        QCOMPARE(title, QStringLiteral("Library"));
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("Library"));
        QCOMPARE(boxes.boxes().front().style, 0);
    }

    void answerIsReturnedUnchanged_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << int(msgbox::Ok);
        QTest::newRow("cancel") << int(msgbox::Cancel);
    }

    void answerIsReturnedUnchanged() {
        QFETCH(int, answer);
        ScriptedPresenter boxes;
        boxes.answer(answer);
        QCOMPARE(ShowMessage(10, 1), answer);
    }

    void unknownNumberShowsEmptyBox_data() {
        QTest::addColumn<int>("number");
        QTest::newRow("29") << 29;
        QTest::newRow("-1") << -1;
        QTest::newRow("1000") << 1000;
    }

    void unknownNumberShowsEmptyBox() {
        QFETCH(int, number);
        ScriptedPresenter boxes;
        QCOMPARE(ShowMessage(number, 0), 1);
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(boxes.boxes().front().text.isEmpty());
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("Melodara Player"));
    }

    void withoutPresenterBoxesAreAnsweredOk() {
        msgbox::setPresenter(nullptr);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("message box")));
        QCOMPARE(ShowMessage(17, 0), 1);
    }
};

QTEST_GUILESS_MAIN(TestMessageCatalogue)
#include "tst_messagecatalogue.moc"
