// The song property editor against a real library database: what it
// shows of a record, what OK writes back, and what Cancel leaves alone.

#include "library/songedit.h"
#include "library/songproperty.h"
#include "scriptedpresenter.h"
#include "templibrary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

class TestSongProperty : public QObject {
    Q_OBJECT

    // Genres Rock (ID 2), Jazz (3), Pop (4), Folk (5); artists Ann (2),
    // Bob (3); song 1 "a" with Rock, none, Pop by Bob, and song 2 "b"
    // with no genre and no artist.
    static void fill(TempLibrary& lib) {
        for (const char* g : {"Rock", "Jazz", "Pop", "Folk"})
            lib.addGenre(g);
        lib.addArtist("Ann");
        lib.addArtist("Bob");
        TempLibrary::Fields f;
        f.genres[0] = 2;
        f.genres[2] = 4;
        f.artist = 3;
        f.priority = 70;
        f.volume = 300;
        f.breakOut = true;
        f.count = 12;
        lib.addSong("a", f);
        lib.addSong("b");
    }
    // Every property of a record, for comparing two records whole.
    static QStringList fields(const Song& s) {
        return {s.ArtistID(),
                s.JanlID_1(),
                s.JanlID_2(),
                s.JanlID_3(),
                s.KeyString(),
                s.FilePath(),
                s.Title(),
                QString::number(s.Priority()),
                QString::number(s.Count()),
                s.Janl(),
                s.Artist(),
                s.BreakOut(),
                s.Trend(),
                QString::number(s.Volume())};
    }
    static QStringList genreIds(const Song& s) {
        return {s.JanlID_1(), s.JanlID_2(), s.JanlID_3()};
    }
    static QStringList items(const frmSongProperty& d, Qt::CheckState state) {
        QStringList out;
        for (int i = 0; i < d.lvSongList->topLevelItemCount(); ++i) {
            if (d.lvSongList->topLevelItem(i)->checkState(0) == state)
                out << d.lvSongList->topLevelItem(i)->text(0);
        }
        return out;
    }
    static QStringList checked(const frmSongProperty& d) { return items(d, Qt::Checked); }
    static void check(frmSongProperty& d, const QStringList& names, bool on = true) {
        for (const QString& name : names) {
            const auto found = d.lvSongList->findItems(name, Qt::MatchExactly);
            QVERIFY(found.size() == 1);
            found.front()->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        }
    }
    static QStringList comboItems(const QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    static Song song(int id) {
        const std::optional<Song> s = songedit::loadSong(QString::number(id));
        return s ? *s : Song();
    }

private slots:
    void loadSongNamesAllThreeGenres() {
        TempLibrary lib;
        fill(lib);
        const std::optional<Song> a = songedit::loadSong("Key_1");
        QVERIFY(a);
        QCOMPARE(a->Janl(), QStringLiteral("Rock/指定無し/Pop"));
        QCOMPARE(a->KeyString(), QStringLiteral("1"));
        QCOMPARE(a->Title(), QStringLiteral("a"));
        QCOMPARE(a->FilePath(), lib.folder() + "/music/a.mp3");
        QCOMPARE(a->Artist(), QStringLiteral("Bob"));
        QCOMPARE(a->Priority(), qint16(70));
        QCOMPARE(a->Count(), 12);
        QCOMPARE(a->Volume(), 300);
        QCOMPARE(a->BreakOut(), QStringLiteral("True"));
        QCOMPARE(a->Trend(), QStringLiteral("False"));
        // A bare ID names the same song.
        QCOMPARE(songedit::loadSong("2")->Janl(), QStringLiteral("指定無し/指定無し/指定無し"));
        // A song removed meanwhile reads as nothing.
        QVERIFY(lib.db().adoSetData(54, {"2"}));
        QVERIFY(!songedit::loadSong("Key_2"));
    }

    void showsTheRecord() {
        TempLibrary lib;
        fill(lib);
        frmSongProperty d;
        QCOMPARE(d.windowTitle(), QStringLiteral("プロパティー設定"));
        QVERIFY(!d.Canceled());
        d.setTargetSong(song(1));
        QCOMPARE(d.txtFilePath->text(), lib.folder() + "/music/a.mp3");
        QCOMPARE(d.txtSongName->text(), QStringLiteral("a"));
        QCOMPARE(comboItems(d.cboArtist), QStringList({"指定無し", "Ann", "Bob"}));
        QCOMPARE(d.cboArtist->currentText(), QStringLiteral("Bob"));
        QCOMPARE(d.lvSongList->headerItem()->text(0), QStringLiteral("ジャンル"));
        // Every genre but "指定無し", in table order.
        QStringList genres;
        for (int i = 0; i < d.lvSongList->topLevelItemCount(); ++i)
            genres << d.lvSongList->topLevelItem(i)->text(0);
        QCOMPARE(genres, QStringList({"Rock", "Jazz", "Pop", "Folk"}));
        QCOMPARE(checked(d), QStringList({"Rock", "Pop"}));
        QCOMPARE(d.sldPriority->value(), 70);
        QCOMPARE(d.sldVolume->value(), 300);
        QVERIFY(d.chkBreakOut->isChecked());
        QVERIFY(!d.chkTrend->isChecked());
        QVERIFY(d.txtFilePath->isEnabled());
        QVERIFY(d.txtSongName->isEnabled());

        // Handing in another record refills every list instead of adding.
        d.setTargetSong(song(2));
        QCOMPARE(d.cboArtist->count(), 3);
        QCOMPARE(d.cboArtist->currentText(), QStringLiteral("指定無し"));
        QCOMPARE(d.lvSongList->topLevelItemCount(), 4);
        QVERIFY(checked(d).isEmpty()); // "指定無し" opens with no genre checked
    }

    // "True" checks, "False" unchecks, anything else leaves the box alone.
    void flagsFollowTheirText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("True checks") << "True" << false << true;
        QTest::newRow("False unchecks") << "False" << true << false;
        QTest::newRow("empty keeps checked") << "" << true << true;
        QTest::newRow("empty keeps unchecked") << "" << false << false;
        QTest::newRow("Yes keeps unchecked") << "Yes" << false << false;
    }
    void flagsFollowTheirText() {
        QFETCH(QString, text);
        QFETCH(bool, before);
        QFETCH(bool, after);
        TempLibrary lib;
        frmSongProperty d;
        d.chkBreakOut->setChecked(before);
        d.chkTrend->setChecked(before);
        Song s;
        s.setBreakOut(text);
        s.setTrend(text);
        d.setTargetSong(s);
        QCOMPARE(d.chkBreakOut->isChecked(), after);
        QCOMPARE(d.chkTrend->isChecked(), after);
    }

    void okWritesEveryControlBack() {
        TempLibrary lib;
        fill(lib);
        frmSongProperty d;
        d.setTargetSong(song(1));
        d.txtFilePath->setText("/music/new path.mp3");
        d.txtSongName->setText(""); // nothing is validated
        d.cboArtist->setCurrentIndex(1);
        check(d, {"Rock"}, false);
        check(d, {"Jazz"});
        d.sldPriority->setValue(0);
        d.sldVolume->setValue(2000);
        d.chkBreakOut->setChecked(false);
        d.chkTrend->setChecked(true);
        d.cmdOK->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.Canceled());
        const Song& s = d.TargetSong();
        QCOMPARE(s.FilePath(), QStringLiteral("/music/new path.mp3"));
        QCOMPARE(s.Title(), QString());
        QCOMPARE(s.Artist(), QStringLiteral("Ann"));
        QCOMPARE(s.ArtistID(), QStringLiteral("2"));
        QCOMPARE(s.Janl(), QStringLiteral("Jazz/Pop"));
        QCOMPARE(genreIds(s), QStringList({"Key_3", "Key_4", "Key_1"}));
        QCOMPARE(s.Priority(), qint16(0));
        QCOMPARE(s.Volume(), 2000);
        QCOMPARE(s.BreakOut(), QStringLiteral("False"));
        QCOMPARE(s.Trend(), QStringLiteral("True"));
        // Untouched by the editor.
        QCOMPARE(s.KeyString(), QStringLiteral("1"));
        QCOMPARE(s.Count(), 12);
    }

    void fourGenresKeepTheDialogOpenThenThreeSucceed() {
        TempLibrary lib;
        fill(lib);
        ScriptedPresenter boxes;
        frmSongProperty d;
        const Song before = song(1);
        d.setTargetSong(before);
        d.show();
        check(d, {"Jazz", "Folk"});
        d.cmdOK->click();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text,
                 QStringLiteral("ジャンルの指定は最大３つまで可能です"));
        QCOMPARE(boxes.boxes().front().style, 0);
        QVERIFY(d.isVisible());
        QVERIFY(!d.Canceled());
        QCOMPARE(checked(d), QStringList({"Rock", "Jazz", "Pop", "Folk"}));
        QCOMPARE(fields(d.TargetSong()), fields(before));

        check(d, {"Rock"}, false);
        d.cmdOK->click();
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.TargetSong().Janl(), QStringLiteral("Jazz/Pop/Folk"));
        QCOMPARE(genreIds(d.TargetSong()), QStringList({"Key_3", "Key_4", "Key_5"}));
    }

    void noGenreGivesNoneInEverySlot() {
        TempLibrary lib;
        fill(lib);
        frmSongProperty d;
        d.setTargetSong(song(1));
        check(d, {"Rock", "Pop"}, false);
        d.cmdOK->click();
        QCOMPARE(d.TargetSong().Janl(), QStringLiteral("指定無し"));
        QCOMPARE(genreIds(d.TargetSong()), QStringList({"Key_1", "Key_1", "Key_1"}));
    }

    // Genres are stored top to bottom, whatever order they were checked in.
    void genresFollowListOrderNotClickOrder() {
        TempLibrary lib;
        fill(lib);
        frmSongProperty d;
        d.setTargetSong(song(2));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // Folk, then Rock, then Jazz, each by a click on its check box.
        for (int row : {3, 0, 1}) {
            QTreeWidgetItem* item = d.lvSongList->topLevelItem(row);
            const QRect rect = d.lvSongList->visualItemRect(item);
            const QPoint box(rect.left() + rect.height() / 2, rect.center().y());
            QTest::mouseClick(d.lvSongList->viewport(), Qt::LeftButton, {}, box);
            QCOMPARE(item->checkState(0), Qt::Checked);
        }
        d.cmdOK->click();
        QCOMPARE(d.TargetSong().Janl(), QStringLiteral("Rock/Jazz/Folk"));
        QCOMPARE(genreIds(d.TargetSong()), QStringList({"Key_2", "Key_3", "Key_5"}));
    }

    void bulkModeKeepsPathAndTitle() {
        TempLibrary lib;
        fill(lib);
        frmSongProperty d;
        d.SetMode(1);
        d.setTargetSong(song(1));
        QVERIFY(!d.txtFilePath->isEnabled());
        QVERIFY(!d.txtSongName->isEnabled());
        QVERIFY(d.cboArtist->isEnabled());
        check(d, {"Pop"}, false);
        d.cmdOK->click();
        QCOMPARE(d.TargetSong().FilePath(), lib.folder() + "/music/a.mp3");
        QCOMPARE(d.TargetSong().Title(), QStringLiteral("a"));
        QCOMPARE(d.TargetSong().Janl(), QStringLiteral("Rock"));
    }

    // Cancel, Escape and the title bar's close leave the record as it was.
    void cancelLeavesTheRecordIdentical_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("title-bar close") << 2;
    }
    void cancelLeavesTheRecordIdentical() {
        QFETCH(int, how);
        TempLibrary lib;
        fill(lib);
        ScriptedPresenter boxes;
        frmSongProperty d;
        const Song before = song(1);
        d.setTargetSong(before);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.txtFilePath->setText("x");
        d.txtSongName->setText("y");
        d.cboArtist->setCurrentIndex(1);
        check(d, {"Jazz"});
        check(d, {"Rock"}, false);
        d.sldPriority->setValue(1);
        d.sldVolume->setValue(1);
        d.chkBreakOut->setChecked(false);
        d.chkTrend->setChecked(true);
        if (how == 0)
            d.cmdCancel->click();
        else if (how == 1)
            QTest::keyClick(&d, Qt::Key_Escape);
        else
            d.close();
        QVERIFY(d.Canceled());
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(fields(d.TargetSong()), fields(before));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void slidersKeepTheirBounds_data() {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("shown");
        QTest::newRow("priority below") << "sldPriority" << -1 << 0;
        QTest::newRow("priority 0") << "sldPriority" << 0 << 0;
        QTest::newRow("priority 100") << "sldPriority" << 100 << 100;
        QTest::newRow("priority above") << "sldPriority" << 101 << 100;
        QTest::newRow("volume below") << "sldVolume" << -1 << 0;
        QTest::newRow("volume 0") << "sldVolume" << 0 << 0;
        QTest::newRow("volume 2000") << "sldVolume" << 2000 << 2000;
        QTest::newRow("volume above") << "sldVolume" << 2001 << 2000;
    }
    void slidersKeepTheirBounds() {
        QFETCH(QString, slider);
        QFETCH(int, set);
        QFETCH(int, shown);
        TempLibrary lib;
        frmSongProperty d;
        d.setTargetSong(Song());
        auto* s = d.findChild<QSlider*>(slider);
        QVERIFY(s);
        s->setValue(set);
        QCOMPARE(s->value(), shown);
        // The keys cannot push it past either end.
        QTest::keyClick(s, Qt::Key_End);
        QTest::keyClick(s, Qt::Key_Right);
        QCOMPARE(s->value(), s == d.sldPriority ? 100 : 2000);
        QTest::keyClick(s, Qt::Key_Home);
        QTest::keyClick(s, Qt::Key_Left);
        QCOMPARE(s->value(), 0);
        QCOMPARE(d.findChild<QLabel*>(slider + "Value")->text(), QStringLiteral("0"));
    }

    // A stored correction beyond the slider comes back at its end.
    void volumeBeyondTheSliderIsWrittenAtItsEnd() {
        TempLibrary lib;
        fill(lib);
        frmSongProperty d;
        Song s = song(1);
        s.setVolume(5000);
        d.setTargetSong(s);
        d.cmdOK->click();
        QCOMPARE(d.TargetSong().Volume(), 2000);
    }

    void anArtistThatCannotBeFoundKeepsItsId() {
        TempLibrary lib;
        fill(lib);
        Song s = song(1);
        s.setArtistID("3");
        songedit::Choices c;
        c.artist = "Nobody";
        songedit::writeBack(c, s);
        QCOMPARE(s.Artist(), QStringLiteral("Nobody"));
        QCOMPARE(s.ArtistID(), QStringLiteral("3"));
        c.artist = "Ann";
        songedit::writeBack(c, s);
        QCOMPARE(s.ArtistID(), QStringLiteral("2"));
    }

    void genreTextChecksTheFirstGenreOfEachName() {
        const QList<songedit::Genre> genres = {
            {"Key_2", "Rock"}, {"Key_3", "Jazz"}, {"Key_4", "Rock"}, {"Key_5", "Pop"}};
        QCOMPARE(songedit::checkedGenres("Rock/指定無し/Pop", genres),
                 QList<bool>({true, false, false, true}));
        QCOMPARE(songedit::checkedGenres("Pop", genres), QList<bool>({false, false, false, true}));
        QCOMPARE(songedit::checkedGenres("rock/Blues", genres),
                 QList<bool>({false, false, false, false}));
        QCOMPARE(songedit::checkedGenres("", genres), QList<bool>({false, false, false, false}));
    }
};

QTEST_MAIN(TestSongProperty)
#include "tst_songproperty.moc"
