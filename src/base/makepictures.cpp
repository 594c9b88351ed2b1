// Writes the program's pictures into the folder given on the command line
// (the build runs it for the "MLPData" folder beside the executable).

#include "base/pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
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
    return 0;
}
