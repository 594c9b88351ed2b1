// The genre and artist edit without its windows: what the boxes mean, and
// what the edit does to a real library database, all or nothing.

#include "library/nameedit.h"
#include "namestate.h"
#include "scriptedpresenter.h"
#include "templibrary.h"

#include <QTest>

using namespace library;
using namespace namestate;

namespace {

// Answers re-link questions with a fixed position, noting each question.
struct Answers {
    explicit Answers(int answer = 0) : position(answer) {}
    int position;
    QStringList asked;
    QStringList offered;

    NameListEdit::AskTarget ask() {
        return [this](const QString& removed, const QStringList& names) {
            asked << removed;
            offered << names.join(u'|');
            return position;
        };
    }
};

// Genres rock 2, pop 3, soul 4; artists Alice 2, Bob 3; four songs.
void fill(TempLibrary& lib) {
    const int rock = lib.addGenre("rock");
    const int pop = lib.addGenre("pop");
    const int soul = lib.addGenre("soul");
    const int alice = lib.addArtist("Alice");
    const int bob = lib.addArtist("Bob");
    TempLibrary::Fields f;
    f.genres[0] = rock, f.genres[1] = pop, f.genres[2] = soul, f.artist = alice;
    lib.addSong("one", f);
    f.genres[0] = pop, f.genres[1] = 1, f.genres[2] = 1, f.artist = bob;
    lib.addSong("two", f);
    f.genres[0] = soul, f.genres[1] = pop, f.genres[2] = rock, f.artist = 1;
    lib.addSong("three", f);
    lib.addSong("four");
}

NameListEdit loaded(NameKind kind) {
    NameListEdit edit(kind);
    edit.load();
    return edit;
}

int rowsNamed(TempLibrary& lib, int lookupKind, const QString& name) {
    Recordset rs;
    lib.db().adoGetData(lookupKind, rs, name);
    return rs.RecordCount();
}

// A trigger that makes the engine refuse `event` ("DELETE ON table"),
// undoing the one statement (ABORT) or the whole transaction (ROLLBACK).
QString failTrigger(const QString& event, const QString& name = QStringLiteral("T_Fail"),
                    const QString& raise = QStringLiteral("ABORT")) {
    return QStringLiteral("CREATE TRIGGER %1 BEFORE %2 BEGIN SELECT RAISE(%3, 'refused'); END")
        .arg(name, event, raise);
}

} // namespace

class TestNameEdit : public QObject {
    Q_OBJECT

private slots:
    void plan_data() {
        QTest::addColumn<QStringList>("oldNames");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("renames");
        QTest::addColumn<QString>("removed");
        using L = QStringList;
        QTest::newRow("unchanged") << L{"rock", "pop"} << L{"rock", "pop", ""} << "rock|pop"
                                   << ""
                                   << "";
        QTest::newRow("trimmed") << L{"rock"} << L{"  rock ", " "} << "rock"
                                 << ""
                                 << "";
        QTest::newRow("swapped") << L{"rock", "pop"} << L{"pop", "rock"} << "pop|rock"
                                 << ""
                                 << "";
        QTest::newRow("changed") << L{"rock", "pop"} << L{"rock", "jazz"} << "rock|jazz"
                                 << ">jazz"
                                 << "pop";
        QTest::newRow("cleared") << L{"rock", "pop", "soul"} << L{"rock", "", "soul"} << "rock|soul"
                                 << ""
                                 << "pop";
        QTest::newRow("gaps") << L{"a", "b", "c", "d"} << L{"a", "", "", "d"} << "a|d"
                              << ""
                              << "b;c";
        QTest::newRow("case only") << L{"rock", "pop"} << L{"Rock", "pop"} << "Rock|pop"
                                   << "rock>Rock"
                                   << "";
        QTest::newRow("full-width case") << L{"ｒｏｃｋ"} << L{"ＲＯＣＫ"} << "ＲＯＣＫ"
                                         << "ｒｏｃｋ>ＲＯＣＫ"
                                         << "";
        QTest::newRow("width only") << L{"ﾛｯｸ"} << L{"ロック"} << "ロック"
                                    << "ﾛｯｸ>ロック"
                                    << "";
        QTest::newRow("typed twice") << L{} << L{"jazz", "", "jazz"} << "jazz"
                                     << ">jazz"
                                     << "";
        QTest::newRow("typed twice, other case") << L{} << L{"Jazz", "JAZZ", "jazz "} << "Jazz"
                                                 << ">Jazz"
                                                 << "";
        QTest::newRow("kept beside a variant") << L{"rock"} << L{"ROCK", "rock"} << "rock"
                                               << ""
                                               << "";
        QTest::newRow("respelled beside a removal") << L{"rock", "pop"} << L{"", "Pop"} << "Pop"
                                                    << "pop>Pop"
                                                    << "rock";
        QTest::newRow("variants already stored") << L{"rock", "Rock"} << L{"rock", "Rock"} << "rock"
                                                 << "rock+Rock>rock"
                                                 << "";
        QTest::newRow("every box empty") << L{"rock"} << L{"", " "} << ""
                                         << ""
                                         << "rock";
    }

    void plan() {
        QFETCH(QStringList, oldNames);
        QFETCH(QStringList, boxes);
        const NameEditPlan p = NameListEdit::plan(oldNames, boxes);
        QStringList renames;
        for (const NameEditPlan::Rename& r : p.renames)
            renames << r.from.join(u'+') + u'>' + r.name;
        QStringList removed;
        for (const QStringList& r : p.removed)
            removed << r.join(u'+');
        QTEST(p.names.join(u'|'), "names");
        QTEST(renames.join(u';'), "renames");
        QTEST(removed.join(u';'), "removed");
    }

    void loadShowsTheFirstNamesWithoutNone() {
        TempLibrary lib;
        NameListEdit genres(NameKind::Genre);
        QVERIFY(genres.load());
        QVERIFY(!genres.loaded()); // only "指定無し"
        for (int i = 1; i <= 11; ++i)
            lib.addGenre(QStringLiteral("g%1").arg(i, 2, 10, QLatin1Char('0')));
        for (int i = 1; i <= 31; ++i)
            lib.addArtist(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0')));
        QVERIFY(genres.load());
        QVERIFY(genres.loaded());
        QCOMPARE(genres.oldNames().size(), 10);
        QCOMPARE(genres.oldNames().first(), QStringLiteral("g01"));
        QCOMPARE(genres.oldNames().last(), QStringLiteral("g10"));
        const NameListEdit artists = loaded(NameKind::Artist);
        QCOMPARE(artists.oldNames().size(), 30);
        QCOMPARE(artists.oldNames().first(), QStringLiteral("a01"));
        QCOMPARE(artists.oldNames().last(), QStringLiteral("a30"));
    }

    void changedNameMovesSongsToTheNewName() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        fill(lib);
        const QStringList before = snapshot(lib);
        NameListEdit edit = loaded(NameKind::Genre);
        QCOMPARE(edit.oldNames(), QStringList({"rock", "pop", "soul"}));
        bool untouchedWhenAsked = false;
        const auto ask = [&](const QString& removed, const QStringList& names) {
            untouchedWhenAsked = snapshot(lib) == before && removed == "pop" &&
                                 names == QStringList({"rock", "jazz", "soul"});
            return 1;
        };
        QVERIFY(edit.update({"rock", "jazz", "soul"}, ask));
        QVERIFY(untouchedWhenAsked);
        QCOMPARE(genres(lib), QStringLiteral("指定無し|rock|soul|jazz"));
        QCOMPARE(genreRows(lib, 2), genreRows(lib, 1));
        QCOMPARE(genreRows(lib, 3), genreRows(lib, 1));
        QCOMPARE(songNames(lib, 1), QStringLiteral("rock/jazz/soul by Alice"));
        QCOMPARE(songNames(lib, 2), QStringLiteral("jazz/指定無し/指定無し by Bob"));
        QCOMPARE(songNames(lib, 3), QStringLiteral("soul/jazz/rock by 指定無し"));
        QCOMPARE(orphans(lib), 0);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void eleventhGenreIsLeftAlone() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        QStringList names;
        for (int i = 1; i <= 11; ++i)
            names << QStringLiteral("g%1").arg(i, 2, 10, QLatin1Char('0'));
        for (const QString& name : names)
            lib.addGenre(name);
        TempLibrary::Fields f;
        f.genres[0] = 2; // g01
        lib.addSong("first", f);
        f.genres[0] = 12; // g11
        lib.addSong("eleventh", f);
        NameListEdit edit = loaded(NameKind::Genre);
        QStringList boxes10 = names.mid(0, 10);
        boxes10[0].clear();
        Answers answers{0};
        QVERIFY(edit.update(boxes10, answers.ask()));
        QCOMPARE(answers.asked, QStringList({"g01"}));
        QCOMPARE(songNames(lib, 1), QStringLiteral("g02/指定無し/指定無し by 指定無し"));
        QCOMPARE(songNames(lib, 2), QStringLiteral("g11/指定無し/指定無し by 指定無し"));
        QCOMPARE(genreRows(lib, 1).last(), QStringLiteral("12:g11"));
        QCOMPARE(genreRows(lib, 1).size(), 11);
    }

    void okWithoutChangeWritesNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("genres") << int(NameKind::Genre)
                                << QStringList{" rock", "pop ", "soul", "", "ROCK"};
        QTest::newRow("artists") << int(NameKind::Artist) << QStringList{"Alice", "Bob", "bob"};
    }

    void okWithoutChangeWritesNothing() {
        QFETCH(int, kind);
        QFETCH(QStringList, boxes);
        TempLibrary lib;
        ScriptedPresenter shown;
        fill(lib);
        const QStringList before = snapshot(lib);
        // Any write at all would now fail.
        int n = 0;
        for (const char* event :
             {"INSERT ON TM_ジャンル_1", "DELETE ON TM_ジャンル_1", "INSERT ON TM_アーティスト",
              "DELETE ON TM_アーティスト", "UPDATE ON TM_曲情報"})
            QVERIFY(execOwn(lib, failTrigger(event, QStringLiteral("T_Fail%1").arg(++n))));
        Answers answers;
        NameListEdit edit = loaded(NameKind(kind));
        QVERIFY(edit.update(boxes, answers.ask()));
        QVERIFY(answers.asked.isEmpty());
        QVERIFY(shown.boxes().isEmpty());
        QCOMPARE(snapshot(lib), before);
    }

    void caseOnlyChangeIsARename() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        fill(lib);
        Answers answers;
        NameListEdit genres = loaded(NameKind::Genre);
        QVERIFY(genres.update({"Rock", "pop", "soul"}, answers.ask()));
        NameListEdit artists = loaded(NameKind::Artist);
        QVERIFY(artists.update({"ALICE", "Bob"}, answers.ask()));
        QVERIFY(answers.asked.isEmpty());
        QCOMPARE(namestate::genres(lib), QStringLiteral("指定無し|pop|soul|Rock"));
        QCOMPARE(genreRows(lib, 3), genreRows(lib, 1));
        QCOMPARE(namestate::artists(lib), QStringLiteral("指定無し|Bob|ALICE"));
        QCOMPARE(rowsNamed(lib, 20, "rock"), 1);
        QCOMPARE(rowsNamed(lib, 19, "alice"), 1);
        QCOMPARE(songNames(lib, 1), QStringLiteral("Rock/pop/soul by ALICE"));
        QCOMPARE(songNames(lib, 3), QStringLiteral("soul/pop/Rock by 指定無し"));
        QCOMPARE(orphans(lib), 0);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void namesAreStoredOnce() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        fill(lib);
        Answers answers{3}; // "指定無し", typed into a box
        NameListEdit edit = loaded(NameKind::Genre);
        QVERIFY(
            edit.update({"rock", "", "soul", "jazz", "JAZZ", " jazz", "指定無し"}, answers.ask()));
        QCOMPARE(answers.offered, QStringList({"rock|soul|jazz|指定無し"}));
        QCOMPARE(genres(lib), QStringLiteral("指定無し|rock|soul|jazz"));
        QCOMPARE(genreRows(lib, 2), genreRows(lib, 1));
        QCOMPARE(songNames(lib, 2), QStringLiteral("指定無し/指定無し/指定無し by Bob"));
        QCOMPARE(songNames(lib, 1), QStringLiteral("rock/指定無し/soul by Alice"));
        QCOMPARE(orphans(lib), 0);
    }

    void artistsRenamedAndRemovedTogether() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        fill(lib);
        const int carol = lib.addArtist("Carol");
        TempLibrary::Fields f;
        f.artist = carol;
        lib.addSong("five", f);
        QStringList asked;
        const auto ask = [&](const QString& removed, const QStringList& names) {
            asked << removed + u'>' + names.join(u'|');
            return removed == "Bob" ? 1 : 0;
        };
        NameListEdit edit = loaded(NameKind::Artist);
        QVERIFY(edit.update({"alice", "", "", "Dave"}, ask));
        QCOMPARE(asked, QStringList({"Bob>alice|Dave", "Carol>alice|Dave"}));
        QCOMPARE(artists(lib), QStringLiteral("指定無し|alice|Dave"));
        QCOMPARE(songNames(lib, 1), QStringLiteral("rock/pop/soul by alice"));
        QCOMPARE(songNames(lib, 2), QStringLiteral("pop/指定無し/指定無し by Dave"));
        QCOMPARE(songNames(lib, 5), QStringLiteral("指定無し/指定無し/指定無し by alice"));
        QCOMPARE(orphans(lib), 0);
    }

    void everyBoxEmptyIsRefused_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("genres") << int(NameKind::Genre) << "ジャンルは最低１つ以上設定して下さい";
        QTest::newRow("artists") << int(NameKind::Artist)
                                 << "アーティスト名は最低１つ以上設定して下さい";
    }

    void everyBoxEmptyIsRefused() {
        QFETCH(int, kind);
        TempLibrary lib;
        ScriptedPresenter boxes;
        fill(lib);
        const QStringList before = snapshot(lib);
        Answers answers;
        NameListEdit edit = loaded(NameKind(kind));
        QVERIFY(!edit.update({"", "  ", "\t"}, answers.ask()));
        QCOMPARE(boxes.boxes().size(), 1);
        QTEST(boxes.boxes().first().text, "message");
        QCOMPARE(boxes.boxes().first().title, QStringLiteral("Melodara Player"));
        QVERIFY(answers.asked.isEmpty());
        QCOMPARE(snapshot(lib), before);
    }

    void failingWriteChangesNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("raise");
        QTest::addColumn<QStringList>("boxes");
        // A new name is written first, so each failure comes after a write.
        const QStringList genres{"jazz", "Rock", "soul"};
        const QString abort = QStringLiteral("ABORT");
        QTest::newRow("genre insert")
            << int(NameKind::Genre) << "INSERT ON TM_ジャンル_2" << abort << genres;
        QTest::newRow("genre delete")
            << int(NameKind::Genre) << "DELETE ON TM_ジャンル_3" << abort << genres;
        QTest::newRow("genre re-link")
            << int(NameKind::Genre) << "UPDATE ON TM_曲情報" << abort << genres;
        QTest::newRow("genre re-link ending the transaction")
            << int(NameKind::Genre) << "UPDATE ON TM_曲情報"
            << "ROLLBACK" << genres;
        QTest::newRow("artist delete") << int(NameKind::Artist) << "DELETE ON TM_アーティスト"
                                       << abort << QStringList{"Carl", "alice"};
    }

    void failingWriteChangesNothing() {
        QFETCH(int, kind);
        QFETCH(QString, failing);
        QFETCH(QString, raise);
        QFETCH(QStringList, boxes);
        TempLibrary lib;
        ScriptedPresenter shown;
        fill(lib);
        const QStringList before = snapshot(lib);
        QVERIFY(execOwn(lib, failTrigger(failing, QStringLiteral("T_Fail"), raise)));
        Answers answers;
        NameListEdit edit = loaded(NameKind(kind));
        QVERIFY(!edit.update(boxes, answers.ask()));
        QCOMPARE(answers.asked.size(), 1);
        QCOMPARE(snapshot(lib), before);
        QCOMPARE(shown.boxes().size(), 2);
        QCOMPARE(shown.boxes().first().title, QStringLiteral("DBError"));
        QVERIFY(shown.boxes().first().text.contains("refused"));
        QCOMPARE(shown.boxes().last().text, QStringLiteral("カテゴリの更新に失敗しました"));
        // Once the engine lets it, the same edit goes through.
        QVERIFY(execOwn(lib, "DROP TRIGGER T_Fail"));
        QVERIFY(edit.update(boxes, answers.ask()));
        QVERIFY(snapshot(lib) != before);
        QCOMPARE(orphans(lib), 0);
    }
};

QTEST_GUILESS_MAIN(TestNameEdit)
#include "tst_nameedit.moc"
