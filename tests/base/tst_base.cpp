// The base layer every subsystem stands on: the message catalogue and the
// box that shows its messages, music file names and titles, the folder
// walk, combo selection and text folding.

#include "base/combohelpers.h"
#include "base/filehelpers.h"
#include "base/largememory.h"
#include "base/longwork.h"
#include "base/messageboxpresenter.h"
#include "base/messagecatalogue.h"
#include "base/programfolders.h"
#include "base/textfold.h"
#include "base/twips.h"
#include "base/utf8.h"
#include "diskfiles.h"
#include "scriptedpresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <vector>

#include <sys/stat.h>

namespace {

// One whole search: the walk, then the reset of the running count.
QStringList search(const QString& folder, bool recurse, SearchWatch* watch = nullptr) {
    QStringList files;
    SearchFiles(folder, files, recurse, watch);
    SearchFiles(QString(), files, recurse);
    return files;
}

QStringList under(const QString& folder, QStringList names) {
    for (QString& name : names)
        name.prepend(folder + QStringLiteral("/"));
    return names;
}

} // namespace

class TestBase : public QObject {
    Q_OBJECT

private slots:
    // Events run, and the watch hears the walk, after every entry.
    void init() { SetSearchFilesYieldInterval(0); }

    void twipsAndPixels() {
        // 1440 twips are an inch.
        QCOMPARE(twipsToPixels(1440, 120), 120);
        QCOMPARE(pixelsToTwips(150, 120), 1800.0);
    }

    // Every test runs in test mode: settings go below "~/.qttest".
    void testsKeepOutOfTheUsersSettings() {
        QVERIFY(QStandardPaths::isTestModeEnabled());
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                 QDir::homePath() + QStringLiteral("/.qttest/config"));
    }

    // Every text exactly, 8 and 9 with CR LF between their sentences, and
    // nothing on either side of the catalogue.
    void textOfEveryEntry() {
        QStringList texts;
        for (int number = -1; number <= 29; ++number)
            texts << MessageText(number);
        QCOMPARE(
            texts,
            QStringList(
                {QStringLiteral(""),
                 QStringLiteral("システムの初期化に失敗しました。アプリケーションを終了します。"),
                 QStringLiteral("画面の初期化に失敗しました"),
                 QStringLiteral("選択中のアルバムを削除します。"),
                 QStringLiteral("選択中の曲は既に追加されています"),
                 QStringLiteral("アルバム名称を入力して下さい"),
                 QStringLiteral("曲をアルバムリストに追加して下さい"),
                 QStringLiteral("アルバムの作成に失敗しました"),
                 QStringLiteral("同じ名前のアルバムが既に存在します"),
                 QStringLiteral("選択された１つ以上のファイルが既にリストに追加されています。\r\n"
                                "追加されていないファイルのみをリストに追加します。"),
                 QStringLiteral("Melodaraを更新しました。\r\n設定は再起動後に反映されます。"),
                 QStringLiteral("選択中のセットリストを削除します"),
                 QStringLiteral("選曲条件を設定して下さい"),
                 QStringLiteral("セットリスト名称を入力して下さい"),
                 QStringLiteral("同じ名前のセットリストが既に存在します"),
                 QStringLiteral("セットリストの作成に失敗しました"),
                 QStringLiteral("表示設定の更新に失敗しました"),
                 QStringLiteral("カテゴリの更新に失敗しました"),
                 QStringLiteral("曲の再生に失敗しました"),
                 QStringLiteral("「ALL」セットリストは削除できません"),
                 QStringLiteral("ジャンルの指定は最大３つまで可能です"),
                 QStringLiteral("「ALL」セットリストは編集できません"),
                 QStringLiteral("選択中の曲をデータベースから削除します"),
                 QStringLiteral("ファイル名を設定して下さい"),
                 QStringLiteral("現在のセットリストをm3uファイルとして書き出します"),
                 QStringLiteral("m3uファイル書き出しに失敗しました"),
                 QStringLiteral("リストの最後まで検索しました"),
                 QStringLiteral("現在のセットリスト内のファイルをフォルダに書き出します"),
                 QStringLiteral("ジャンルは最低１つ以上設定して下さい"),
                 QStringLiteral("アーティスト名は最低１つ以上設定して下さい"),
                 QStringLiteral("")}));
    }

    // The box shows the entry's text in the style given and returns the
    // button pressed; an empty title becomes the default, written back; an
    // unknown number shows an empty box.
    void showMessage() {
        ScriptedPresenter boxes;
        boxes.answer(msgbox::Cancel);
        QString title;
        QCOMPARE(ShowMessage(Msg::DeleteSongs, 1, title), 2);
        QCOMPARE(title, QStringLiteral("Melodara Player"));
        QString own = QStringLiteral("Library");
        QCOMPARE(ShowMessage(Msg::SongAlreadyAdded, 0, own), 1);
        QCOMPARE(own, QStringLiteral("Library"));
        QCOMPARE(ShowMessage(1000), 1);
        QStringList shown;
        for (const ScriptedPresenter::Box& box : boxes.boxes())
            shown << QStringLiteral("%1|%2|%3").arg(box.text).arg(box.style).arg(box.title);
        QCOMPARE(
            shown,
            QStringList({QStringLiteral("選択中の曲をデータベースから削除します|1|Melodara Player"),
                         QStringLiteral("選択中の曲は既に追加されています|0|Library"),
                         QStringLiteral("|0|Melodara Player")}));
    }

    void withoutPresenterBoxesAreAnsweredOk() {
        msgbox::setPresenter(nullptr);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("message box")));
        QCOMPARE(ShowMessage(Msg::PlayFailed, 0), 1);
    }

    // The platform's style: the buttons (bits 0-3), the icon (bits 4-7)
    // and the default button by position (bits 8-9); Escape answers Cancel.
    void buttonsForStyle() {
        using B = QMessageBox;
        const QList<std::tuple<int, B::StandardButtons, B::Icon>> styles = {
            {0, B::Ok, B::NoIcon},
            {1, B::Ok | B::Cancel, B::NoIcon},
            {4 | 0x20, B::Yes | B::No, B::Question},
            {0x10, B::Ok, B::Critical},
            {0x40, B::Ok, B::Information}};
        for (const auto& [style, buttons, icon] : styles) {
            QMessageBox box;
            MessageBoxPresenter::applyStyle(box, style);
            QCOMPARE(box.standardButtons(), buttons);
            QCOMPARE(box.icon(), icon);
        }
        QMessageBox box;
        MessageBoxPresenter::applyStyle(box, 1 | 0x100);
        QCOMPARE(box.defaultButton(), box.button(B::Cancel));
        QCOMPARE(box.escapeButton(), box.button(B::Cancel));
        QList<int> results;
        for (B::StandardButton button : {B::Ok, B::Cancel, B::Yes, B::No})
            results << MessageBoxPresenter::resultOf(button);
        QCOMPARE(results, QList<int>({1, 2, 6, 7}));
    }

    // The real box, answered by clicking its Cancel button once it is up;
    // the catalogue's CR LF is shown as one line break.
    void modalBoxReturnsClickedButton() {
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = box->windowTitle() + QStringLiteral(":") + box->text();
            box->button(QMessageBox::Cancel)->click();
        });
        MessageBoxPresenter presenter;
        QCOMPARE(presenter.present(QStringLiteral("first\r\nsecond"), 1,
                                   QStringLiteral("Melodara Player")),
                 2);
        QCOMPARE(seen, QStringLiteral("Melodara Player:first\nsecond"));
    }

    void isMusicFile() {
        for (const char* name : {"song.Mp3", "song.aif", "song.AIFF", "song.mid", "song.midi",
                                 "song.wav", "mymp3", "WAV", "曲.mp3"})
            QVERIFY2(IsMusicFile(QString::fromUtf8(name)), name);
        for (const char* name : {"song.ogg", "song.aiffx", "song.mp4", "", "song.ＭＰ３"})
            QVERIFY2(!IsMusicFile(QString::fromUtf8(name)), name);
    }

    void getFileTitle() {
        QStringList titles;
        for (const char* path :
             {"/music/Track 01.mp3", "/music/my.song.mp3", "song.wav", "/music/README",
              "/music/v1.2/take.mid", "/music/.hidden.mp3", "/music/", "/音楽/さくら　ver2.mp3"})
            titles << GetFileTitle(QString::fromUtf8(path));
        QCOMPARE(titles, QStringList({QStringLiteral("Track 01"), QStringLiteral("my"),
                                      QStringLiteral("song"), QStringLiteral("README"),
                                      QStringLiteral("take"), QStringLiteral(""),
                                      QStringLiteral(""), QStringLiteral("さくら　ver2")}));
    }

    // Depth first, each folder in name order whatever the file system's
    // order: case ignored first ("A folder" before "a.mp3", a space sorts
    // before "."), then upper case first. Dot folders, links to folders
    // (here a loop), pipes (playing one would wait for ever) and broken
    // links are left out; dot files and links to files are taken. A folder
    // that cannot be listed (here one removed while the walk is under way)
    // is skipped and counted, and the walk goes on.
    void walkTakesMusicFilesInNameOrder() {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (const char* name :
             {"c.mp3", "B.mp3", "a.mp3", "b.mp3", "10.wav", "2.wav", "A folder/x.mp3", "notes.txt",
              ".top.mp3", ".cache/hidden.mp3", "sub/.git/x.wav", "sub/deeper/c.mid", "sub/b.wav",
              "gone/x.mp3", "アルバム/さくら.mp3"})
            QVERIFY(diskfiles::write(root + QStringLiteral("/") + QString::fromUtf8(name), {}));
        QVERIFY(QFile::link(root, root + QStringLiteral("/sub/loop")));
        QVERIFY(
            QFile::link(root + QStringLiteral("/a.mp3"), root + QStringLiteral("/sub/z-link.mp3")));
        QVERIFY(QFile::link(root + QStringLiteral("/missing.wav"),
                            root + QStringLiteral("/broken.wav")));
        QCOMPARE(::mkfifo(QFile::encodeName(root + QStringLiteral("/pipe.mp3")).constData(), 0600),
                 0);

        QCOMPARE(
            search(root, false),
            under(root, {QStringLiteral(".top.mp3"), QStringLiteral("10.wav"),
                         QStringLiteral("2.wav"), QStringLiteral("a.mp3"), QStringLiteral("B.mp3"),
                         QStringLiteral("b.mp3"), QStringLiteral("c.mp3")}));
        SearchWatch watch;
        watch.progress = [&](int) {
            QDir(root + QStringLiteral("/gone")).removeRecursively();
            return true;
        };
        QCOMPARE(
            search(root, true, &watch),
            under(root,
                  {QStringLiteral(".top.mp3"), QStringLiteral("10.wav"), QStringLiteral("2.wav"),
                   QStringLiteral("A folder/x.mp3"), QStringLiteral("a.mp3"),
                   QStringLiteral("B.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3"),
                   QStringLiteral("sub/b.wav"), QStringLiteral("sub/deeper/c.mid"),
                   QStringLiteral("sub/z-link.mp3"), QStringLiteral("アルバム/さくら.mp3")}));
        QCOMPARE(watch.unreadableFolders, 1);

        // The index of the next find runs on until the reset; a missing
        // folder leaves the list alone.
        const QStringList old = {QStringLiteral("old 1"), QStringLiteral("old 2"),
                                 QStringLiteral("old 3")};
        QStringList files = old;
        SearchFiles(QStringLiteral("/no/such/folder"), files, true);
        QCOMPARE(files, old);
        SearchFiles(root + QStringLiteral("/sub/deeper"), files, false);
        SearchFiles(root + QStringLiteral("/sub/deeper"), files, false);
        QCOMPARE(files, under(root, {QStringLiteral("sub/deeper/c.mid"),
                                     QStringLiteral("sub/deeper/c.mid")}));
        SearchFiles(QString(), files, false);
        SearchFiles(root + QStringLiteral("/sub/deeper"), files, false);
        QCOMPARE(files, under(root, {QStringLiteral("sub/deeper/c.mid")}));
        SearchFiles(QString(), files, false);
    }

    // The watch hears the running count at every report and can stop the
    // walk at once; a search started while the walk runs does nothing and
    // does not disturb it.
    void watchFollowsAndStopsTheWalk() {
        QTemporaryDir dir;
        const QString root = dir.path();
        QStringList all;
        for (int i = 0; i < 10; ++i)
            QVERIFY(
                diskfiles::write(all.emplace_back(root + QStringLiteral("/%1.mp3").arg(i)), {}));
        QVERIFY(diskfiles::write(root + QStringLiteral("/notes.txt"), {}));

        QStringList nested;
        QList<int> heard;
        SearchWatch watch;
        watch.progress = [&](int found) {
            heard << found;
            SearchFiles(root, nested, true);
            return true;
        };
        QCOMPARE(search(root, true, &watch), all);
        QVERIFY(nested.isEmpty());
        QVERIFY(!watch.cancelled);
        // One yield per entry: ten files, then the text file.
        QCOMPARE(heard, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10}));

        SearchWatch stop;
        stop.progress = [](int found) { return found < 3; };
        QCOMPARE(search(root, true, &stop), all.first(3));
        QVERIFY(stop.cancelled);
    }

    // Names whose bytes are not valid text are left out and counted, music
    // files and folders alike; other files with such names are ignored.
    void undecodableNamesAreLeftOut() {
        QTemporaryDir dir;
        const QString root = dir.path();
        const std::string raw = QFile::encodeName(root).toStdString();
        // QTemporaryDir cannot remove names it cannot read as text.
        const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(raw); });
        QVERIFY(diskfiles::write(root + QStringLiteral("/good.mp3"), {}));
        QVERIFY(std::filesystem::create_directories(raw + "/dir\xfe/inner"));
        for (const char* name : {"/bad\xff.mp3", "/bad\xfe.txt", "/dir\xfe/in.mp3"})
            QVERIFY(std::ofstream(raw + name).good());

        SearchWatch flat;
        QCOMPARE(search(root, false, &flat), QStringList({root + QStringLiteral("/good.mp3")}));
        QCOMPARE(flat.undecodable, 1); // the folder is not entered without recursion
        QCOMPARE(flat.undecodableShown, QStringList({root + QStringLiteral("/bad\uFFFD.mp3")}));
        SearchWatch deep;
        QCOMPARE(search(root, true, &deep), QStringList({root + QStringLiteral("/good.mp3")}));
        QCOMPARE(deep.undecodable, 2);
        QCOMPARE(deep.unreadableFolders, 0);
    }

    // Long work runs off this thread behind a dialog modal to the window,
    // up before the work ends and until it has ended, Cancel included; its
    // boxes are shown on this thread; a second run meanwhile is refused.
    void longWorkRunsBehindAModalDialog_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addRow("to its end") << false;
        QTest::addRow("cancelled") << true;
    }
    void longWorkRunsBehindAModalDialog() {
        QFETCH(bool, cancel);
        QWidget window;
        window.setWindowTitle(QStringLiteral("窓"));
        window.show();
        ScriptedPresenter boxes;
        QThread* boxThread = nullptr;
        boxes.whileShown = [&](const ScriptedPresenter::Box&) {
            boxThread = QThread::currentThread();
        };
        QSemaphore go;
        QStringList seen;
        bool secondRan = false;
        setLongWorkWatcher([&](QDialog& dialog, WorkProgress&) {
            seen << QStringLiteral("%1 %2 %3 %4")
                        .arg(dialog.isVisible())
                        .arg(QApplication::activeModalWidget() == &dialog)
                        .arg(dialog.windowModality() == Qt::WindowModal)
                        .arg(dialog.windowTitle());
            seen << QString::number(runLongWork(&window, QStringLiteral("二"), [&](WorkProgress&) {
                secondRan = true;
                return true;
            }));
            if (cancel) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
                seen << QString::number(dialog.isVisible());
            }
            go.release();
        });
        const auto noWatcher = qScopeGuard([] { setLongWorkWatcher({}); });
        QThread* workThread = nullptr;
        const bool result =
            runLongWork(&window, QStringLiteral("作業中"), [&](WorkProgress& progress) {
                workThread = QThread::currentThread();
                progress.setMaximum(2);
                go.acquire();
                msgbox::show(QStringLiteral("途中"), 0, QStringLiteral("題"));
                while (cancel && !progress.isCancelled())
                    QThread::msleep(1);
                progress.setValue(2);
                return !progress.isCancelled();
            });
        QCOMPARE(result, !cancel);
        QCOMPARE(seen, cancel ? QStringList({QStringLiteral("1 1 1 窓"), QStringLiteral("0"),
                                             QStringLiteral("1")})
                              : QStringList({QStringLiteral("1 1 1 窓"), QStringLiteral("0")}));
        QVERIFY(!secondRan);
        QVERIFY(workThread && workThread != QThread::currentThread());
        QCOMPARE(boxThread, QThread::currentThread());
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY(!isLongWorkRunning());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // Run from the build folder the program's files sit beside it;
    // installed, below its prefix's share/ and lib/ folders.
    void programFoldersFollowTheLayout_data() {
        QTest::addColumn<QString>("made"); // "dir" or "file" at <prefix>/share/melodara-player
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("data"); // relative to the prefix
        QTest::addColumn<QString>("modules");
        QTest::newRow("build folder") << "" << false << "bin"
                                      << "bin";
        QTest::newRow("installed") << "dir" << true << "share/melodara-player"
                                   << "lib/melodara-player";
        QTest::newRow("a file of that name") << "file" << false << "bin"
                                             << "bin";
    }
    void programFoldersFollowTheLayout() {
        QFETCH(QString, made);
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.path() + QStringLiteral("/bin")));
        const QString share = prefix.path() + QStringLiteral("/share/melodara-player");
        if (made == u"dir")
            QVERIFY(QDir().mkpath(share));
        if (made == u"file")
            QVERIFY(diskfiles::write(share, {}));
        const programfolders::Folders folders =
            programfolders::forProgram(prefix.path() + QStringLiteral("/bin"));
        QFETCH(QString, data);
        QFETCH(QString, modules);
        QTEST(folders.installed, "installed");
        QCOMPARE(folders.data, prefix.path() + QStringLiteral("/") + data);
        QCOMPARE(folders.modules, prefix.path() + QStringLiteral("/") + modules);
    }

    // The first item of exactly the text; the empty text selects the first
    // item; a text that differs in case, or is missing, changes nothing.
    void selectComboItem() {
        QComboBox combo;
        combo.addItems({QStringLiteral("Rock"), QStringLiteral("Pop"), QStringLiteral("ジャズ"),
                        QStringLiteral("Blues"), QStringLiteral("Pop")});
        QList<int> selected;
        for (const char* text : {"ジャズ", "Pop", "", "pop", "Metal"}) {
            combo.setCurrentIndex(3);
            SelectComboItem(&combo, QString::fromUtf8(text));
            selected << combo.currentIndex();
        }
        QCOMPARE(selected, QList<int>({2, 1, 0, 3, 3}));
    }

    // Equal ignoring case and width, either way round, and ordered alike.
    void equalsFolded() {
        const QList<std::tuple<QString, QString, bool>> pairs = {
            {QStringLiteral("Rock"), QStringLiteral("rOCK"), true},
            {QStringLiteral("ＡＢＣ"), QStringLiteral("abc"), true},
            {QStringLiteral("ﾗﾝﾀﾞﾑ"), QStringLiteral("ランダム"), true},
            {QStringLiteral("らんだむ"), QStringLiteral("ランダム"), false},
            {QStringLiteral("Jazz"), QStringLiteral("Jazzy"), false},
            {QStringLiteral(""), QStringLiteral(""), true}};
        for (const auto& [a, b, equal] : pairs) {
            QCOMPARE(text::equalsFolded(a, b), equal);
            QCOMPARE(text::equalsFolded(b, a), equal);
            QCOMPARE(text::compareFolded(a, b) == 0, equal);
        }
        QVERIFY(text::compareFolded(QStringLiteral("apple"), QStringLiteral("Banana")) < 0);
        QVERIFY(text::compareFolded(QStringLiteral("Ｚ"), QStringLiteral("a")) > 0);
    }

    // Common characters fold without the normaliser; whatever the way, the
    // result is the normal form, case folded. Checked against Qt's own
    // normalisation for every character, every kana with each sound mark,
    // and mixed texts.
    void foldIsTheCaseFoldedNormalForm() {
        const auto reference = [](const QString& s) {
            return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
        };
        QStringList wrong;
        const auto check = [&](const QString& s) {
            QString into = QStringLiteral("stale text");
            text::foldInto(s, into);
            if (text::fold(s) != reference(s) || into != reference(s))
                wrong << s;
        };
        for (char32_t c = 0; c <= 0xFFFF; ++c) {
            if (c < 0xD800 || c > 0xDFFF)
                check(QString(QChar(c)));
        }
        const QList<char16_t> marks = {0x3099, 0x309A, 0xFF9E, 0xFF9F};
        for (char16_t m : marks) {
            for (char16_t k = 0x3000; k <= 0x30FF; ++k)
                check(QString(QChar(k)) + QChar(m));
            for (char16_t k = 0xFF61; k <= 0xFF9F; ++k) {
                check(QString(QChar(k)) + QChar(m));
                check(QString(QChar(k)) + QChar(m) + QChar(m));
            }
            check(QStringLiteral("a") + QChar(m));
            check(QString(QChar(m)));
        }
        const QString alphabet = QString::fromUtf16(
            u"aZ9 -ＡｚＺ０　ｶﾞﾊﾟﾞﾟｰかがハパー曲歌〸ヿé\u0301\u3099\u309A①ﾡﾢ가\U0001D11E");
        const QList<uint> letters = alphabet.toUcs4();
        QRandomGenerator random(3);
        for (int i = 0; i < 20000; ++i) {
            QList<uint> s;
            for (int n = random.bounded(9); n > 0; --n)
                s << letters[random.bounded(int(letters.size()))];
            check(QString::fromUcs4(reinterpret_cast<const char32_t*>(s.constData()), s.size()));
        }
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(
                     QStringLiteral("%1 wrong, first: %2").arg(wrong.size()).arg(wrong.value(0))));
    }

    // A grown block keeps what was written in it, small or large, on either
    // side of the large-block size; the rest of it can be written.
    void grownMemoryKeepsItsBytes_data() {
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<qsizetype>("to");
        constexpr qsizetype large = qsizetype(largememory::kLargeBytes);
        QTest::newRow("small to small") << qsizetype(1000) << qsizetype(3000);
        QTest::newRow("small to large") << qsizetype(1000) << large;
        QTest::newRow("large to larger") << large << 5 * large + 7;
        QTest::newRow("just under large to large") << large - 1 << 2 * large;
    }
    void grownMemoryKeepsItsBytes() {
        QFETCH(qsizetype, from);
        QFETCH(qsizetype, to);
        const auto byteAt = [](qsizetype i) { return char(i * 7 % 251); };
        auto* block = static_cast<char*>(largememory::allocate(size_t(from)));
        for (qsizetype i = 0; i < from; ++i)
            block[i] = byteAt(i);
        const qsizetype used = from - 1; // the last byte need not be kept
        block =
            static_cast<char*>(largememory::grow(block, size_t(from), size_t(used), size_t(to)));
        qsizetype wrong = 0;
        for (qsizetype i = 0; i < used; ++i)
            wrong += block[i] != byteAt(i);
        block[to - 1] = 1;
        largememory::release(block, size_t(to));
        QCOMPARE(wrong, 0);
    }

    // An array grown past the large-block size by appends keeps every value,
    // and a copy is its own: changing one leaves the other.
    void arrayKeepsItsValuesAndCopiesAreApart() {
        largememory::Array<int> a;
        const int n = int(largememory::kLargeBytes / sizeof(int)) * 3 + 5;
        for (int i = 0; i < n; ++i)
            a.push_back(i * 3);
        largememory::Array<int> b = a;
        a[0] = -1;
        b[size_t(n) - 1] = -2;
        QCOMPARE(a.size(), size_t(n));
        QCOMPARE(b.size(), size_t(n));
        QCOMPARE(a[size_t(n) - 1], (n - 1) * 3);
        QCOMPARE(b[0], 0);
        int wrong = 0;
        for (int i = 1; i < n - 1; ++i)
            wrong += a[size_t(i)] != i * 3 || b[size_t(i)] != i * 3;
        QCOMPARE(wrong, 0);
    }

    // Cells decode as Qt words UTF-8: well-formed text of every length
    // class on both sides of the eight-byte steps, and each kind of bad
    // sequence replaced, an initial byte-order mark dropped.
    void utf8DecodesAsQtDoes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("seven ASCII") << QByteArray("/a/b/c.") << QStringLiteral("/a/b/c.");
        QTest::newRow("eight ASCII") << QByteArray("/a/b/c.d") << QStringLiteral("/a/b/c.d");
        QTest::newRow("nine ASCII") << QByteArray("/a/b/c.mp") << QStringLiteral("/a/b/c.mp");
        QTest::newRow("two-byte") << QByteArray("caf\xC3\xA9") << QString::fromUtf16(u"caf\u00E9");
        QTest::newRow("three-byte after eight ASCII")
            << QByteArray("Artist 1\xE6\x9B\xB2") << QString::fromUtf16(u"Artist 1\u66F2");
        QTest::newRow("half-width kana")
            << QByteArray("\xEF\xBD\xB6\xEF\xBD\xB3") << QString::fromUtf16(u"\uFF76\uFF73");
        QTest::newRow("four-byte")
            << QByteArray("a\xF0\x9F\x8E\xB5") << QString::fromUtf16(u"a\U0001F3B5");
        QTest::newRow("bad byte") << QByteArray("a\xFF"
                                                "b")
                                  << QString::fromUtf16(u"a\uFFFDb");
        QTest::newRow("overlong") << QByteArray("\xC0\x80") << QString::fromUtf16(u"\uFFFD\uFFFD");
        QTest::newRow("overlong three")
            << QByteArray("\xE0\x80\xAF") << QString::fromUtf16(u"\uFFFD\uFFFD\uFFFD");
        QTest::newRow("surrogate")
            << QByteArray("\xED\xA0\x80") << QString::fromUtf16(u"\uFFFD\uFFFD\uFFFD");
        QTest::newRow("cut short") << QByteArray("\xE6\x9B") << QString::fromUtf16(u"\uFFFD\uFFFD");
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xF4\x90\x80\x80") << QString::fromUtf16(u"\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("initial mark") << QByteArray("\xEF\xBB\xBF"
                                                    "ab\xEF\xBB\xBF")
                                      << QString::fromUtf16(u"ab\uFEFF");
    }
    void utf8DecodesAsQtDoes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        std::vector<QChar> out(size_t(bytes.size()) + 1, QChar(u'#'));
        const QChar* end = utf8::decodeInto(out.data(), bytes);
        QCOMPARE(QString(out.data(), end - out.data()), expected);
        QCOMPARE(out.back(), QChar(u'#')); // nothing written past the room
    }
};

QTEST_MAIN(TestBase)
#include "tst_base.moc"
