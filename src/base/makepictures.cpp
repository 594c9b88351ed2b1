// Writes the program's pictures into the folder given on the command line
// (the build runs it for the "MLPData" folder beside the executable) and,
// with a second folder, the icon's sizes below it as the desktop's icon
// theme lays them out ("<n>x<n>/apps/melodara-player.png").

#include "base/pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> [<icon folder>]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    using pictures::Picture;
    for (Picture p : {Picture::Play, Picture::AtStop, Picture::Stop, Picture::Next, Picture::Return,
                      Picture::Opening, Picture::WebBack, Picture::WebForward, Picture::WebRefresh,
                      Picture::WebHome, Picture::WebClose}) {
        const QString path = folder + QLatin1Char('/') + pictures::fileName(p);
        if (!pictures::draw(p).save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (argc == 3) {
        const QString icons = QString::fromLocal8Bit(argv[2]);
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString sized = QStringLiteral("%1/%2x%2/apps").arg(icons).arg(size);
            const QString path = sized + QStringLiteral("/melodara-player.png");
            if (!QDir().mkpath(sized) || !pictures::drawIcon(size).save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
