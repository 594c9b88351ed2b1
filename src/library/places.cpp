#include "library/places.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace places {

namespace {

bool isPrefixFolder(const QString& root, const QString& folder) {
    if (!folder.startsWith(root))
        return false;
    return folder.size() == root.size() || root.endsWith(u'/') || folder[root.size()] == u'/';
}

// A name read with invalid bytes shows U+FFFD and names no file that could
// be opened again.
QStringList usable(QStringList names) {
    names.removeIf([](const QString& n) { return n.contains(QChar::ReplacementCharacter); });
    return names;
}

constexpr QDir::SortFlags kByName = QDir::Name | QDir::IgnoreCase;

} // namespace

QList<Place> machinePlaces() {
    QList<Place> out;
    const QString home = QDir::homePath();
    out << Place{QStringLiteral("ホーム (%1)").arg(home), home};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(root).isDir())
            continue;
        const bool known =
            std::any_of(out.begin(), out.end(), [&](const Place& p) { return p.root == root; });
        if (known)
            continue;
        const QString label = volume.displayName();
        out << Place{label == root ? root : QStringLiteral("%1 (%2)").arg(label, root), root};
    }
    return out;
}

int placeOf(const QList<Place>& places, const QString& folder) {
    int best = -1;
    for (int i = 0; i < places.size(); ++i) {
        if (isPrefixFolder(places[i].root, folder) &&
            (best < 0 || places[i].root.size() > places[best].root.size()))
            best = i;
    }
    return best;
}

QStringList ancestors(const QString& folder) {
    QString path = QDir::cleanPath(folder);
    QStringList out = {path};
    for (qsizetype sep = path.lastIndexOf(u'/'); sep >= 0 && path != u"/";
         sep = path.lastIndexOf(u'/')) {
        path = sep == 0 ? QStringLiteral("/") : path.left(sep);
        out.prepend(path);
    }
    return out;
}

bool subfolders(const QString& folder, QStringList& names, QString& error) {
    const QFileInfo info(folder);
    if (!info.isDir()) {
        error = QStringLiteral("フォルダ %1 が見つかりません。").arg(folder);
        return false;
    }
    if (!info.isReadable() || !info.isExecutable()) {
        error = QStringLiteral("フォルダ %1 を開く権限がありません。").arg(folder);
        return false;
    }
    const QDir dir(folder);
    names = usable(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, kByName));
    // The listing takes any link for a folder, a link to a device too.
    names.removeIf([&dir](const QString& n) { return !QFileInfo(dir.filePath(n)).isDir(); });
    return true;
}

QStringList matchingFiles(const QString& folder, const QString& patterns) {
    QDir dir(folder);
    dir.setNameFilters(patterns.split(u';', Qt::SkipEmptyParts));
    QStringList names = usable(dir.entryList(QDir::Files, kByName));
    // The listing takes any link for a file, a link to a pipe too: a
    // player opening a pipe would wait for ever.
    names.removeIf([&dir](const QString& n) { return !QFileInfo(dir.filePath(n)).isFile(); });
    return names;
}

} // namespace places
