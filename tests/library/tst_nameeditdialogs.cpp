// The genre and artist editors and their re-link dialogs driven headless,
// and the main window showing the edited names.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "library/nameeditdialog.h"
#include "library/namereldialog.h"
#include "namestate.h"
#include "scriptedpresenter.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace namestate;

namespace {

QStringList items(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

QStringList texts(const QList<QLineEdit*>& boxes) {
    QStringList out;
    for (const QLineEdit* box : boxes)
        out << box->text();
    return out;
}

// Genres a to d (IDs 2 to 5), one song on b and one on c.
void fillLetters(TempLibrary& lib) {
    for (const char* name : {"a", "b", "c", "d"})
        lib.addGenre(name);
    TempLibrary::Fields f;
    f.genres[0] = 3;
    lib.addSong("on b", f);
    f.genres[0] = 4;
    lib.addSong("on c", f);
}

// Each list row as "title:genre:artist", in list order.
QStringList listed(const frmMain& w) {
    QStringList out;
    const SongListModel& list = w.lvSongList->songs();
    for (int p = 0; p < list.count(); ++p) {
        const QString key = list.keyAt(p);
        out << list.cell(key, 0) + u':' + list.cell(key, 1) + u':' + list.cell(key, 2);
    }
    return out;
}

} // namespace

class TestNameEditDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void cleanup() { setModalHandler({}); }

    void editorsShowTheStoredNames() {
        TempLibrary lib;
        lib.addGenre("rock");
        lib.addGenre("pop");
        lib.addArtist("Alice");
        frmJanlEdit genres;
        QCOMPARE(genres.objectName(), QStringLiteral("frmJanlEdit"));
        QCOMPARE(genres.windowTitle(), QStringLiteral("ジャンル編集"));
        QCOMPARE(genres.txtJanl.size(), 10);
        QCOMPARE(texts(genres.txtJanl),
                 QStringList({"rock", "pop", "", "", "", "", "", "", "", ""}));
        QCOMPARE(genres.lblCategoryNo.first()->text(), QStringLiteral("1:"));
        QCOMPARE(genres.lblCategoryNo.last()->text(), QStringLiteral("10:"));
        QCOMPARE(genres.txtJanl.last()->objectName(), QStringLiteral("txtJanl(9)"));
        QCOMPARE(genres.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(genres.cmdCancel->text(), QStringLiteral("キャンセル"));
        QVERIFY(genres.findChild<QFrame*>("linLine"));

        frmArtistEdit artists;
        QCOMPARE(artists.objectName(), QStringLiteral("frmArtistEdit"));
        QCOMPARE(artists.windowTitle(), QStringLiteral("アーティスト編集"));
        QCOMPARE(artists.txtArtist.size(), 30);
        QCOMPARE(artists.txtArtist.first()->text(), QStringLiteral("Alice"));
        QCOMPARE(artists.txtArtist.last()->text(), QString());
        QCOMPARE(artists.lblArtistNo.first()->text(), QStringLiteral("1:"));
        QCOMPARE(artists.lblArtistNo.last()->text(), QStringLiteral("30:"));
        QCOMPARE(artists.txtArtist.last()->objectName(), QStringLiteral("txtArtist(29)"));
    }

    void relinkDialogsAskAndAnswer() {
        frmJanlRel genre;
        QCOMPARE(genre.windowTitle(), QStringLiteral("旧ジャンル名との関連付け"));
        QCOMPARE(genre.lblMes->text(), QStringLiteral("ジャンルとの関連付け"));
        QVERIFY(!genre.frmJanlRel_Init("pop", {"", ""}));
        QVERIFY(genre.frmJanlRel_Init("pop", {"rock", "", "jazz"}));
        QCOMPARE(genre.lblMes->text(), QStringLiteral("ジャンルpopをどのジャンルと関連付けますか"));
        QCOMPARE(items(genre.cboJanl), QStringList({"rock", "jazz"}));
        QCOMPARE(genre.cboJanl->currentIndex(), 0);
        genre.cboJanl->setCurrentIndex(1);
        genre.cmdOK->click();
        QCOMPARE(genre.Index(), 1);
        QCOMPARE(genre.result(), int(QDialog::Accepted));

        frmArtistRel artist;
        QCOMPARE(artist.windowTitle(), QStringLiteral("旧アーティスト名との関連付け"));
        QCOMPARE(artist.lblMes->text(), QStringLiteral("アーティストとの関連付け"));
        artist.frmArtRel_Init("Bob", {"Alice", "Carol"});
        QCOMPARE(artist.lblMes->text(),
                 QStringLiteral("旧アーティスト名称Bobをどのアーティストと関連付けますか"));
        QCOMPARE(items(artist.cboArtist), QStringList({"Alice", "Carol"}));
        // Closed from the title bar: the entry offered first.
        artist.cboArtist->setCurrentIndex(1);
        artist.reject();
        QCOMPARE(artist.Index(), 0);
    }

    void okAsksWhereTheSongsOfRemovedNamesGo() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        fillLetters(lib);
        frmJanlEdit editor;
        editor.txtJanl[1]->clear();
        editor.txtJanl[2]->setText("  ");
        QStringList asked;
        setModalHandler([&](QDialog& dialog) {
            auto* rel = qobject_cast<frmJanlRel*>(&dialog);
            if (!rel)
                return int(QDialog::Rejected);
            asked << rel->lblMes->text() + u'>' + items(rel->cboJanl).join(u'|');
            if (asked.size() > 1)
                return int(QDialog::Rejected); // closed: the first entry, "a"
            rel->cboJanl->setCurrentIndex(1);
            rel->cmdOK->click();
            return rel->result();
        });
        QSignalSpy accepted(&editor, &QDialog::accepted);
        editor.cmdOK->click();
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!editor.Cancel());
        QCOMPARE(asked, QStringList({"ジャンルbをどのジャンルと関連付けますか>a|d",
                                     "ジャンルcをどのジャンルと関連付けますか>a|d"}));
        QCOMPARE(songNames(lib, 1), QStringLiteral("d/指定無し/指定無し by 指定無し"));
        QCOMPARE(songNames(lib, 2), QStringLiteral("a/指定無し/指定無し by 指定無し"));
        QCOMPARE(genres(lib), QStringLiteral("指定無し|a|d"));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void cancelAndRefusedOkWriteNothing() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        fillLetters(lib);
        const QStringList before = snapshot(lib);
        int relinks = 0;
        setModalHandler([&](QDialog&) { return ++relinks, int(QDialog::Accepted); });

        frmArtistEdit cancelled;
        cancelled.txtArtist[0]->setText("Zed");
        cancelled.cmdCancel->click();
        QVERIFY(cancelled.Cancel());
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));

        frmJanlEdit refused;
        QSignalSpy accepted(&refused, &QDialog::accepted);
        for (QLineEdit* box : refused.txtJanl)
            box->clear();
        refused.cmdOK->click();
        QCOMPARE(accepted.count(), 0); // stays open
        QVERIFY(!refused.Cancel());
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().first().text,
                 QStringLiteral("ジャンルは最低１つ以上設定して下さい"));
        refused.reject(); // then closed from the title bar
        QVERIFY(refused.Cancel());

        QCOMPARE(relinks, 0);
        QCOMPARE(snapshot(lib), before);
    }

    void mainWindowShowsTheNewNames() {
        TempLibrary lib;
        const int rock = lib.addGenre("rock");
        const int pop = lib.addGenre("pop");
        const int alice = lib.addArtist("Alice");
        TempLibrary::Fields f;
        f.genres[0] = rock, f.genres[1] = pop, f.artist = alice;
        lib.addSong("a one", f);
        f.genres[0] = pop, f.genres[1] = 1;
        lib.addSong("b two", f);
        lib.showColumns({"曲名", "ｼﾞｬﾝﾙ", "ｱｰﾃｨｽﾄ名"});
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        QCOMPARE(listed(w), QStringList({"a one:rock/pop:Alice", "b two:pop:Alice"}));

        // "rock" becomes "Rock"; "pop" becomes "jazz", whose songs go to "jazz".
        setModalHandler([](QDialog& dialog) {
            if (auto* rel = qobject_cast<frmJanlRel*>(&dialog)) {
                rel->cboJanl->setCurrentIndex(rel->cboJanl->findText("jazz"));
                rel->cmdOK->click();
                return rel->result();
            }
            auto* editor = qobject_cast<frmJanlEdit*>(&dialog);
            editor->txtJanl[0]->setText("Rock");
            editor->txtJanl[1]->setText("jazz");
            editor->cmdOK->click();
            return editor->result();
        });
        w.action("mnuEdit_Category")->trigger();
        QCOMPARE(listed(w), QStringList({"a one:Rock/jazz:Alice", "b two:jazz:Alice"}));

        // A song added behind the window shows only when an editor was not cancelled.
        QVERIFY(gConnector->adoSetData(31, {lib.folder() + "/c.mp3", "c three"}));
        const auto renameAlice = [&w](bool ok) {
            setModalHandler([ok](QDialog& dialog) {
                auto* editor = qobject_cast<frmArtistEdit*>(&dialog);
                editor->txtArtist[0]->setText("ALICE");
                (ok ? editor->cmdOK : editor->cmdCancel)->click();
                return editor->result();
            });
            w.action("mnuEdit_Artist")->trigger();
        };
        renameAlice(false);
        QCOMPARE(listed(w).size(), 2);
        renameAlice(true);
        QCOMPARE(listed(w), QStringList({"a one:Rock/jazz:ALICE", "b two:jazz:ALICE",
                                         "c three:指定無し:指定無し"}));
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_MAIN(TestNameEditDialogs)
#include "tst_nameeditdialogs.moc"
