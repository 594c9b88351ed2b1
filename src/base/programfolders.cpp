#include "base/programfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace programfolders {

namespace {
const QString kDataBelowPrefix = QStringLiteral("/share/melodara-player");
const QString kModulesBelowPrefix = QStringLiteral("/lib/melodara-player");
} // namespace

Folders forProgram(const QString& programFolder) {
    const QString prefix = QDir::cleanPath(programFolder + QStringLiteral("/.."));
    if (QFileInfo(prefix + kDataBelowPrefix).isDir())
        return {true, prefix + kDataBelowPrefix, prefix + kModulesBelowPrefix};
    return {false, programFolder, programFolder};
}

Folders current() {
    return forProgram(QCoreApplication::applicationDirPath());
}

QString dataFile(const QString& name) {
    return current().data + QLatin1Char('/') + name;
}

} // namespace programfolders
