#include "app/mainwindow.h"
#include "app/qttranslations.h"
#include "app/singleinstance.h"
#include "base/messageboxpresenter.h"
#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/pictures.h"
#include "base/programfolders.h"
#include "data/adoconnector.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>

namespace {

constexpr int kWindowIconSize = 64;

// Where this start found its files and its library ("melodara.start.debug=true"
// in QT_LOGGING_RULES shows it).
Q_LOGGING_CATEGORY(lcStart, "melodara.start", QtWarningMsg)

// The files named on the command line (the desktop entry passes the files
// opened with the program), as absolute paths: a program already running
// may take them, from another folder.
QStringList commandLineFiles(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Melodara Player"));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("曲・フォルダ・m3u ファイル（ライブラリに追加します）"),
        QStringLiteral("[files...]"));
    parser.process(app);
    QStringList files;
    for (const QString& file : parser.positionalArguments())
        files << QFileInfo(file).absoluteFilePath();
    return files;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kDefaultMessageTitle);
    // The desktop matches the windows to the desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("melodara-player"));
    QApplication::setWindowIcon(QPixmap::fromImage(pictures::drawIcon(kWindowIconSize)));
    const QStringList files = commandLineFiles(app);
    if (!installQtTranslations(app))
        qWarning("Qt's Japanese translations are not installed; standard buttons stay English.");

    MessageBoxPresenter boxes;
    msgbox::setPresenter(&boxes);

    // A second start on the library hands its files to the program that
    // has it open, which comes to the front, and ends. One that does not
    // answer may be ending: it is asked once more for the library.
    const QString library = ADO_Connector::defaultPath();
    qCDebug(lcStart, "data: %s", qPrintable(programfolders::current().data));
    qCDebug(lcStart, "modules: %s", qPrintable(programfolders::current().modules));
    qCDebug(lcStart, "library: %s", qPrintable(library));
    SingleInstance instance(library);
    if (instance.claim() == SingleInstance::Claim::Running) {
        if (instance.handOver(files)) {
            msgbox::setPresenter(nullptr);
            return 0;
        }
        if (instance.claim() == SingleInstance::Claim::Running) {
            msgbox::show(QStringLiteral("このライブラリは別の Melodara Player が使用中ですが、"
                                        "その Melodara Player から応答がありません。"),
                         0, kDefaultMessageTitle);
            msgbox::setPresenter(nullptr);
            return 1;
        }
    }

    int rc = 0;
    {
        frmMain window(library);
        // Queued: the library window runs modally, never inside the socket.
        QObject::connect(&instance, &SingleInstance::requested, &window,
                         &frmMain::frmMain_OpenFiles, Qt::QueuedConnection);
        if (window.Form_Load()) {
            window.show();
            if (!files.isEmpty())
                window.frmMain_OpenFiles(files);
            rc = app.exec();
        }
    }
    msgbox::setPresenter(nullptr);
    return rc;
}
