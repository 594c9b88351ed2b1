// The genre and artist edit against a real library database: what the
// boxes mean, what the edit does to the database, all or nothing, the
// editors and their re-link dialogs driven headless, and the main window
// showing the edited names.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "library/nameedit.h"
#include "library/nameeditdialog.h"
#include "library/namereldialog.h"
#include "librarytest.h"
#include "setlists/setlistsave.h"
#include "songlist/songlistview.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

using namespace library;
using namespace librarytest;

namespace {

// A trigger that makes the engine refuse `event` ("DELETE ON table"),
// undoing the one statement (ABORT) or the whole transaction (ROLLBACK).
QString failTrigger(const QString& event, const QString& name, const QString& raise) {
    return QStringLiteral("CREATE TRIGGER %1 BEFORE %2 BEGIN SELECT RAISE(%3, 'refused'); END")
        .arg(name, event, raise);
}

} // namespace

class TestNameEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<TempLibrary> lib_;
    ScriptedPresenter presenter_;
    QStringList before_; // the snapshot after init
    QStringList asked_;  // "removed>offered|names" of each question

    // Answers the re-link questions with these positions in turn.
    NameListEdit::AskTarget answer(const QList<int>& positions = {}) {
        return [this, positions](const QString& removed, const QStringList& names) {
            asked_ << removed + u'>' + names.join(u'|');
            return positions.value(asked_.size() - 1);
        };
    }
    static std::unique_ptr<NameEditDialog> editorOf(bool genre) {
        if (genre)
            return std::make_unique<frmJanlEdit>();
        return std::make_unique<frmArtistEdit>();
    }
    QStringList songs() {
        QStringList out;
        for (int id = 1; id <= 5; ++id)
            out << songNames(*lib_, id);
        return out;
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    // Genres rock 2, pop 3, soul 4; artists Alice 2, Bob 3, Carol 4; songs
    // one to four, and five by Carol.
    void init() {
        presenter_.clear();
        asked_.clear();
        lib_ = std::make_unique<TempLibrary>();
        for (const char* name : {"rock", "pop", "soul"})
            lib_->addGenre(QString::fromUtf8(name));
        for (const char* name : {"Alice", "Bob", "Carol"})
            lib_->addArtist(QString::fromUtf8(name));
        const auto add = [this](const char* title, int g1, int g2, int g3, int artist) {
            TempLibrary::Fields f;
            f.genres[0] = g1, f.genres[1] = g2, f.genres[2] = g3, f.artist = artist;
            lib_->addSong(QString::fromUtf8(title), f);
        };
        add("one", 2, 3, 4, 2);
        add("two", 3, 1, 1, 3);
        add("three", 4, 3, 2, 1);
        add("four", 1, 1, 1, 1);
        add("five", 1, 1, 1, 4);
        before_ = snapshot(*lib_);
    }
    void cleanup() {
        setModalHandler({});
        lib_.reset();
    }

    // The plan as "names; renames; removed".
    void plan_data() {
        QTest::addColumn<QStringList>("oldNames");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("plan");
        QTest::newRow("unchanged")
            << L{QStringLiteral("rock"), QStringLiteral("pop")}
            << L{QStringLiteral("rock"), QStringLiteral("pop"), QStringLiteral("")}
            << "rock|pop; ; ";
        QTest::newRow("swapped") << L{QStringLiteral("rock"), QStringLiteral("pop")}
                                 << L{QStringLiteral("pop"), QStringLiteral("rock")}
                                 << "pop|rock; ; ";
        QTest::newRow("changed") << L{QStringLiteral("rock"), QStringLiteral("pop")}
                                 << L{QStringLiteral("rock"), QStringLiteral("jazz")}
                                 << "rock|jazz; >jazz; pop";
        QTest::newRow("cleared") << L{QStringLiteral("rock"), QStringLiteral("pop"),
                                      QStringLiteral("soul")}
                                 << L{QStringLiteral("rock"), QStringLiteral(""),
                                      QStringLiteral("soul")}
                                 << "rock|soul; ; pop";
        QTest::newRow("gaps") << L{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                   QStringLiteral("d")}
                              << L{QStringLiteral("a"), QStringLiteral(""), QStringLiteral(""),
                                   QStringLiteral("d")}
                              << "a|d; ; b;c";
        QTest::newRow("case only")
            << L{QStringLiteral("rock"), QStringLiteral("pop")}
            << L{QStringLiteral("Rock"), QStringLiteral("pop")} << "Rock|pop; rock>Rock; ";
        QTest::newRow("full-width case")
            << L{QStringLiteral("ｒｏｃｋ")} << L{QStringLiteral("ＲＯＣＫ")}
            << "ＲＯＣＫ; ｒｏｃｋ>ＲＯＣＫ; ";
        QTest::newRow("width only")
            << L{QStringLiteral("ﾛｯｸ")} << L{QStringLiteral("ロック")} << "ロック; ﾛｯｸ>ロック; ";
        QTest::newRow("typed twice")
            << L{} << L{QStringLiteral("jazz"), QStringLiteral(""), QStringLiteral("jazz")}
            << "jazz; >jazz; ";
        QTest::newRow("typed twice, other case")
            << L{} << L{QStringLiteral("Jazz"), QStringLiteral("JAZZ"), QStringLiteral("jazz ")}
            << "Jazz; >Jazz; ";
        QTest::newRow("kept beside a variant")
            << L{QStringLiteral("rock")} << L{QStringLiteral("ROCK"), QStringLiteral("rock")}
            << "rock; ; ";
        QTest::newRow("respelled beside a removal")
            << L{QStringLiteral("rock"), QStringLiteral("pop")}
            << L{QStringLiteral(""), QStringLiteral("Pop")} << "Pop; pop>Pop; rock";
        QTest::newRow("variants already stored")
            << L{QStringLiteral("rock"), QStringLiteral("Rock")}
            << L{QStringLiteral("rock"), QStringLiteral("Rock")} << "rock; rock+Rock>rock; ";
        QTest::newRow("every box empty")
            << L{QStringLiteral("rock")} << L{QStringLiteral(""), QStringLiteral(" ")}
            << "; ; rock";
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
        QTEST(L({p.names.join(u'|'), renames.join(u';'), removed.join(u';')})
                  .join(QStringLiteral("; ")),
              "plan");
    }

    // OK without a change writes nothing (any write would fail here);
    // every box empty is refused with the kind's message.
    void writesNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("genres unchanged")
            << int(NameKind::Genre)
            << L{QStringLiteral(" rock"), QStringLiteral("pop "), QStringLiteral("soul"),
                 QStringLiteral(""), QStringLiteral("ROCK")}
            << L{};
        QTest::newRow("artists unchanged") << int(NameKind::Artist)
                                           << L{QStringLiteral("Alice"), QStringLiteral("Bob"),
                                                QStringLiteral("bob"), QStringLiteral("Carol")}
                                           << L{};
        QTest::newRow("genres empty")
            << int(NameKind::Genre)
            << L{QStringLiteral(""), QStringLiteral("  "), QStringLiteral("\t")}
            << L{QStringLiteral("Melodara Player|ジャンルは最低１つ以上設定して下さい")};
        QTest::newRow("artists empty")
            << int(NameKind::Artist)
            << L{QStringLiteral(""), QStringLiteral("  "), QStringLiteral("\t")}
            << L{QStringLiteral("Melodara Player|アーティスト名は最低１つ以上設定して下さい")};
    }
    void writesNothing() {
        QFETCH(int, kind);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, shown);
        int n = 0;
        for (const char* event :
             {"INSERT ON TM_ジャンル_1", "DELETE ON TM_ジャンル_1", "INSERT ON TM_アーティスト",
              "DELETE ON TM_アーティスト", "UPDATE ON TM_曲情報"})
            QCOMPARE(rows(*lib_,
                          failTrigger(QString::fromUtf8(event), QStringLiteral("T_Fail%1").arg(++n),
                                      QStringLiteral("ABORT"))),
                     L());
        NameListEdit edit{NameKind(kind)};
        QVERIFY(edit.load());
        QCOMPARE(edit.update(boxes, answer()), shown.isEmpty());
        QVERIFY(asked_.isEmpty());
        QCOMPARE(librarytest::shown(presenter_), shown);
        QCOMPARE(snapshot(*lib_), before_);
    }

    // A new name is written first, so each failure comes after a write.
    void failingWriteChangesNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("rollback");
        QTest::addColumn<QStringList>("boxes");
        const int genre = int(NameKind::Genre);
        const L genres{QStringLiteral("jazz"), QStringLiteral("Rock"), QStringLiteral("soul")};
        QTest::newRow("genre insert") << genre << "INSERT ON TM_ジャンル_2" << false << genres;
        QTest::newRow("genre delete") << genre << "DELETE ON TM_ジャンル_3" << false << genres;
        QTest::newRow("genre re-link") << genre << "UPDATE ON TM_曲情報" << false << genres;
        QTest::newRow("genre re-link ending the transaction")
            << genre << "UPDATE ON TM_曲情報" << true << genres;
        QTest::newRow("artist delete")
            << int(NameKind::Artist) << "DELETE ON TM_アーティスト" << false
            << L{QStringLiteral("Carl"), QStringLiteral("alice"), QStringLiteral("Carol")};
    }
    void failingWriteChangesNothing() {
        QFETCH(int, kind);
        QFETCH(QString, failing);
        QFETCH(bool, rollback);
        QFETCH(QStringList, boxes);
        QCOMPARE(rows(*lib_,
                      failTrigger(failing, QStringLiteral("T_Fail"),
                                  rollback ? QStringLiteral("ROLLBACK") : QStringLiteral("ABORT"))),
                 L());
        NameListEdit edit{NameKind(kind)};
        QVERIFY(edit.load());
        QVERIFY(!edit.update(boxes, answer()));
        QCOMPARE(asked_.size(), 1);
        QCOMPARE(snapshot(*lib_), before_);
        QCOMPARE(shown(presenter_),
                 L({QStringLiteral("DBError|refused"),
                    QStringLiteral("Melodara Player|カテゴリの更新に失敗しました")}));
        // Once the engine lets it, the same edit goes through.
        QCOMPARE(rows(*lib_, QStringLiteral("DROP TRIGGER T_Fail")), L());
        QVERIFY(edit.update(boxes, answer()));
        QVERIFY(snapshot(*lib_) != before_);
        QCOMPARE(orphans(*lib_), 0);
    }

    // A set list that names an edited genre or artist names where it went,
    // in the same write, and still selects the same songs.
    void setListsFollowTheirNames_data() {
        QTest::addColumn<bool>("genre");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("namedAfter");
        QTest::addColumn<QStringList>("songIds");
        QTest::newRow("genre respelled")
            << true << "pop"
            << L{QStringLiteral("rock"), QStringLiteral("Pop"), QStringLiteral("soul")} << "Pop"
            << L{QStringLiteral("2")};
        QTest::newRow("genre renamed, re-linked")
            << true << "pop"
            << L{QStringLiteral("rock"), QStringLiteral("jazz"), QStringLiteral("soul")} << "jazz"
            << L{QStringLiteral("2")};
        QTest::newRow("genre removed, re-linked")
            << true << "rock"
            << L{QStringLiteral(""), QStringLiteral("pop"), QStringLiteral("soul")} << "soul"
            << L{QStringLiteral("1"), QStringLiteral("3")};
        QTest::newRow("artist respelled")
            << false << "Bob"
            << L{QStringLiteral("Alice"), QStringLiteral("BOB"), QStringLiteral("Carol")} << "BOB"
            << L{QStringLiteral("2")};
    }
    void setListsFollowTheirNames() {
        QFETCH(bool, genre);
        QFETCH(QString, named);
        QFETCH(QStringList, boxes);
        setlists::Conditions conditions;
        conditions[0].kind = genre ? setlists::Kind::Genre : setlists::Kind::Artist;
        conditions[0].value = named;
        QString error;
        QVERIFY(setlists::saveSetList(QStringLiteral("named"), conditions, error));
        const QString other = genre ? QStringLiteral("soul") : QStringLiteral("Carol");
        conditions[0].value = other;
        QVERIFY(setlists::saveSetList(QStringLiteral("other"), conditions, error));
        NameListEdit edit{genre ? NameKind::Genre : NameKind::Artist};
        QVERIFY(edit.load());
        QVERIFY(edit.update(boxes, answer({1})));
        QTEST(
            rows(*lib_, QStringLiteral(
                            "SELECT Val_1 FROM TM_セットリスト条件 WHERE セットリスト名 = 'named'"))
                .value(0),
            "namedAfter");
        QTEST(rows(*lib_, QStringLiteral("SELECT ID FROM Q_SetList_named ORDER BY ID")), "songIds");
        QCOMPARE(rows(*lib_,
                      QStringLiteral(
                          "SELECT Val_1 FROM TM_セットリスト条件 WHERE セットリスト名 = 'other'")),
                 L{other});
        QCOMPARE(rows(*lib_,
                      QStringLiteral("SELECT セットリスト名 FROM TM_セットリスト ORDER BY rowid")),
                 L({QStringLiteral("ALL"), QStringLiteral("named"), QStringLiteral("other")}));
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // --- the windows ---

    // The editor shows every stored name ("指定無し" left out) in its
    // numbered boxes, with empty boxes to a full column of ten after them.
    // Cancel writes nothing; OK refuses every box empty and stays open.
    // The re-link question offers every standing name.
    void editorShowsEveryName_data() {
        QTest::addColumn<bool>("genre");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("songOne");
        QStringList added;
        for (int i = 1; i <= 31; ++i)
            added << QStringLiteral("n%1").arg(i);
        QTest::newRow("genres") << true
                                << L{QStringLiteral("rock"), QStringLiteral("pop"),
                                     QStringLiteral("soul")} +
                                       added
                                << "pop/pop/soul Alice";
        QTest::newRow("artists") << false
                                 << L{QStringLiteral("Alice"), QStringLiteral("Bob"),
                                      QStringLiteral("Carol")} +
                                        added
                                 << "rock/pop/soul Bob";
    }
    void editorShowsEveryName() {
        QFETCH(bool, genre);
        QFETCH(QStringList, shown);
        for (int i = 1; i <= 31; ++i) {
            lib_->addGenre(QStringLiteral("n%1").arg(i));
            lib_->addArtist(QStringLiteral("n%1").arg(i));
        }
        const QStringList before = snapshot(*lib_);
        const auto editor = editorOf(genre);
        QStringList texts;
        for (QLineEdit* box : editor->boxes())
            texts << box->text();
        QCOMPARE(texts, shown + L(6, QString()));
        QCOMPARE(editor->numbers().last()->text(), QStringLiteral("40:"));
        QCOMPARE(editor->numbers().size(), 40);
        QSignalSpy accepted(editor.get(), &QDialog::accepted);
        for (QLineEdit* box : editor->boxes())
            box->clear();
        editor->cmdOK->click();
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(presenter_.boxes().size(), 1);
        QVERIFY(!editor->Cancel());
        editor->boxes()[0]->setText(QStringLiteral("new"));
        editor->cmdCancel->click();
        QVERIFY(editor->Cancel());
        QCOMPARE(snapshot(*lib_), before);

        QStringList asked;
        setModalHandler([&asked](QDialog& dialog) {
            auto* rel = qobject_cast<NameRelDialog*>(&dialog);
            asked << itemTexts(rel->cboList->model());
            return rel->result();
        });
        const auto edited = editorOf(genre);
        edited->boxes()[0]->clear();
        edited->boxes()[39]->setText(QStringLiteral("last"));
        edited->cmdOK->click();
        QCOMPARE(asked, shown.mid(1) + L{QStringLiteral("last")});
        QCOMPARE(names(*lib_, genre), QStringLiteral("指定無し|") +
                                          (shown.mid(1) + L{QStringLiteral("last")}).join(u'|'));
        QTEST(songs().first(), "songOne");
    }

    // The boxes of the design (ten genres, thirty artists in three columns)
    // stand in view; the rest scroll, numbered on in columns of ten.
    void boxesBeyondTheDesignScroll_data() {
        QTest::addColumn<bool>("genre");
        QTest::addColumn<int>("names");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("places"); // number: row,column of boxes 1, 10, 11, last
        QTest::newRow("genres, few") << true << 3 << 10 << "1:0,1 10:9,1 - 10:9,1";
        QTest::newRow("genres, ten") << true << 10 << 20 << "1:0,1 10:9,1 11:10,1 20:19,1";
        QTest::newRow("artists, few") << false << 3 << 30 << "1:0,1 10:9,1 11:0,3 30:9,5";
        QTest::newRow("artists, many") << false << 75 << 80 << "1:0,1 10:9,1 11:0,3 80:29,3";
    }
    void boxesBeyondTheDesignScroll() {
        QFETCH(bool, genre);
        QFETCH(int, names);
        for (int i = 4; i <= names; ++i)
            genre ? lib_->addGenre(QStringLiteral("g%1").arg(i))
                  : lib_->addArtist(QStringLiteral("a%1").arg(i));
        const auto editor = editorOf(genre);
        QTEST(int(editor->boxes().size()), "boxes");
        auto* grid = qobject_cast<QGridLayout*>(editor->scrBoxes->widget()->layout());
        QVERIFY(grid);
        QStringList places;
        for (int number : {1, 10, 11, int(editor->boxes().size())}) {
            const int index = grid->indexOf(editor->boxes().value(number - 1));
            int row = -1, column = -1, rows = 0, columns = 0;
            if (index >= 0)
                grid->getItemPosition(index, &row, &column, &rows, &columns);
            places << (index < 0 ? QStringLiteral("-")
                                 : QStringLiteral("%1:%2,%3").arg(number).arg(row).arg(column));
        }
        QTEST(places.join(u' '), "places");
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        const bool scrolls = editor->boxes().size() > (genre ? 10 : 30);
        QCOMPARE(editor->scrBoxes->verticalScrollBar()->maximum() > 0, scrolls);
        // Every box of the design in view, and the first of the rest not.
        const QRect view = editor->scrBoxes->viewport()->rect();
        const auto inView = [&](int i) {
            QLineEdit* box = editor->boxes()[i];
            return view.contains(
                QRect(box->mapTo(editor->scrBoxes->viewport(), QPoint()), box->size()));
        };
        QVERIFY(inView(0) && inView(genre ? 9 : 29));
        if (scrolls)
            QVERIFY(!inView(genre ? 10 : 30));
    }

    // An edit in the editor: every re-link question is asked before
    // anything is written (a dialog closed from the title bar keeps the
    // entry offered first), then the songs end on standing names only. A
    // name stored in a second spelling (song four's, in its last box)
    // goes with the first, songs and all.
    void editRelinksTheSongs_data() {
        QTest::addColumn<QString>("variant"); // of pop or Bob; none when empty
        QTest::addColumn<bool>("genre");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QList<int>>("answers"); // -1: closed
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QStringList>("songs"); // songs one to five
        const QString genreQuestion = QStringLiteral("ジャンル%1をどのジャンルと関連付けますか>");
        const QString artistQuestion =
            QStringLiteral("旧アーティスト名称%1をどのアーティストと関連付けますか>");
        QTest::newRow("genres removed")
            << "" << true
            << L{QStringLiteral("rock"), QStringLiteral(""), QStringLiteral("  "),
                 QStringLiteral("jazz")}
            << QList<int>{1, -1}
            << L{genreQuestion.arg(QStringLiteral("pop")) + QStringLiteral("rock|jazz"),
                 genreQuestion.arg(QStringLiteral("soul")) + QStringLiteral("rock|jazz")}
            << "指定無し|rock|jazz"
            << L{QStringLiteral("rock/jazz/rock Alice"), QStringLiteral("jazz/-/- Bob"),
                 QStringLiteral("rock/jazz/rock -"), QStringLiteral("-/-/- -"),
                 QStringLiteral("-/-/- Carol")};
        QTest::newRow("genre case only")
            << "" << true
            << L{QStringLiteral("Rock"), QStringLiteral("pop"), QStringLiteral("soul")}
            << QList<int>{} << L{} << "指定無し|pop|soul|Rock"
            << L{QStringLiteral("Rock/pop/soul Alice"), QStringLiteral("pop/-/- Bob"),
                 QStringLiteral("soul/pop/Rock -"), QStringLiteral("-/-/- -"),
                 QStringLiteral("-/-/- Carol")};
        // "指定無し" typed into a box is the row already there.
        QTest::newRow("names typed twice stored once")
            << "" << true
            << L{QStringLiteral("rock"),    QStringLiteral(""),     QStringLiteral("soul"),
                 QStringLiteral("jazz"),    QStringLiteral("JAZZ"), QStringLiteral(" jazz"),
                 QStringLiteral("指定無し")}
            << QList<int>{3}
            << L{genreQuestion.arg(QStringLiteral("pop")) +
                 QStringLiteral("rock|soul|jazz|指定無し")}
            << "指定無し|rock|soul|jazz"
            << L{QStringLiteral("rock/-/soul Alice"), QStringLiteral("-/-/- Bob"),
                 QStringLiteral("soul/-/rock -"), QStringLiteral("-/-/- -"),
                 QStringLiteral("-/-/- Carol")};
        QTest::newRow("artists respelled and removed")
            << "" << false
            << L{QStringLiteral("alice"), QStringLiteral(""), QStringLiteral(""),
                 QStringLiteral("Dave")}
            << QList<int>{1, -1}
            << L{artistQuestion.arg(QStringLiteral("Bob")) + QStringLiteral("alice|Dave"),
                 artistQuestion.arg(QStringLiteral("Carol")) + QStringLiteral("alice|Dave")}
            << "指定無し|alice|Dave"
            << L{QStringLiteral("rock/pop/soul alice"), QStringLiteral("pop/-/- Dave"),
                 QStringLiteral("soul/pop/rock -"), QStringLiteral("-/-/- -"),
                 QStringLiteral("-/-/- alice")};
        QTest::newRow("genre stored in two spellings removed")
            << "ｐｏｐ" << true
            << L{QStringLiteral("rock"), QStringLiteral(""), QStringLiteral("soul")}
            << QList<int>{0}
            << L{genreQuestion.arg(QStringLiteral("pop")) + QStringLiteral("rock|soul")}
            << "指定無し|rock|soul"
            << L{QStringLiteral("rock/rock/soul Alice"), QStringLiteral("rock/-/- Bob"),
                 QStringLiteral("soul/rock/rock -"), QStringLiteral("rock/-/- -"),
                 QStringLiteral("-/-/- Carol")};
        QTest::newRow("artist stored in two spellings removed")
            << "Ｂｏｂ" << false
            << L{QStringLiteral("Alice"), QStringLiteral(""), QStringLiteral("Carol")}
            << QList<int>{1}
            << L{artistQuestion.arg(QStringLiteral("Bob")) + QStringLiteral("Alice|Carol")}
            << "指定無し|Alice|Carol"
            << L{QStringLiteral("rock/pop/soul Alice"), QStringLiteral("pop/-/- Carol"),
                 QStringLiteral("soul/pop/rock -"), QStringLiteral("-/-/- Carol"),
                 QStringLiteral("-/-/- Carol")};
    }
    void editRelinksTheSongs() {
        QFETCH(QString, variant);
        QFETCH(bool, genre);
        QFETCH(QStringList, boxes);
        QFETCH(QList<int>, answers);
        if (!variant.isEmpty()) {
            const int id = genre ? lib_->addGenre(variant) : lib_->addArtist(variant);
            QCOMPARE(rows(*lib_, QStringLiteral("UPDATE TM_曲情報 SET %1 = %2 WHERE ID = 4")
                                     .arg(genre ? QStringLiteral("ジャンルID1")
                                                : QStringLiteral("アーティストID"))
                                     .arg(id)),
                     L());
            before_ = snapshot(*lib_);
        }
        QStringList asked;
        bool untouchedWhenAsked = true;
        bool plainText = true; // the question shows names as typed, never as markup
        setModalHandler([&](QDialog& dialog) {
            auto* rel = qobject_cast<NameRelDialog*>(&dialog);
            untouchedWhenAsked = untouchedWhenAsked && snapshot(*lib_) == before_;
            plainText = plainText && rel->lblMes->textFormat() == Qt::PlainText;
            asked << rel->lblMes->text() + u'>' + itemTexts(rel->cboList->model()).join(u'|');
            const int answer = answers.value(asked.size() - 1);
            rel->cboList->setCurrentIndex(answer < 0 ? 1 : answer);
            if (answer < 0)
                rel->reject();
            else
                rel->cmdOK->click();
            return rel->result();
        });
        const auto editor = editorOf(genre);
        for (int i = 0; i < editor->boxes().size(); ++i)
            editor->boxes()[i]->setText(boxes.value(i));
        QSignalSpy accepted(editor.get(), &QDialog::accepted);
        editor->cmdOK->click();
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!editor->Cancel());
        QVERIFY(untouchedWhenAsked);
        QVERIFY(plainText);
        QTEST(asked, "asked");
        QTEST(names(*lib_, genre), "names");
        QTEST(songs(), "songs");
        QCOMPARE(genreRows(*lib_, 2), genreRows(*lib_, 1));
        QCOMPARE(genreRows(*lib_, 3), genreRows(*lib_, 1));
        QCOMPARE(orphans(*lib_), 0);
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // After an editor's OK the list is read again: it shows the new names,
    // and a song added behind the window; after Cancel it is not.
    void mainWindowShowsTheNewNames() {
        lib_->showColumns(
            {QStringLiteral("曲名"), QStringLiteral("ｼﾞｬﾝﾙ"), QStringLiteral("ｱｰﾃｨｽﾄ名")});
        lib_->close();
        frmMain w(lib_->path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        // Song one's genres and artist, and how many rows there are beside it.
        const SongListModel& list = w.lvSongList->songs();
        const auto listed = [&list] {
            return list.cell(QStringLiteral("Key_1"), 1) + u':' +
                   list.cell(QStringLiteral("Key_1"), 2) +
                   QStringLiteral(" +%1").arg(list.count() - 1);
        };
        QCOMPARE(listed(), QStringLiteral("rock/pop/soul:Alice +4"));
        QVERIFY(gConnector->adoSetData(
            Write::AddSong, {lib_->folder() + QStringLiteral("/six.mp3"), QStringLiteral("six")}));
        const auto upcaseFirst = [&](const char* command, bool ok) {
            setModalHandler([ok](QDialog& dialog) {
                auto* editor = qobject_cast<NameEditDialog*>(&dialog);
                editor->boxes()[0]->setText(editor->boxes()[0]->text().toUpper());
                (ok ? editor->cmdOK : editor->cmdCancel)->click();
                return editor->result();
            });
            w.findChild<QAction*>(QLatin1String(command))->trigger();
            return listed();
        };
        QCOMPARE(upcaseFirst("mnuEdit_Category", false), QStringLiteral("rock/pop/soul:Alice +4"));
        QCOMPARE(upcaseFirst("mnuEdit_Artist", true), QStringLiteral("rock/pop/soul:ALICE +5"));
        QCOMPARE(upcaseFirst("mnuEdit_Category", true), QStringLiteral("ROCK/pop/soul:ALICE +5"));
        QVERIFY(presenter_.boxes().isEmpty());
    }
};

QTEST_MAIN(TestNameEdit)
#include "tst_nameedit.moc"
