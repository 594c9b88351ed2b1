// The four pickers driven headless over real folders and a real library:
// the shared stored folder, the lists, OK and Cancel, and the folder walk.

#include "base/filehelpers.h"
#include "library/pickers.h"
#include "scriptedpresenter.h"
#include "templibrary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using places::Place;

class TestPickers : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString root_;

    QString path(const QString& name) const { return root_ + "/" + name; }
    static void touch(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    }
    static QString stored(TempLibrary& lib) {
        Recordset rs;
        lib.db().adoGetData(15, rs);
        return rs.Eof() ? "<none>" : rs.text("設定値");
    }
    static QStringList listed(const QListView* view) {
        QStringList out;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            out << view->model()->index(r, 0).data().toString();
        return out;
    }
    // The folder list's items top to bottom: the path of each, and how far
    // it is indented.
    static QList<QTreeWidgetItem*> folderItems(QTreeWidget* list) {
        QList<QTreeWidgetItem*> out;
        for (QTreeWidgetItemIterator it(list); *it; ++it)
            out << *it;
        return out;
    }
    static QString pathOf(const QTreeWidgetItem* item) {
        return item->data(0, Qt::UserRole).toString();
    }
    static int depthOf(const QTreeWidgetItem* item) {
        int depth = 0;
        for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            ++depth;
        return depth;
    }
    static void select(QListView* view, int row) {
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::Select);
    }

private slots:
    void initTestCase() {
        root_ = dir_.path();
        for (const char* name :
             {"music/b.MP3", "music/a.mp3", "music/c.Wav", "music/x.ogg", "music/list.M3U",
              "music/y.m3u8", "music/.hidden.mp3", "music/Sub/d.aiff", "music/beta/e.mid",
              "music/.git/f.mp3", "music/beta/.cache/g.wav", "music/notes.txt", "empty/readme.txt"})
            touch(path(name));
        QDir().mkpath(path("music/folder.mp3"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("music/fifo.mp3")).constData(), 0600), 0);
    }

    void placeOfTakesTheLongestPrefix_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("place");
        QTest::newRow("under home") << "/home/u/music" << 0;
        QTest::newRow("home itself") << "/home/u" << 0;
        QTest::newRow("home's neighbour") << "/home/user2" << 1;
        QTest::newRow("volume") << "/media/usb/x" << 2;
        QTest::newRow("volume's neighbour") << "/media/usbx" << 1;
        QTest::newRow("root") << "/" << 1;
    }
    void placeOfTakesTheLongestPrefix() {
        QFETCH(QString, folder);
        QFETCH(int, place);
        const QList<Place> list = {{"home", "/home/u"}, {"/", "/"}, {"usb", "/media/usb"}};
        QCOMPARE(places::placeOf(list, folder), place);
        QCOMPARE(places::placeOf({}, folder), -1);
    }

    void machinePlacesStartAtHome() {
        const QList<Place> list = places::machinePlaces();
        QVERIFY(!list.isEmpty());
        QCOMPARE(list.front().root, QDir::homePath());
        QCOMPARE(places::ancestors("/a/b"), QStringList({"/", "/a", "/a/b"}));
        QCOMPARE(places::ancestors("/"), QStringList({"/"}));
    }

    // Every picker opens at the stored folder, with the drive list on its place.
    void opensAtTheStoredFolder() {
        TempLibrary lib;
        lib.db().adoSetData(30, {path("music/beta")});
        frmFileSelect files;
        frmDirSelect folder;
        frmFileNameSet name;
        frmDirSelectBas target;
        for (PickerBase* p : std::initializer_list<PickerBase*>{&files, &folder, &name, &target}) {
            QCOMPARE(p->folder(), path("music/beta"));
            QCOMPARE(p->RetCode(), 0);
            QCOMPARE(p->drvDrive->currentIndex(),
                     places::placeOf(places::machinePlaces(), path("music/beta")));
        }
        QCOMPARE(files.windowTitle(), QStringLiteral("ファイル選択"));
        QCOMPARE(folder.windowTitle(), QStringLiteral("ファイル選択"));
        QCOMPARE(name.windowTitle(), QStringLiteral("ファイル選択"));
        QCOMPARE(target.windowTitle(), QStringLiteral("ディレクトリ選択"));
        QCOMPARE(target.lblAdd->text(), QStringLiteral("コピー先フォルダを選択して下さい"));
    }

    void unusableStoredFolderOpensAtHomeSilently_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("empty") << "";
        QTest::newRow("gone") << "/no/such/folder";
        QTest::newRow("a file") << "music/a.mp3";
    }
    void unusableStoredFolderOpensAtHomeSilently() {
        QFETCH(QString, folder);
        TempLibrary lib;
        ScriptedPresenter boxes;
        lib.db().adoSetData(30, {folder.startsWith("music") ? path(folder) : folder});
        frmDirSelectBas picker;
        QCOMPARE(picker.folder(), QDir::homePath());
        QCOMPARE(picker.drvDrive->currentIndex(), 0);
        QVERIFY(boxes.boxes().isEmpty());
    }

    // OK in one picker stores its folder for the next; Cancel stores nothing.
    void okStoresTheFolderForTheNextPicker() {
        TempLibrary lib;
        {
            frmDirSelectBas target;
            QVERIFY(target.setFolder(path("music")));
            target.cmdOK->click();
            QCOMPARE(target.RetCode(), 1);
            QCOMPARE(target.frmDirSelBas_GetDirectory(), path("music"));
        }
        QCOMPARE(stored(lib), path("music"));
        {
            frmFileSelect files;
            QCOMPARE(files.folder(), path("music"));
            QVERIFY(files.setFolder(path("empty")));
            files.cmdCancel->click();
            QCOMPARE(files.RetCode(), 0);
            QCOMPARE(files.frmFilSel_GetFileList(), QStringList());
        }
        QCOMPARE(stored(lib), path("music"));
    }

    // A failed write of the stored folder shows the connector's box; the
    // picker still returns its result.
    void failedStoreStillReturns() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        lib.db().adoSetData(46, {"CREATE TRIGGER no_store BEFORE UPDATE ON TM_初期設定"
                                 " BEGIN SELECT RAISE(ABORT, 'read-only settings'); END"});
        frmDirSelectBas target;
        QVERIFY(target.setFolder(path("empty")));
        target.cmdOK->click();
        QCOMPARE(target.RetCode(), 1);
        QCOMPARE(target.frmDirSelBas_GetDirectory(), path("empty"));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("DBError"));
    }

    // Patterns ignore case; hidden files, folders and pipes are not listed.
    void fileListFollowsTheFileType() {
        TempLibrary lib;
        frmFileSelect picker;
        QVERIFY(picker.setFolder(path("music")));
        QCOMPARE(listed(picker.filFile), QStringList({"a.mp3", "b.MP3", "c.Wav"}));
        QVERIFY(picker.cmdOK->isEnabled());
        picker.setFileType(1);
        QCOMPARE(listed(picker.filFile), QStringList({"list.M3U", "y.m3u8"}));
        picker.setFileType(7); // any other value keeps the pattern
        QCOMPARE(listed(picker.filFile), QStringList({"list.M3U", "y.m3u8"}));
        QVERIFY(picker.setFolder(path("music/beta")));
        QCOMPARE(listed(picker.filFile), QStringList());
        QVERIFY(!picker.cmdOK->isEnabled());
        picker.setFileType(0);
        QCOMPARE(listed(picker.filFile), QStringList({"e.mid"}));
        QVERIFY(picker.cmdOK->isEnabled());
    }

    // The result keeps the list's order, whatever the order of the clicks.
    void selectedFilesComeInListOrder() {
        TempLibrary lib;
        frmFileSelect picker;
        QVERIFY(picker.setFolder(path("music")));
        select(picker.filFile, 2);
        select(picker.filFile, 0);
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmFilSel_GetFileList(),
                 QStringList({path("music/a.mp3"), path("music/c.Wav")}));
        QCOMPARE(stored(lib), path("music"));

        frmFileSelect none;
        none.cmdOK->click();
        QCOMPARE(none.RetCode(), 1);
        QCOMPARE(none.frmFilSel_GetFileList(), QStringList());
    }

    // The folder list holds the ancestors, then the subfolders by name; the
    // user walks into a subfolder and back out with Enter.
    void folderListWalksInAndOut() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        frmFileSelect picker;
        QVERIFY(picker.setFolder(path("music")));
        const int depth = int(places::ancestors(path("music")).size());
        QList<QTreeWidgetItem*> items = folderItems(picker.dirDir);
        QCOMPARE(items.size(), depth + 3);
        QCOMPARE(picker.dirDir->currentItem(), items[depth - 1]);
        QStringList paths;
        for (int i = depth - 2; i < items.size(); ++i)
            paths << pathOf(items[i]);
        QCOMPARE(paths, QStringList({root_, path("music"), path("music/beta"),
                                     path("music/folder.mp3"), path("music/Sub")}));
        QCOMPARE(items[0]->text(0), QStringLiteral("/"));
        QCOMPARE(items[depth]->text(0), QStringLiteral("beta"));
        // Each ancestor one step further in; the subfolders one step more.
        QCOMPARE(depthOf(items[depth - 1]), depth - 1);
        QCOMPARE(depthOf(items[depth]), depth);
        QCOMPARE(depthOf(items[depth + 2]), depth);

        picker.dirDir->setCurrentItem(items[depth + 2]);
        QTest::keyClick(picker.dirDir, Qt::Key_Return);
        QCOMPARE(picker.folder(), path("music/Sub"));
        QCOMPARE(listed(picker.filFile), QStringList({"d.aiff"}));
        items = folderItems(picker.dirDir);
        picker.dirDir->setCurrentItem(items[depth - 2]);
        QTest::keyClick(picker.dirDir, Qt::Key_Return);
        QCOMPARE(picker.folder(), root_);
        QVERIFY(boxes.boxes().isEmpty());

        // A folder that went away: its message, and the lists stay.
        QDir().mkpath(path("gone"));
        QVERIFY(picker.setFolder(root_));
        const QList<QTreeWidgetItem*> found =
            picker.dirDir->findItems("gone", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QDir(path("gone")).removeRecursively();
        picker.dirDir->setCurrentItem(found[0]);
        QTest::keyClick(picker.dirDir, Qt::Key_Return);
        QCOMPARE(picker.folder(), root_);
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(boxes.boxes()[0].text.contains(path("gone")));
    }

    void driveChoiceMovesToThePlace() {
        TempLibrary lib;
        frmDirSelectBas picker;
        QVERIFY(picker.setFolder(path("music")));
        const QList<Place> list = places::machinePlaces();
        const auto top =
            std::find_if(list.begin(), list.end(), [](const Place& p) { return p.root == "/"; });
        QVERIFY(top != list.end());
        const int index = int(top - list.begin());
        picker.drvDrive->setCurrentIndex(index);
        emit picker.drvDrive->activated(index);
        QCOMPARE(picker.folder(), QStringLiteral("/"));
        QCOMPARE(folderItems(picker.dirDir)[0]->text(0), QStringLiteral("/"));
    }

    void folderWalkTakesSubfoldersWhenAsked_data() {
        QTest::addColumn<int>("check");
        QTest::addColumn<QStringList>("found");
        // A dot file is still a file; dot folders, pipes and folders named
        // like music are not.
        QTest::newRow("unchecked")
            << int(Qt::Unchecked) << QStringList({".hidden.mp3", "a.mp3", "b.MP3", "c.Wav"});
        QTest::newRow("grayed") << int(Qt::PartiallyChecked)
                                << QStringList({".hidden.mp3", "a.mp3", "b.MP3", "c.Wav"});
        QTest::newRow("checked") << int(Qt::Checked)
                                 << QStringList({".hidden.mp3", "a.mp3", "b.MP3", "beta/e.mid",
                                                 "c.Wav", "Sub/d.aiff"});
    }
    void folderWalkTakesSubfoldersWhenAsked() {
        QFETCH(int, check);
        QFETCH(QStringList, found);
        TempLibrary lib;
        frmDirSelect picker;
        QVERIFY(!picker.chkEXT->isChecked());
        QVERIFY(picker.setFolder(path("music")));
        picker.chkEXT->setTristate(true);
        picker.chkEXT->setCheckState(Qt::CheckState(check));
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QStringList expected;
        for (const QString& name : found)
            expected << path("music/" + name);
        QCOMPARE(picker.frmDirSel_GetFileList(), expected);
        QCOMPARE(stored(lib), path("music"));
        QCOMPARE(picker.windowTitle(), QStringLiteral("ファイル選択"));
        QVERIFY(picker.cmdOK->isEnabled() && picker.dirDir->isEnabled());
    }

    void folderWithoutMusicGivesAnEmptyResult() {
        TempLibrary lib;
        frmDirSelect picker;
        QVERIFY(picker.setFolder(path("empty")));
        picker.chkEXT->setChecked(true);
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmDirSel_GetFileList(), QStringList());
    }

    // Cancel during the walk stops it: nothing is returned and the picker
    // stays open, ready for another folder.
    void cancelStopsTheWalk() {
        TempLibrary lib;
        const int previous = SetSearchFilesYieldInterval(0);
        frmDirSelect picker;
        picker.show();
        QVERIFY(picker.setFolder(path("music")));
        picker.chkEXT->setChecked(true);
        QString caption;
        bool okEnabled = true;
        bool cancelEnabled = false;
        QTimer::singleShot(0, &picker, [&] {
            caption = picker.windowTitle();
            okEnabled = picker.cmdOK->isEnabled();
            cancelEnabled = picker.cmdCancel->isEnabled();
            picker.cmdCancel->click();
        });
        picker.cmdOK->click();
        SetSearchFilesYieldInterval(previous);
        QCOMPARE(caption, QStringLiteral("処理中..."));
        QVERIFY(!okEnabled);
        QVERIFY(cancelEnabled);
        QCOMPARE(picker.RetCode(), 0);
        QCOMPARE(picker.frmDirSel_GetFileList(), QStringList());
        QVERIFY(picker.isVisible());
        QCOMPARE(picker.lblProgress->text(), QStringLiteral("検索を中止しました"));
        QCOMPARE(picker.windowTitle(), QStringLiteral("ファイル選択"));

        // The next OK walks in full.
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmDirSel_GetFileList().size(), 6);
    }

    // The close box during the walk stops it and closes, as Cancel.
    void closeBoxDuringTheWalkCloses() {
        TempLibrary lib;
        const int previous = SetSearchFilesYieldInterval(0);
        frmDirSelect picker;
        picker.show();
        QVERIFY(picker.setFolder(path("music")));
        QTimer::singleShot(0, &picker, [&] { picker.close(); });
        picker.cmdOK->click();
        SetSearchFilesYieldInterval(previous);
        QCOMPARE(picker.RetCode(), 0);
        QCOMPARE(picker.frmDirSel_GetFileList(), QStringList());
        QVERIFY(!picker.isVisible());
        QVERIFY(!picker.walking());
    }

    // Names that are not valid text are left out, and the walk says so.
    void walkSummaryNamesWhatWasLeftOut() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        QTemporaryDir odd;
        const QByteArray raw = QFile::encodeName(odd.path());
        const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(raw.constData()); });
        touch(odd.path() + "/ok.mp3");
        const int fd = ::open((raw + "/bad\xff.mp3").constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        frmDirSelect picker;
        QVERIFY(picker.setFolder(odd.path()));
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmDirSel_GetFileList(), QStringList({odd.path() + "/ok.mp3"}));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text,
                 QStringLiteral("名前の文字を読み取れない 1 個のファイルまたはフォルダは"
                                "追加しませんでした。\n  ") +
                     odd.path() + QString::fromUtf8("/bad\uFFFD.mp3"));
    }

    void fileNameIsTrimmedAndRequired_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name"); // empty: refused with message 22
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("spaces only") << "   "
                                     << "";
        QTest::newRow("full-width spaces only") << QString::fromUtf8("　　") << "";
        QTest::newRow("surrounding spaces") << "  list.m3u  "
                                            << "list.m3u";
        QTest::newRow("no extension") << "list"
                                      << "list";
        QTest::newRow("japanese") << QString::fromUtf8("　お気に入り　")
                                  << QString::fromUtf8("お気に入り");
    }
    void fileNameIsTrimmedAndRequired() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        TempLibrary lib;
        ScriptedPresenter boxes;
        frmFileNameSet picker;
        picker.show();
        QVERIFY(picker.setFolder(path("empty")));
        QVERIFY(picker.txtFileName->text().isEmpty());
        picker.txtFileName->setText(typed);
        picker.cmdOK->click();
        if (name.isEmpty()) {
            QCOMPARE(boxes.boxes().size(), 1);
            QCOMPARE(boxes.boxes()[0].text, QStringLiteral("ファイル名を設定して下さい"));
            QCOMPARE(picker.RetCode(), 0);
            QVERIFY(picker.isVisible());
            QCOMPARE(stored(lib), QString());
        } else {
            QVERIFY(boxes.boxes().isEmpty());
            QCOMPARE(picker.RetCode(), 1);
            QCOMPARE(picker.frmFilSet_GetFile(), path("empty/" + name));
            QVERIFY(!picker.isVisible());
            QCOMPARE(stored(lib), path("empty"));
        }
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
