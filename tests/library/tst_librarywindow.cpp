// Registering songs against a real library database and real folders and
// playlists: the four pickers (the shared stored folder, the lists, OK and
// Cancel, the folder walk) and the library window (adding, duplicates,
// registering all or nothing, deleting, menu states, the layout rule).

#include "base/filehelpers.h"
#include "base/longwork.h"
#include "base/modal.h"
#include "diskfiles.h"
#include "library/librarywindow.h"
#include "library/pickers.h"
#include "library/playlistreading.h"
#include "librarytest.h"
#include "songlist/songlistview.h"
#include "taggedfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using librarytest::itemTexts;
using librarytest::shown;
using places::Place;

namespace {

const QString kMessage8 =
    QStringLiteral("Melodara Player|選択された１つ以上のファイルが既にリストに追加されています。"
                   "\r\n追加されていないファイルのみをリストに追加します。");

// How the library window is left.
enum Finish { Ok, ProgressCancelled, Cancel, CloseBox };

// Holds the program's connection from a thread of its own, as long work
// does, until release(): work started meanwhile waits for it, so a test
// can act while that work surely runs, and the window's own reads and
// writes give way without a box.
class ConnectionHold {
public:
    explicit ConnectionHold(ADO_Connector& db)
        : thread_(QThread::create([this, &db] {
              ADO_Connector::BulkWrite bulk(db);
              taken_.release();
              done_.acquire();
          })) {
        thread_->start();
        taken_.acquire();
    }
    ~ConnectionHold() { release(); }
    void release() {
        if (!thread_)
            return;
        done_.release();
        thread_->wait();
        thread_.reset();
    }

private:
    QSemaphore taken_;
    QSemaphore done_;
    std::unique_ptr<QThread> thread_;
};

} // namespace

class TestLibraryWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TempLibrary> lib_;
    ScriptedPresenter presenter_;

    QString path(const QString& name) const { return dir_.path() + QStringLiteral("/") + name; }
    // The library's folder shows as "~", the test's files relative.
    QStringList shorten(QStringList lines) const {
        return lines.replaceInStrings(lib_->folder(), QStringLiteral("~"))
            .replaceInStrings(dir_.path() + QStringLiteral("/"), QStringLiteral(""));
    }
    QString stored() const {
        return librarytest::rows(*lib_, QStringLiteral("SELECT 設定値 FROM Q_ファイル検索パス"))
            .value(0, QStringLiteral("<none>"));
    }
    // Every registered song as "path|title", in ID order.
    QStringList songs() const {
        return shorten(
            librarytest::rows(*lib_, QStringLiteral("SELECT ファイルパス || '|' || タイトル"
                                                    " FROM TM_曲情報 ORDER BY ID")));
    }
    // The list's rows as "key=path".
    QStringList rows(const SongListModel& list) const {
        QStringList out;
        for (int p = 0; p < list.count(); ++p)
            out << list.keyAt(p) + QStringLiteral("=") + list.cell(list.keyAt(p), 0);
        return shorten(out);
    }
    void addSongs(int count) {
        for (int i = 0; i < count; ++i)
            lib_->addSong(QString(QChar(u'a' + i)));
    }
    // The folder list's items top to bottom.
    static QList<QTreeWidgetItem*> folderItems(QTreeWidget* list) {
        QList<QTreeWidgetItem*> out;
        for (QTreeWidgetItemIterator it(list); *it; ++it)
            out << *it;
        return out;
    }
    // Activates the folder list's item as Enter does.
    static void enter(PickerBase& picker, QTreeWidgetItem* item) {
        picker.dirDir->setCurrentItem(item);
        QTest::keyClick(picker.dirDir, Qt::Key_Return);
    }

    // Answers the pickers the window opens: the folder picker walks
    // `folder` with its subfolders, the file picker selects every file
    // listed in `folder`; `cancel` cancels either.
    static void answerPickers(const QString& folder, bool cancel = false) {
        setModalHandler([folder, cancel](QDialog& dialog) {
            auto* picker = qobject_cast<PickerBase*>(&dialog);
            if (!picker) // a progress window, run to its end
                return dialog.exec();
            if (cancel) {
                picker->cmdCancel->click();
                return 0;
            }
            picker->setFolder(folder);
            if (auto* folders = qobject_cast<frmDirSelect*>(picker))
                folders->chkEXT->setChecked(true);
            if (auto* files = qobject_cast<frmFileSelect*>(picker))
                files->filFile->selectAll();
            picker->cmdOK->click();
            return 1;
        });
    }

private slots:
    void initTestCase() {
        for (const char* name :
             {"music/b.MP3", "music/a.mp3", "music/c.Wav", "music/x.ogg", "music/list.M3U",
              "music/y.m3u8", "music/.hidden.mp3", "music/Sub/d.aiff", "music/beta/e.mid",
              "music/.git/f.mp3", "music/beta/.cache/g.wav", "music/notes.txt", "empty/readme.txt",
              "songs/01.Intro.mp3", "songs/b.wav", "songs/sub/c.mid"})
            QVERIFY(diskfiles::write(path(QString::fromUtf8(name)), {}));
        QDir().mkpath(path(QStringLiteral("music/folder.mp3")));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(path(QStringLiteral("music/fifo.mp3"))).constData(), 0600),
            0);
        QVERIFY(diskfiles::write(path(QStringLiteral("lists/one.m3u")),
                                 "#EXTM3U\r\n../songs/b.wav\r\n"
                                 "../songs/01.Intro.mp3\r\n"));
        QVERIFY(
            diskfiles::write(path(QStringLiteral("lists/two.m3u")), "\x00\x01\x02 not a playlist"));
        QVERIFY(diskfiles::write(path(QStringLiteral("lists/three.m3u")),
                                 "../songs/sub/c.mid\n../songs/b.wav\n"));
    }
    void init() {
        presenter_.clear();
        lib_ = std::make_unique<TempLibrary>();
    }
    void cleanup() {
        setModalHandler({});
        lib_.reset();
    }

    // --- the pickers ---

    // The place whose root is the longest prefix, ending at a separator.
    void placesOfTheMachine() {
        const QList<Place> list = {{QStringLiteral("home"), QStringLiteral("/home/u")},
                                   {QStringLiteral("/"), QStringLiteral("/")},
                                   {QStringLiteral("usb"), QStringLiteral("/media/usb")}};
        QList<int> found;
        for (const char* folder :
             {"/home/u/music", "/home/u", "/home/user2", "/media/usb/x", "/media/usbx", "/"})
            found << places::placeOf(list, QString::fromUtf8(folder))
                  << places::placeOf({}, QString::fromUtf8(folder));
        QCOMPARE(found, QList<int>({0, -1, 0, -1, 1, -1, 2, -1, 1, -1, 1, -1}));
        QCOMPARE(places::ancestors(QStringLiteral("/a/b")),
                 L({QStringLiteral("/"), QStringLiteral("/a"), QStringLiteral("/a/b")}));
        QCOMPARE(places::ancestors(QStringLiteral("/")), L({QStringLiteral("/")}));
    }

    // Every picker opens at the stored folder, with the drive list on its
    // place; one that cannot be used opens at home, silently.
    void opensAtTheStoredFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("usable");
        QTest::newRow("usable") << path(QStringLiteral("music/beta")) << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("gone") << "/no/such/folder" << false;
        QTest::newRow("a file") << path(QStringLiteral("music/a.mp3")) << false;
    }
    void opensAtTheStoredFolder() {
        QFETCH(QString, folder);
        QFETCH(bool, usable);
        lib_->db().adoSetData(Write::SearchPath, {folder});
        const QString opened = usable ? folder : QDir::homePath();
        frmFileSelect files;
        frmDirSelect folders;
        frmFileNameSet name;
        frmDirSelectBas target;
        for (PickerBase* p : std::initializer_list<PickerBase*>{&files, &folders, &name, &target}) {
            QCOMPARE(p->folder(), opened);
            QCOMPARE(p->RetCode(), 0);
            QCOMPARE(p->drvDrive->currentIndex(), places::placeOf(places::machinePlaces(), opened));
        }
        QVERIFY(presenter_.boxes().isEmpty());
    }

    // Cancel stores nothing (the other tests show OK storing the folder);
    // a failed store shows the connector's box and the picker still
    // returns its result.
    void okStoresTheFolderCancelDoesNot() {
        frmFileSelect files;
        QVERIFY(files.setFolder(path(QStringLiteral("music"))));
        files.cmdCancel->click();
        QCOMPARE(files.RetCode(), 0);
        QCOMPARE(stored(), QString());
        lib_->db().adoSetData(
            Write::RunSql,
            {QStringLiteral("CREATE TRIGGER no_store BEFORE UPDATE ON TM_初期設定"
                            " BEGIN SELECT RAISE(ABORT, 'read-only settings'); END")});
        frmDirSelectBas target;
        QVERIFY(target.setFolder(path(QStringLiteral("empty"))));
        target.cmdOK->click();
        QCOMPARE(target.RetCode(), 1);
        QCOMPARE(target.frmDirSelBas_GetDirectory(), path(QStringLiteral("empty")));
        QCOMPARE(shown(presenter_), L({QStringLiteral("DBError|read-only settings")}));
    }

    // Patterns ignore case; hidden files, folders and pipes are not listed;
    // OK needs a file listed. The result keeps the list's order, whatever
    // the order of the clicks.
    void fileListFollowsTheFileType() {
        frmFileSelect picker;
        QVERIFY(picker.setFolder(path(QStringLiteral("music/beta"))));
        QCOMPARE(itemTexts(picker.filFile->model()), L({QStringLiteral("e.mid")}));
        picker.setFileType(1);
        QCOMPARE(itemTexts(picker.filFile->model()), L());
        QVERIFY(!picker.cmdOK->isEnabled());
        QVERIFY(picker.setFolder(path(QStringLiteral("music"))));
        QCOMPARE(itemTexts(picker.filFile->model()),
                 L({QStringLiteral("list.M3U"), QStringLiteral("y.m3u8")}));
        QVERIFY(picker.cmdOK->isEnabled());
        picker.setFileType(7); // any other value keeps the pattern
        QCOMPARE(itemTexts(picker.filFile->model()),
                 L({QStringLiteral("list.M3U"), QStringLiteral("y.m3u8")}));
        picker.setFileType(0);
        QCOMPARE(itemTexts(picker.filFile->model()),
                 L({QStringLiteral("a.mp3"), QStringLiteral("b.MP3"), QStringLiteral("c.Wav")}));
        for (int row : {2, 0})
            picker.filFile->selectionModel()->select(picker.filFile->model()->index(row, 0),
                                                     QItemSelectionModel::Select);
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmFilSel_GetFileList(),
                 L({path(QStringLiteral("music/a.mp3")), path(QStringLiteral("music/c.Wav"))}));
        QCOMPARE(stored(), path(QStringLiteral("music")));

        frmFileSelect none;
        none.cmdOK->click();
        QCOMPARE(none.RetCode(), 1);
        QCOMPARE(none.frmFilSel_GetFileList(), L());
    }

    // Links to pipes and devices are neither files nor folders; links to
    // files and folders are.
    void listsOnlyFilesAndFolders() {
        QTemporaryDir odd;
        const QString d = odd.path() + QStringLiteral("/");
        QVERIFY(diskfiles::write(d + QStringLiteral("real.mp3"), {}));
        QVERIFY(QDir().mkpath(d + QStringLiteral("sub")));
        QCOMPARE(::mkfifo(QFile::encodeName(d + QStringLiteral("fifo")).constData(), 0600), 0);
        const std::pair<const char*, QString> links[] = {
            {"fifo-link.mp3", d + QStringLiteral("fifo")},
            {"null-link.mp3", QStringLiteral("/dev/null")},
            {"null-folder", QStringLiteral("/dev/null")},
            {"file-link.mp3", d + QStringLiteral("real.mp3")},
            {"folder-link", d + QStringLiteral("sub")},
            {"broken.mp3", d + QStringLiteral("none.mp3")}};
        for (const auto& [name, target] : links)
            QVERIFY(QFile::link(target, d + QString::fromUtf8(name)));
        QCOMPARE(places::matchingFiles(odd.path(), QStringLiteral("*.mp3")),
                 L({QStringLiteral("file-link.mp3"), QStringLiteral("real.mp3")}));
        QStringList folders;
        QString error;
        QVERIFY(places::subfolders(odd.path(), folders, error));
        QCOMPARE(folders, L({QStringLiteral("folder-link"), QStringLiteral("sub")}));
        frmFileSelect picker;
        QVERIFY(picker.setFolder(odd.path()));
        QCOMPARE(itemTexts(picker.filFile->model()),
                 L({QStringLiteral("file-link.mp3"), QStringLiteral("real.mp3")}));
        QCOMPARE(picker.dirDir->currentItem()->childCount(), 2);
    }

    // OK takes the folder highlighted in the folder list (a single click)
    // as the picker's folder, its result and the stored folder; with
    // nothing highlighted, the folder listed. A highlighted folder that
    // went away is said, and the picker stays open.
    void okTakesTheHighlightedFolder_data() {
        QTest::addColumn<QString>("picker");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("highlight"); // "": none; "-": left as opened
        QTest::addColumn<QString>("result");    // "": stays open
        for (const char* picker : {"frmDirSelect", "frmFileNameSet", "frmDirSelectBas"}) {
            const QString p = QString::fromUtf8(picker);
            QTest::newRow(qPrintable(p + QStringLiteral(", subfolder"))) << p << "music"
                                                                         << "Sub"
                                                                         << "music/Sub";
            QTest::newRow(qPrintable(p + QStringLiteral(", parent"))) << p << "music/beta"
                                                                      << "music"
                                                                      << "music";
            QTest::newRow(qPrintable(p + QStringLiteral(", as opened"))) << p << "music/beta"
                                                                         << "-"
                                                                         << "music/beta";
            QTest::newRow(qPrintable(p + QStringLiteral(", none"))) << p << "music/beta"
                                                                    << ""
                                                                    << "music/beta";
            QTest::newRow(qPrintable(p + QStringLiteral(", gone"))) << p << "music/beta"
                                                                    << "gone"
                                                                    << "";
        }
    }
    void okTakesTheHighlightedFolder() {
        QFETCH(QString, picker);
        QFETCH(QString, start);
        QFETCH(QString, highlight);
        QFETCH(QString, result);
        QVERIFY(QDir().mkpath(path(QStringLiteral("music/beta/gone"))));
        const auto cleanUp = qScopeGuard(
            [this] { QDir(path(QStringLiteral("music/beta/gone"))).removeRecursively(); });
        lib_->db().adoSetData(Write::SearchPath, {path(start)});
        std::unique_ptr<PickerBase> p;
        if (picker == QStringLiteral("frmDirSelect"))
            p = std::make_unique<frmDirSelect>();
        else if (picker == QStringLiteral("frmFileNameSet"))
            p = std::make_unique<frmFileNameSet>();
        else
            p = std::make_unique<frmDirSelectBas>();
        p->show();
        QCOMPARE(p->folder(), path(start));
        if (auto* name = qobject_cast<frmFileNameSet*>(p.get()))
            name->txtFileName->setText(QStringLiteral("list.m3u"));
        if (highlight.isEmpty()) {
            p->dirDir->clearSelection();
        } else if (highlight != QStringLiteral("-")) {
            const auto items =
                p->dirDir->findItems(highlight, Qt::MatchExactly | Qt::MatchRecursive);
            QCOMPARE(items.size(), 1);
            const QRect at = p->dirDir->visualItemRect(items[0]);
            QTest::mouseClick(p->dirDir->viewport(), Qt::LeftButton, {}, at.center());
            QCOMPARE(p->dirDir->selectedItems(), items);
            QCOMPARE(p->folder(), path(start)); // a click only highlights
        }
        if (highlight == QStringLiteral("gone"))
            QDir(path(QStringLiteral("music/beta/gone"))).removeRecursively();
        p->cmdOK->click();
        if (result.isEmpty()) {
            QCOMPARE(p->RetCode(), 0);
            QVERIFY(p->isVisible());
            QCOMPARE(shown(presenter_).size(), 1);
            QVERIFY(presenter_.boxes()[0].text.contains(path(QStringLiteral("music/beta/gone"))));
            QCOMPARE(stored(), path(start));
            return;
        }
        QCOMPARE(p->RetCode(), 1);
        QCOMPARE(p->folder(), path(result));
        QCOMPARE(stored(), path(result));
        if (auto* folders = qobject_cast<frmDirSelect*>(p.get()))
            QCOMPARE(QFileInfo(folders->frmDirSel_GetFileList().value(0)).path(), path(result));
        if (auto* name = qobject_cast<frmFileNameSet*>(p.get()))
            QCOMPARE(name->frmFilSet_GetFile(), path(result + QStringLiteral("/list.m3u")));
        if (auto* target = qobject_cast<frmDirSelectBas*>(p.get()))
            QCOMPARE(target->frmDirSelBas_GetDirectory(), path(result));
    }

    // The folder list holds the ancestors, each one step further in, then
    // the subfolders by name one step more; the user walks into a
    // subfolder and back out with Enter, or to a place (home, the first)
    // from the drive list.
    // A folder that went away gives its message, and the lists stay.
    void folderListWalksInAndOut() {
        frmFileSelect picker;
        QVERIFY(picker.setFolder(path(QStringLiteral("music"))));
        const int depth = int(places::ancestors(path(QStringLiteral("music"))).size());
        const auto tree = [&picker, depth] {
            QStringList out;
            for (QTreeWidgetItem* item : folderItems(picker.dirDir)) {
                int indent = -depth;
                for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
                    ++indent;
                out << QString::number(indent) + u' ' + item->text(0);
            }
            return out;
        };
        QCOMPARE(tree().first(), QString::number(-depth) + QStringLiteral(" /"));
        QCOMPARE(tree().mid(depth - 2),
                 L({QStringLiteral("-2 ") + QFileInfo(dir_.path()).fileName(),
                    QStringLiteral("-1 music"), QStringLiteral("0 beta"),
                    QStringLiteral("0 folder.mp3"), QStringLiteral("0 Sub")}));
        QCOMPARE(picker.dirDir->currentItem(), folderItems(picker.dirDir)[depth - 1]);

        enter(picker, folderItems(picker.dirDir)[depth + 2]);
        QCOMPARE(picker.folder(), path(QStringLiteral("music/Sub")));
        QCOMPARE(itemTexts(picker.filFile->model()), L({QStringLiteral("d.aiff")}));
        enter(picker, folderItems(picker.dirDir)[depth - 2]);
        QCOMPARE(picker.folder(), dir_.path());
        QVERIFY(presenter_.boxes().isEmpty());

        QDir().mkpath(path(QStringLiteral("gone")));
        QVERIFY(picker.setFolder(dir_.path()));
        const auto gone =
            picker.dirDir->findItems(QStringLiteral("gone"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(gone.size(), 1);
        QDir(path(QStringLiteral("gone"))).removeRecursively();
        enter(picker, gone[0]);
        QCOMPARE(picker.folder(), dir_.path());
        QCOMPARE(presenter_.boxes().size(), 1);
        QVERIFY(presenter_.boxes()[0].text.contains(path(QStringLiteral("gone"))));

        picker.drvDrive->setCurrentIndex(0);
        emit picker.drvDrive->activated(0);
        QCOMPARE(picker.folder(), QDir::homePath());
    }

    // A dot file is still a file; dot folders, pipes and folders named like
    // music are not. A grayed check box counts as unchecked.
    void folderWalkTakesSubfoldersWhenAsked_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("check");
        QTest::addColumn<QStringList>("found");
        const L top = {QStringLiteral(".hidden.mp3"), QStringLiteral("a.mp3"),
                       QStringLiteral("b.MP3"), QStringLiteral("c.Wav")};
        QTest::newRow("unchecked") << "music" << int(Qt::Unchecked) << top;
        QTest::newRow("grayed") << "music" << int(Qt::PartiallyChecked) << top;
        QTest::newRow("checked") << "music" << int(Qt::Checked)
                                 << L{QStringLiteral(".hidden.mp3"), QStringLiteral("a.mp3"),
                                      QStringLiteral("b.MP3"),       QStringLiteral("beta/e.mid"),
                                      QStringLiteral("c.Wav"),       QStringLiteral("Sub/d.aiff")};
        QTest::newRow("no music") << "empty" << int(Qt::Checked) << L{};
    }
    void folderWalkTakesSubfoldersWhenAsked() {
        QFETCH(QString, folder);
        QFETCH(int, check);
        QFETCH(QStringList, found);
        frmDirSelect picker;
        QVERIFY(!picker.chkEXT->isChecked());
        QVERIFY(picker.setFolder(path(folder)));
        picker.chkEXT->setTristate(true);
        picker.chkEXT->setCheckState(Qt::CheckState(check));
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        for (QString& name : found)
            name = path(QStringLiteral("music/") + name);
        QCOMPARE(picker.frmDirSel_GetFileList(), found);
        QCOMPARE(stored(), path(folder));
        QCOMPARE(picker.windowTitle(), QStringLiteral("ファイル選択"));
        QVERIFY(picker.cmdOK->isEnabled() && picker.dirDir->isEnabled());
    }

    // Cancel during the walk stops it: nothing is returned and the picker
    // stays open, ready for another walk. The close box stops it and closes.
    void cancelStopsTheWalk_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelStopsTheWalk() {
        QFETCH(bool, closeBox);
        const int previous = SetSearchFilesYieldInterval(0);
        const auto restore = qScopeGuard([previous] { SetSearchFilesYieldInterval(previous); });
        frmDirSelect picker;
        picker.show();
        QVERIFY(picker.setFolder(path(QStringLiteral("music"))));
        picker.chkEXT->setChecked(true);
        // Caption, whether OK and Cancel are enabled, and whether the walk's
        // dialog is modal to the picker.
        QStringList during;
        setLongWorkWatcher([&](QDialog& dialog, WorkProgress&) {
            if (!during.isEmpty())
                return; // the next walk runs in full
            during << picker.windowTitle() << QString::number(picker.cmdOK->isEnabled())
                   << QString::number(picker.cmdCancel->isEnabled())
                   << QString::number(dialog.parent() == &picker &&
                                      QApplication::activeModalWidget() == &dialog);
            closeBox ? void(picker.close()) : picker.cmdCancel->click();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        picker.cmdOK->click();
        QCOMPARE(during, L({QStringLiteral("処理中..."), QStringLiteral("0"), QStringLiteral("1"),
                            QStringLiteral("1")}));
        QCOMPARE(picker.RetCode(), 0);
        QCOMPARE(picker.frmDirSel_GetFileList(), L());
        QCOMPARE(picker.isVisible(), !closeBox);
        if (closeBox)
            return;
        QCOMPARE(picker.lblProgress->text(), QStringLiteral("検索を中止しました"));
        QCOMPARE(picker.windowTitle(), QStringLiteral("ファイル選択"));
        // The next OK walks in full.
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmDirSel_GetFileList().size(), 6);
    }

    // Names that are not valid text are left out, and the walk says so.
    void walkSummaryNamesWhatWasLeftOut() {
        QTemporaryDir odd;
        const QByteArray raw = QFile::encodeName(odd.path());
        const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(raw.constData()); });
        QVERIFY(diskfiles::write(odd.path() + QStringLiteral("/ok.mp3"), {}));
        QVERIFY(std::ofstream((raw + "/bad\xff.mp3").toStdString()));
        frmDirSelect picker;
        QVERIFY(picker.setFolder(odd.path()));
        picker.cmdOK->click();
        QCOMPARE(picker.RetCode(), 1);
        QCOMPARE(picker.frmDirSel_GetFileList(), L({odd.path() + QStringLiteral("/ok.mp3")}));
        QCOMPARE(shown(presenter_),
                 L({QStringLiteral(
                        "Melodara Player|名前の文字を読み取れない 1 個のファイルまたはフォルダは"
                        "追加しませんでした。\n  ") +
                    odd.path() + QStringLiteral("/bad\uFFFD.mp3")}));
    }

    void fileNameIsTrimmedAndRequired_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name"); // empty: refused with message 22
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("spaces only") << "   " << QString();
        QTest::newRow("full-width spaces only") << "　　" << QString();
        QTest::newRow("surrounding spaces") << "  list.m3u  " << QStringLiteral("list.m3u");
        QTest::newRow("no extension") << "list" << QStringLiteral("list");
        QTest::newRow("japanese") << "　お気に入り　" << QStringLiteral("お気に入り");
    }
    void fileNameIsTrimmedAndRequired() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        frmFileNameSet picker;
        picker.show();
        QVERIFY(picker.setFolder(path(QStringLiteral("empty"))));
        picker.txtFileName->setText(typed);
        picker.cmdOK->click();
        const bool refused = name.isEmpty();
        QCOMPARE(shown(presenter_),
                 refused ? L{QStringLiteral("Melodara Player|ファイル名を設定して下さい")} : L());
        QCOMPARE(picker.RetCode(), refused ? 0 : 1);
        QCOMPARE(picker.isVisible(), refused);
        QCOMPARE(stored(), refused ? QString() : path(QStringLiteral("empty")));
        QCOMPARE(picker.frmFilSet_GetFile(),
                 refused ? QString() : path(QStringLiteral("empty/") + name));
    }

    // --- the library window ---

    // A path already listed, registered or pending, is skipped; message 8
    // once per call however many were skipped.
    void appendSkipsListedPaths() {
        addSongs(1);
        const QString registered = lib_->folder() + QStringLiteral("/music/a.mp3");
        SongListModel list;
        LibraryFiles files(list);
        QVERIFY(files.load());
        QList<int> added; // each call's count, then the boxes shown so far
        for (const L& paths : {L{QStringLiteral("/n/1.mp3"), registered, QStringLiteral("/n/1.mp3"),
                                 QStringLiteral("/n/2.mp3"), registered},
                               L{QStringLiteral("/n/2.mp3")}, L{QStringLiteral("/n/3.mp3")}, L{}})
            added << files.append(paths) << int(presenter_.boxes().size());
        QCOMPARE(added, QList<int>({2, 1, 0, 2, 1, 2, 0, 2}));
        QCOMPARE(rows(list),
                 L({QStringLiteral("Key_1=~/music/a.mp3"), QStringLiteral("/n/1.mp3=/n/1.mp3"),
                    QStringLiteral("/n/2.mp3=/n/2.mp3"), QStringLiteral("/n/3.mp3=/n/3.mp3")}));
        QCOMPARE(shown(presenter_), L({kMessage8, kMessage8}));
        QCOMPARE(presenter_.boxes()[0].style, 0);
        // A reload forgets the pending files but still knows the registered.
        QVERIFY(files.load());
        QCOMPARE(files.append({QStringLiteral("/n/1.mp3"), registered}), 1);
        QCOMPARE(presenter_.boxes().size(), 3);
        // Deleting passes pending files over.
        QVERIFY(files.deleteSongs({QStringLiteral("/n/1.mp3"), QStringLiteral("Key_1")}));
        QVERIFY(rows(list).isEmpty() && songs().isEmpty());
    }

    // A cancelled write, or one that fails half-way (a statement refused,
    // the disk full), leaves the library as it was, with the files pending.
    void unfinishedRegistrationLeavesTheLibrary_data() {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("boxes");
        QTest::newRow("cancelled") << "" << 1200 << 0;
        QTest::newRow("refused row") << "CREATE TRIGGER refuse BEFORE INSERT ON TM_曲情報"
                                        " WHEN NEW.ファイルパス LIKE '%/600.mp3'"
                                        " BEGIN SELECT RAISE(ABORT, 'refused'); END"
                                     << 1000 << 1;
        QTest::newRow("disk full") << "PRAGMA max_page_count = 1" << 5000 << 1;
    }
    void unfinishedRegistrationLeavesTheLibrary() {
        QFETCH(QString, sabotage);
        QFETCH(int, files);
        addSongs(1);
        QVERIFY(sabotage.isEmpty() || lib_->db().adoSetData(Write::RunSql, {sabotage}));
        SongListModel list;
        LibraryFiles library(list);
        QVERIFY(library.load());
        QStringList paths;
        for (int i = 0; i < files; ++i)
            paths << QStringLiteral("/m/long/folder/name/for/the/pages/%1.mp3").arg(i);
        library.append(paths);
        // Only the cancelled write is ever told no.
        QVERIFY(
            !library.registerPending([&](int done, int) { return files != 1200 || done < 1000; }));
        QTEST(int(presenter_.boxes().size()), "boxes");
        for (const ScriptedPresenter::Box& box : presenter_.boxes())
            QCOMPARE(box.title, QStringLiteral("DBError"));
        QCOMPARE(songs(), L({QStringLiteral("~/music/a.mp3|a")}));
        QCOMPARE(library.pendingCount(), files);
        QVERIFY(!library.Registed());
    }

    // Each add command run twice: the second adds nothing and says so once
    // (a playlist that is not one adds nothing and says nothing). Deleting
    // is disabled from the first add on. OK registers what is pending, with
    // titles up to the first dot; a cancelled progress writes nothing and
    // keeps the window open for the next OK; Cancel and the close box
    // write nothing.
    void addCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Finish>("finish");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("added"); // "path|title"
        QTest::addColumn<int>("messages");
        const L songs = {QStringLiteral("songs/01.Intro.mp3|01"), QStringLiteral("songs/b.wav|b"),
                         QStringLiteral("songs/sub/c.mid|c")};
        const L playlists = {songs[1], songs[0], songs[2]}; // one.m3u, then three.m3u
        QTest::newRow("files") << "mnuFile_AddFile" << Ok << "songs" << songs.mid(0, 2) << 1;
        QTest::newRow("folder") << "mnuFile_AddDirectory" << Ok << "songs" << songs << 1;
        QTest::newRow("playlists") << "mnuFile_AddM3u" << Ok << "lists" << playlists << 2;
        QTest::newRow("picker cancelled") << "mnuFile_AddFile" << Ok << "" << L{} << 0;
        QTest::newRow("progress cancelled")
            << "mnuFile_AddDirectory" << ProgressCancelled << "songs" << songs << 1;
        QTest::newRow("window cancelled")
            << "mnuFile_AddDirectory" << Cancel << "songs" << songs << 1;
        QTest::newRow("close box") << "mnuFile_AddDirectory" << CloseBox << "songs" << songs << 1;
    }
    void addCommands() {
        QFETCH(QString, command);
        QFETCH(Finish, finish);
        QFETCH(QString, folder);
        QFETCH(QStringList, added);
        QFETCH(int, messages);
        addSongs(1);
        frmMelodara w;
        answerPickers(path(folder), folder.isEmpty());
        for (int i = 0; i < 2; ++i)
            w.findChild<QAction*>(command)->trigger();
        QStringList listed = {QStringLiteral("Key_1=~/music/a.mp3")};
        for (const QString& file : added)
            listed << file.section(u'|', 0, 0) + QStringLiteral("=") + file.section(u'|', 0, 0);
        QCOMPARE(rows(w.lvFileList->songs()), listed);
        QCOMPARE(shown(presenter_), L(messages, kMessage8));
        QVERIFY(!w.mnuFile_DeleteFile->isEnabled());
        QVERIFY(w.mnuFile_AddFile->isEnabled() && w.mnuFile_AddDirectory->isEnabled() &&
                w.mnuFile_AddM3u->isEnabled());

        w.show();
        if (finish == ProgressCancelled) {
            ConnectionHold hold(lib_->db());
            setLongWorkWatcher([&hold](QDialog& dialog, WorkProgress&) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
                hold.release();
            });
            const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
            w.cmdClose->click();
            QVERIFY(w.isVisible());
            QCOMPARE(rows(w.lvFileList->songs()), listed);
            QCOMPARE(songs(), L{QStringLiteral("~/music/a.mp3|a")});
            QVERIFY(!w.Registed());
        }
        if (finish == Ok || finish == ProgressCancelled)
            w.cmdClose->click();
        else
            finish == Cancel ? w.cmdCancel->click() : void(w.close());
        QVERIFY(!w.isVisible());
        const bool registers = finish <= ProgressCancelled && !added.isEmpty();
        QCOMPARE(w.result(),
                 int(finish <= ProgressCancelled ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(w.Registed(), registers);
        QCOMPARE(songs(), L{QStringLiteral("~/music/a.mp3|a")} + (registers ? added : L()));
        QCOMPARE(w.LoadCount(), registers ? 1 + added.size() : 1);
    }

    // While OK writes, the window takes no second write: a second OK is
    // refused, and files an M3U add brings meanwhile stay pending for the
    // next OK. Every file is written once, with its path and its title.
    void commandsDuringRegistration() {
        addSongs(1);
        QVERIFY(diskfiles::write(path(QStringLiteral("extra/n.wav")), {}));
        QVERIFY(diskfiles::write(path(QStringLiteral("more/new.m3u")), "../extra/n.wav\n"));
        frmMelodara w;
        answerPickers(path(QStringLiteral("songs")));
        w.mnuFile_AddDirectory->trigger();
        w.show();
        ConnectionHold hold(lib_->db());
        QStringList during;
        setLongWorkWatcher([&](QDialog& dialog, WorkProgress&) {
            during << QString::number(dialog.isVisible()) << QString::number(w.isVisible());
            answerPickers(path(QStringLiteral("more")));
            w.cmdClose->click();
            w.mnuFile_AddM3u->trigger();
            during << QString::number(w.lvFileList->songs().count());
            hold.release();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        w.cmdClose->click();
        QCOMPARE(during, L({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("5")}));
        QVERIFY(w.isVisible());
        QCOMPARE(songs(),
                 L({QStringLiteral("~/music/a.mp3|a"), QStringLiteral("songs/01.Intro.mp3|01"),
                    QStringLiteral("songs/b.wav|b"), QStringLiteral("songs/sub/c.mid|c")}));
        QVERIFY(w.Registed());
        QCOMPARE(w.LoadCount(), 4);
        QCOMPARE(rows(w.lvFileList->songs()).last(), QStringLiteral("extra/n.wav=extra/n.wav"));
        setLongWorkWatcher({});
        w.cmdClose->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(songs().last(), QStringLiteral("extra/n.wav|n"));
        QCOMPARE(
            librarytest::rows(
                *lib_, QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT ファイルパス) FROM"
                                      " TM_曲情報 WHERE ファイルパス <> '' AND タイトル <> ''")),
            L{QStringLiteral("5:5")});
        QCOMPARE(shown(presenter_), L());
    }

    // The re-read command takes the tags of the selected registered songs
    // (pending files are passed over) and reports a change; with nothing
    // registered selected it does nothing.
    void rereadCommand() {
        addSongs(2);
        QVERIFY(taggedfiles::writeMp3(
            path(QStringLiteral("tagged/a.mp3")),
            {QStringLiteral("Tagged"), QStringLiteral("Alice"), {QStringLiteral("Pop")}}, 4,
            taggedfiles::Text::Utf8));
        lib_->db().adoSetData(Write::RunSql,
                              {QStringLiteral("UPDATE TM_曲情報 SET ファイルパス = '") +
                               path(QStringLiteral("tagged/a.mp3")) +
                               QStringLiteral("' WHERE ID = 2")});
        frmMelodara w;
        QCOMPARE(w.mnuFile_ReadTags->text(), QStringLiteral("タグから曲情報を再読込(&T)"));
        answerPickers(path(QStringLiteral("songs")));
        w.mnuFile_AddFile->trigger();
        w.lvFileList->selectKey(path(QStringLiteral("songs/b.wav")));
        w.mnuFile_ReadTags->trigger();
        QVERIFY(!w.Registed());
        w.lvFileList->selectKey(QStringLiteral("Key_2"), true);
        w.mnuFile_ReadTags->trigger();
        QVERIFY(w.Registed());
        QCOMPARE(songs(),
                 L({QStringLiteral("~/music/a.mp3|a"), QStringLiteral("tagged/a.mp3|Tagged")}));
        QCOMPARE(librarytest::songNames(*lib_, 2), QStringLiteral("Pop/-/- Alice"));
        QCOMPARE(shown(presenter_), L());
    }

    // Paths dropped on the window go in as the add command of their kind
    // adds them: music files, folders with their subfolders, playlist
    // entries, in the order dropped; anything else adds nothing. A kind
    // whose command a deletion disabled adds nothing; duplicates of the
    // whole drop are told once; a cancelled walk adds nothing at all.
    void droppedPaths_data() {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("afterDeletion");
        QTest::addColumn<bool>("cancelWalk");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<int>("messages");
        const L mix = {QStringLiteral("songs/b.wav"), QStringLiteral("lists/three.m3u"),
                       QStringLiteral("music/notes.txt"), QStringLiteral("missing.mp3"),
                       QStringLiteral("songs")};
        QTest::newRow("file, playlist, folder")
            << mix << false << false
            << L{QStringLiteral("songs/b.wav"), QStringLiteral("songs/sub/c.mid"),
                 QStringLiteral("songs/01.Intro.mp3")}
            << 1;
        QTest::newRow("after a deletion: the playlist alone")
            << mix << true << false
            << L{QStringLiteral("songs/sub/c.mid"), QStringLiteral("songs/b.wav")} << 0;
        QTest::newRow("walk cancelled") << mix << false << true << L{} << 0;
        QTest::newRow("nothing usable")
            << L{QStringLiteral("music/notes.txt"), QStringLiteral("empty")} << false << false
            << L{} << 0;
    }
    void droppedPaths() {
        QFETCH(QStringList, dropped);
        QFETCH(bool, afterDeletion);
        QFETCH(bool, cancelWalk);
        QFETCH(QStringList, added);
        QFETCH(int, messages);
        const int previous = SetSearchFilesYieldInterval(0);
        const auto restore = qScopeGuard([previous] { SetSearchFilesYieldInterval(previous); });
        addSongs(1);
        frmMelodara w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (afterDeletion) {
            presenter_.answer(msgbox::Ok);
            w.mnuFile_DeleteFile->trigger();
            presenter_.clear();
        }
        setLongWorkWatcher([cancelWalk](QDialog&, WorkProgress& progress) {
            if (cancelWalk)
                progress.cancel();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        QList<QUrl> urls;
        for (const QString& name : dropped)
            urls << QUrl::fromLocalFile(path(name));
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QStringList listed = {QStringLiteral("Key_1=~/music/a.mp3")};
        for (const QString& file : added)
            listed << file + QStringLiteral("=") + file;
        // Queued after the drop: deleting is disabled once it is done.
        QTRY_VERIFY(!w.mnuFile_DeleteFile->isEnabled());
        QVERIFY(!w.frmMld_Busy());
        QCOMPARE(rows(w.lvFileList->songs()), listed);
        QCOMPARE(shown(presenter_), L(messages, kMessage8));
        QCOMPARE(w.findChildren<QProgressDialog*>(QStringLiteral("dlgWalkProgress")).size(), 0);
    }

    // Playlists add what they name and then say, once, how many entries
    // were not found, naming five. Long ones (here 100,000 lines) are read
    // behind a progress window; cancelled, they add nothing.
    void playlistsSayWhatWasMissing_data() {
        QTest::addColumn<QStringList>("playlists");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("progress"); // windows shown; -1 only if the disk is slow
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("messages");
        const QString missingOf =
            QStringLiteral("Melodara Player|プレイリストの %1 件の項目は、ファイルが見つ"
                           "からないため追加しませんでした。\n");
        // The picker gives the playlists in its list's order.
        QTest::newRow("two playlists")
            << L{QStringLiteral("a.m3u"), QStringLiteral("b.m3u")} << false << -1
            << L{QStringLiteral("songs/b.wav"), QStringLiteral("songs/sub/c.mid")}
            << L{missingOf.arg(7) +
                 QStringLiteral("  x1.mp3\n  C:\\x2.mp3\n  x3.mp3\n  y1.mp3\n  y2.mp3\n  …")};
        QTest::newRow("one playlist")
            << L{QStringLiteral("b.m3u")} << false << -1 << L{QStringLiteral("songs/sub/c.mid")}
            << L{missingOf.arg(4) + QStringLiteral("  y1.mp3\n  y2.mp3\n  y3.mp3\n  y4.mp3")};
        QTest::newRow("long") << L{QStringLiteral("a.m3u"), QStringLiteral("long.m3u")} << false
                              << 1 << L{QStringLiteral("songs/b.wav")}
                              << L{missingOf.arg(100003) +
                                   QStringLiteral("  x1.mp3\n  C:\\x2.mp3\n  x3.mp3\n"
                                                  "  gone/00000.mp3\n  gone/00001.mp3\n  …")};
        QTest::newRow("long, cancelled")
            << L{QStringLiteral("a.m3u"), QStringLiteral("long.m3u")} << true << 1 << L{} << L{};
    }
    void playlistsSayWhatWasMissing() {
        QFETCH(QStringList, playlists);
        QFETCH(bool, cancel);
        QFETCH(QStringList, added);
        QTemporaryDir lists;
        QVERIFY(diskfiles::write(lists.filePath(QStringLiteral("a.m3u")),
                                 "x1.mp3\n" + path(QStringLiteral("songs/b.wav")).toUtf8() +
                                     "\nC:\\x2.mp3\n#EXTINF:1,t\nx3.mp3\n"));
        QVERIFY(diskfiles::write(lists.filePath(QStringLiteral("b.m3u")),
                                 "y1.mp3\ny2.mp3\n" +
                                     path(QStringLiteral("songs/sub/c.mid")).toUtf8() +
                                     "\ny3.mp3\ny4.mp3\n"));
        QByteArray text;
        for (int i = 0; i < 100000; ++i)
            text += QByteArray::number(i).rightJustified(5, '0').prepend("gone/") + ".mp3\n";
        QVERIFY(diskfiles::write(lists.filePath(QStringLiteral("long.m3u")), text));
        int shownProgress = 0;
        setModalHandler([&](QDialog& dialog) {
            if (auto* reading = qobject_cast<frmM3uProgress*>(&dialog)) {
                ++shownProgress;
                if (cancel)
                    reading->cmdCancel->click();
                return dialog.exec();
            }
            auto* picker = qobject_cast<frmFileSelect*>(&dialog);
            picker->setFolder(lists.path());
            for (const QString& name : playlists) {
                const int row = int(itemTexts(picker->filFile->model()).indexOf(name));
                picker->filFile->selectionModel()->select(picker->filFile->model()->index(row, 0),
                                                          QItemSelectionModel::Select);
            }
            picker->cmdOK->click();
            return 1;
        });
        frmMelodara w;
        w.mnuFile_AddM3u->trigger();
        QStringList listed;
        for (const QString& file : added)
            listed << file + QStringLiteral("=") + file;
        QCOMPARE(rows(w.lvFileList->songs()), listed);
        QFETCH(int, progress);
        if (progress >= 0)
            QCOMPARE(shownProgress, progress);
        QTEST(shown(presenter_), "messages");
    }

    // A deletion asks first; once made (even when the engine refuses it,
    // all or nothing) it disables adding files and folders but not
    // playlists, and is reported even when the close box follows. Album
    // rows of deleted songs go with them. The write runs behind a progress
    // dialog modal to the window; its Cancel deletes nothing.
    void deletion_data() {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("albumRows");
        const L all = {QStringLiteral("Key_1=~/music/a.mp3"), QStringLiteral("Key_2=~/music/b.mp3"),
                       QStringLiteral("Key_3=~/music/c.mp3")};
        const QString keep3 =
            QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON TM_曲情報 WHEN OLD.ID = 3"
                           " BEGIN SELECT RAISE(ABORT, 'kept'); END");
        QTest::newRow("confirmed") << L{QStringLiteral("Key_1"), QStringLiteral("Key_3")}
                                   << int(msgbox::Ok) << false << "" << L{all[1]} << 1;
        QTest::newRow("refused") << L{QStringLiteral("Key_1"), QStringLiteral("Key_3")}
                                 << int(msgbox::Ok) << false << keep3 << all << 2;
        QTest::newRow("cancelled in the progress dialog")
            << L{QStringLiteral("Key_1"), QStringLiteral("Key_3")} << int(msgbox::Ok) << true << ""
            << all << 2;
        QTest::newRow("answered cancel")
            << L{QStringLiteral("Key_1")} << int(msgbox::Cancel) << false << "" << all << 2;
        QTest::newRow("nothing selected") << L{} << int(msgbox::Ok) << false << "" << all << 2;
    }
    void deletion() {
        QFETCH(QStringList, selected);
        QFETCH(int, answer);
        QFETCH(bool, cancel);
        QFETCH(QString, sabotage);
        QFETCH(QStringList, left);
        addSongs(3);
        lib_->db().adoSetData(Write::AddAlbumSong,
                              {QStringLiteral("Best"), QStringLiteral("2"), QStringLiteral("1")});
        lib_->db().adoSetData(Write::AddAlbumSong,
                              {QStringLiteral("Best"), QStringLiteral("3"), QStringLiteral("2")});
        QVERIFY(sabotage.isEmpty() || lib_->db().adoSetData(Write::RunSql, {sabotage}));
        frmMelodara w;
        for (const QString& key : selected)
            w.lvFileList->selectKey(key, true);
        presenter_.answer(answer);
        QList<bool> modal;
        setLongWorkWatcher([&](QDialog& dialog, WorkProgress& progress) {
            modal << (dialog.parent() == &w && QApplication::activeModalWidget() == &dialog);
            if (cancel)
                progress.cancel();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        w.mnuFile_DeleteFile->trigger();
        QCOMPARE(modal, answer == msgbox::Ok ? QList<bool>{true} : QList<bool>{});
        QCOMPARE(shown(presenter_),
                 L({QStringLiteral("Melodara Player|選択中の曲をデータベースから削除します")}) +
                     (sabotage.isEmpty() ? L() : L{QStringLiteral("DBError|kept")}));
        QCOMPARE(presenter_.boxes()[0].style, 1);
        QCOMPARE(rows(w.lvFileList->songs()), left);
        QCOMPARE(songs().size(), left.size());
        QCOMPARE(w.LoadCount(), left.size());
        Recordset album;
        lib_->db().adoGetData(Read::AlbumSongs, album, QStringLiteral("Best"));
        QTEST(album.RecordCount(), "albumRows");
        const bool deleted = answer == msgbox::Ok;
        QCOMPARE(w.mnuFile_AddFile->isEnabled(), !deleted);
        QCOMPARE(w.mnuFile_AddDirectory->isEnabled(), !deleted);
        QVERIFY(w.mnuFile_AddM3u->isEnabled() && w.mnuFile_DeleteFile->isEnabled());
        w.show();
        w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.Registed(), deleted);
    }

    // The layout rule: below 434 x 330 nothing moves.
    void layoutFollowsTheClientSize() {
        frmMelodara w;
        const auto placed = [&w] {
            return QList<QRect>{w.lvFileList->geometry(), w.linLine->geometry(),
                                w.cmdCancel->geometry(), w.cmdClose->geometry(),
                                QRect(0, 0, w.lvFileList->columnWidth(0), 0)};
        };
        const QList<QRect> at600x400 = {QRect(8, 28, 585, 320), QRect(8, 355, 585, 2),
                                        QRect(500, 370, 90, 26), QRect(400, 370, 90, 26),
                                        QRect(0, 0, 570, 0)};
        w.layoutControls(600, 400);
        QCOMPARE(placed(), at600x400);
        w.layoutControls(433, 500);
        w.layoutControls(700, 329);
        QCOMPARE(placed(), at600x400);
        w.layoutControls(434, 330);
        QCOMPARE(placed(), QList<QRect>({QRect(8, 28, 419, 250), QRect(8, 285, 419, 2),
                                         QRect(334, 300, 90, 26), QRect(234, 300, 90, 26),
                                         QRect(0, 0, 404, 0)}));
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
