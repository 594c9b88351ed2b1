// The main window's file menu against a real library and real files:
// registering a folder and playing what was registered, reloading only
// when the library window reports a change, exporting the list as an M3U
// playlist and copying its files to a folder.

#include "app/opening.h"
#include "audiofiles.h"
#include "base/longwork.h"
#include "base/modal.h"
#include "diskfiles.h"
#include "library/librarywindow.h"
#include "library/pickers.h"
#include "mainfixture.h"
#include "playback/gstplayer.h"
#include "playback/playstate.h"
#include "setlists/setlistsave.h"
#include "songlist/songlistview.h"
#include "taggedfiles.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMessage23 = QStringLiteral("現在のセットリストをm3uファイルとして書き出します");
const QString kMessage24 = QStringLiteral("m3uファイル書き出しに失敗しました");

// Answers the file-name and folder pickers with `folder` and `name`, or
// cancels them when `folder` is empty, and counts the progress dialogs of
// long work in `progress`.
void answerPickers(const QString& folder, const QString& name, int* progress = nullptr) {
    if (progress)
        setLongWorkWatcher([=](QDialog&, WorkProgress&) { ++*progress; });
    setModalHandler([=](QDialog& dialog) {
        auto* picker = qobject_cast<PickerBase*>(&dialog);
        if (folder.isEmpty()) {
            picker->cmdCancel->click();
            return 0;
        }
        picker->setFolder(folder);
        if (auto* files = qobject_cast<frmFileNameSet*>(picker))
            files->txtFileName->setText(name);
        picker->cmdOK->click();
        return 1;
    });
}

} // namespace

class TestMainFileMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void cleanup() {
        setModalHandler({});
        setLongWorkWatcher({});
    }

    // A new user registers a folder from the menu and hears it play; the
    // songs come with the titles, artists and genres of their tags, and a
    // set list on an artist picks them at once.
    void registeredFolderPlays() {
        QTemporaryDir music;
        const QString wav = music.path() + QStringLiteral("/曲.wav");
        QVERIFY(audiofiles::writeWav(wav, 1.0));
        QVERIFY(taggedfiles::tagWav(wav,
                                    {QStringLiteral("朝の歌"),
                                     QStringLiteral("Trio"),
                                     {QStringLiteral("Jazz"), QStringLiteral("Soul")}},
                                    false));
        MainFixture f;
        frmMain* w = f.start(new GstPlayer(QStringLiteral("fakesink sync=false")));
        QVERIFY(w);
        setModalHandler([&](QDialog& dialog) {
            if (auto* library = qobject_cast<frmMelodara*>(&dialog)) {
                library->mnuFile_AddDirectory->trigger();
                library->cmdClose->click();
                return 1;
            }
            auto* picker = qobject_cast<frmDirSelect*>(&dialog);
            picker->setFolder(music.path());
            picker->cmdOK->click();
            return 1;
        });
        w->mnuFile_ShowMLP->trigger();
        const SongListModel& list = w->lvSongList->songs();
        QCOMPARE(list.count(), 1);
        QCOMPARE(QStringList({list.cell(list.keyAt(0), 0), list.cell(list.keyAt(0), 1),
                              list.cell(list.keyAt(0), 2)}),
                 QStringList({QStringLiteral("朝の歌"), QStringLiteral("Trio"),
                              QStringLiteral("Jazz/Soul")}));
        QString error;
        setlists::Conditions trio;
        trio[0] = {setlists::Kind::Artist, setlists::kAtLeast, QStringLiteral("TRIO")};
        QVERIFY(setlists::saveSetList(QStringLiteral("Trio"), trio, error));
        QCOMPARE(gConnector->adoQueryRowCount(setlists::queryName(QStringLiteral("Trio"))), 1);

        w->cboHowToPlay->setCurrentIndex(w->cboHowToPlay->findText(QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ再生")));
        w->frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(w->currentSong()->FilePath(), wav);
        QCOMPARE(w->currentSong()->Title(), QStringLiteral("朝の歌"));
        QTRY_COMPARE_WITH_TIMEOUT(gPlayState, kStopped, 10000);
        QVERIFY(f.boxes.boxes().isEmpty()); // no "曲の再生に失敗しました"
    }

    // Files from outside: dropped on the main window they open the library
    // window with them pending, and OK registers them; handed over while
    // another dialog is open they wait for it to close; handed over while
    // the library window is open they join its pending files.
    void filesFromOutsideGoToTheLibraryWindow() {
        QTemporaryDir music;
        QStringList wavs;
        for (const char* name : {"/a.wav", "/b.wav", "/c.wav"}) {
            wavs << music.path() + QLatin1String(name);
            QVERIFY(audiofiles::writeWav(wavs.back(), 0.2));
        }
        MainFixture f;
        frmMain* w = f.start();
        QVERIFY(w);
        QStringList opened; // the pending files each opening of the library window showed
        setModalHandler([&](QDialog& dialog) {
            auto* library = qobject_cast<frmMelodara*>(&dialog);
            library->show();
            const auto pending = [library] {
                QStringList out;
                for (int p = library->LoadCount(); p < library->lvFileList->songs().count(); ++p)
                    out << library->lvFileList->songs().keyAt(p).section(u'/', -1);
                return out.join(u',');
            };
            if (!QTest::qWaitFor([&] { return !pending().isEmpty(); }))
                return 0;
            if (opened.isEmpty())
                w->frmMain_OpenFiles({wavs[2]}); // the library window is open: joins it
            opened << pending();
            library->cmdClose->click();
            return 1;
        });
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(wavs[0])});
        QDragEnterEvent enter(QPoint(50, 300), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &drop);
        QTRY_COMPARE(opened, QStringList{QStringLiteral("a.wav,c.wav")});
        QCOMPARE(w->lvSongList->songs().count(), 2);

        QDialog other(w);
        other.open();
        QTRY_COMPARE(QApplication::activeModalWidget(), &other);
        w->frmMain_OpenFiles({wavs[1]});
        QTest::qWait(300);
        QCOMPARE(opened.size(), 1);
        other.close();
        QTRY_COMPARE(opened, QStringList({QStringLiteral("a.wav,c.wav"), QStringLiteral("b.wav")}));
        QCOMPARE(w->lvSongList->songs().count(), 3);
    }

    // Only a window that reports a change makes the list reload, which
    // stops the player.
    void reloadsOnlyWhenTheLibraryChanged() {
        MainFixture f;
        f.lib.addSong(QStringLiteral("a"));
        f.lib.addSong(QStringLiteral("b"));
        auto* player = new FakePlayer;
        const QString music = f.lib.folder() + QStringLiteral("/music/");
        player->lengths = {{music + QStringLiteral("a.mp3"), 100},
                           {music + QStringLiteral("b.mp3"), 100}};
        frmMain* w = f.start(player);
        QVERIFY(w);
        w->frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);
        setModalHandler([](QDialog& dialog) {
            qobject_cast<frmMelodara*>(&dialog)->cmdCancel->click();
            return 0;
        });
        w->mnuFile_ShowMLP->trigger();
        QCOMPARE(gPlayState, kPlaying);

        // A deletion, then the close box: the list reloads without the song.
        setModalHandler([](QDialog& dialog) {
            auto* library = qobject_cast<frmMelodara*>(&dialog);
            library->lvFileList->selectKey(QStringLiteral("Key_1"));
            library->mnuFile_DeleteFile->trigger();
            library->close();
            return 0;
        });
        w->mnuFile_ShowMLP->trigger();
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(w->lvSongList->songs().count(), 1);
        QCOMPARE(w->lvSongList->songs().keyAt(0), QStringLiteral("Key_2"));
    }

    // The list goes out in its sorted order to the name picked, ".m3u"
    // added when it has none, over the file there; an empty list writes an
    // empty file; songs whose path holds a line break are left out and
    // counted. A folder that does not exist fails with message 24; a
    // cancelled picker writes nothing.
    void exportWritesTheListAsShown_data() {
        QTest::addColumn<QStringList>("songs");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("written"); // the last of the files
        const QStringList old = {QStringLiteral("list"), QStringLiteral("list.m3u")};
        QTest::newRow("list") << QStringList({QStringLiteral("b"), QStringLiteral("a"),
                                              QStringLiteral("c")})
                              << QStringLiteral("list") << QStringList({kMessage23}) << old
                              << QByteArray("<m>c.mp3\r\n<m>b.mp3\r\n<m>a.mp3\r\n");
        QTest::newRow("own extension")
            << QStringList({QStringLiteral("a")}) << QStringLiteral("list.txt")
            << QStringList({kMessage23})
            << QStringList(
                   {QStringLiteral("list"), QStringLiteral("list.m3u"), QStringLiteral("list.txt")})
            << QByteArray("<m>a.mp3\r\n");
        QTest::newRow("empty list") << QStringList() << QStringLiteral("list")
                                    << QStringList({kMessage23}) << old << QByteArray();
        QTest::newRow("line breaks")
            << QStringList({QStringLiteral("a"), QStringLiteral("b\nc"), QStringLiteral("d\r"),
                            QStringLiteral("e")})
            << QStringLiteral("list.m3u")
            << QStringList({kMessage23,
                            QStringLiteral("ファイルパスに改行を含む 2 曲は、m3uファイルに書き出せ"
                                           "ないため除きました。")})
            << old << QByteArray("<m>e.mp3\r\n<m>a.mp3\r\n");
        QTest::newRow("no such folder")
            << QStringList({QStringLiteral("a")}) << QStringLiteral("no/such/list")
            << QStringList({kMessage23, kMessage24}) << old << QByteArray("old\r\n");
        QTest::newRow("cancelled") << QStringList({QStringLiteral("a")}) << QString()
                                   << QStringList({kMessage23}) << old << QByteArray("old\r\n");
    }
    void exportWritesTheListAsShown() {
        QFETCH(QStringList, songs);
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, files);
        QFETCH(QByteArray, written);
        MainFixture f;
        for (const QString& title : songs)
            f.lib.addSong(title);
        QVERIFY(f.start());
        const int titleColumn =
            int(f.w->lvSongList->songs().captions().indexOf(QStringLiteral("曲名")));
        f.w->lvSongList->songs().setSort(true, titleColumn, 1); // titles descending
        QTemporaryDir out;
        for (const char* old : {"list", "list.m3u"})
            QVERIFY(diskfiles::write(out.filePath(QLatin1String(old)), "old\r\n"));
        answerPickers(name.isEmpty() ? QString() : out.path(), name);
        f.w->mnuFile_ExportM3u->trigger();
        QStringList shown;
        for (const ScriptedPresenter::Box& box : f.boxes.boxes())
            shown << box.text;
        QCOMPARE(shown, messages);
        QCOMPARE(diskfiles::entries(out.path()), files);
        QCOMPARE(diskfiles::read(out.filePath(files.last())),
                 written.replace("<m>", (f.lib.folder() + QStringLiteral("/music/")).toUtf8()));
        QCOMPARE(diskfiles::read(out.filePath(QStringLiteral("list"))), QByteArray("old\r\n"));
    }

    // Songs "one/song", "two/song" and "three" (none for the empty list) at
    // <library>/music/<title>.mp3, those `present` holding their titles,
    // sorted by title, copied into an empty folder: the later of two
    // same-named files wins; the first missing file ends the copy with its
    // description.
    void copiesTheListInItsDisplayOrder_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("order");
        QTest::addColumn<bool>("pick");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("progress");
        QTest::addColumn<QStringList>("copied");
        const QStringList all = {QStringLiteral("one/song"), QStringLiteral("two/song"),
                                 QStringLiteral("three")};
        const QStringList shown = {QStringLiteral("曲名"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")};
        const QString notice =
            QStringLiteral("現在のセットリスト内のファイルをフォルダに書き出します");
        // two/song, three, one/song
        QTest::newRow("descending") << all << shown << 1 << true << QStringList({notice}) << 1
                                    << QStringList({QStringLiteral("song.mp3:one/song"),
                                                    QStringLiteral("three.mp3:three")});
        // one/song, three (missing), two/song
        QTest::newRow("missing in the middle")
            << QStringList({QStringLiteral("one/song"), QStringLiteral("two/song")}) << shown << 0
            << true
            << QStringList({notice, QStringLiteral("ファイルが見つかりません。\n<m>three.mp3")})
            << 1 << QStringList({QStringLiteral("song.mp3:one/song")});
        QTest::newRow("picker cancelled")
            << all << shown << 0 << false << QStringList({notice}) << 0 << QStringList();
        QTest::newRow("no file path column")
            << all << QStringList({QStringLiteral("曲名")}) << 0 << true
            << QStringList(
                   {notice, QStringLiteral("ﾌｧｲﾙﾊﾟｽの列が表示されていないため、コピーできません")})
            << 0 << QStringList();
        QTest::newRow("empty list")
            << QStringList() << shown << 0 << true << QStringList({notice}) << 0 << QStringList();
    }
    void copiesTheListInItsDisplayOrder() {
        QFETCH(QStringList, present);
        QFETCH(QStringList, columns);
        QFETCH(int, order);
        QFETCH(bool, pick);
        QFETCH(QStringList, messages);
        QFETCH(int, progress);
        QFETCH(QStringList, copied);
        MainFixture f;
        const QString music = f.lib.folder() + QStringLiteral("/music/");
        for (const char* title : {"one/song", "two/song", "three"}) {
            if (!present.isEmpty())
                f.lib.addSong(QLatin1String(title));
        }
        for (const QString& title : present)
            QVERIFY(diskfiles::write(music + title + QStringLiteral(".mp3"), title.toUtf8()));
        f.lib.showColumns(columns);
        QVERIFY(f.start());
        f.w->lvSongList->songs().setSort(true, 0, order);
        QTemporaryDir target;
        int shownProgress = 0;
        answerPickers(pick ? target.path() : QString(), QString(), &shownProgress);
        f.w->mnuFile_CopySong->trigger();
        QStringList texts;
        for (const ScriptedPresenter::Box& box : f.boxes.boxes()) {
            texts << box.text;
            QCOMPARE(QPair(box.style, box.title), QPair(0, QStringLiteral("Melodara Player")));
        }
        QCOMPARE(texts, messages.replaceInStrings(QStringLiteral("<m>"), music));
        QCOMPARE(shownProgress, progress);
        QStringList files;
        for (const QString& name : diskfiles::entries(target.path()))
            files << name + u':' + QString::fromUtf8(diskfiles::read(target.filePath(name)));
        QCOMPARE(files, copied);
    }
};

QTEST_MAIN(TestMainFileMenu)
#include "tst_mainfilemenu.moc"
