#include "base/filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

int gSearchCount = 0;        // index of the next find, shared by a whole search
bool gSearchRunning = false; // guards against a walk started from processEvents()
int gYieldIntervalMs = 50;

struct Entry {
    QString name;
    bool isDir;
};

bool nameLess(const Entry& a, const Entry& b) {
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.name < b.name;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QDir::separator()) || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QDir::separator() + name;
}

class Walker {
public:
    Walker(QStringList& files, bool recurse) : files_(files), recurse_(recurse) {
        sinceYield_.start();
    }

    void walk(const QString& folder) {
        std::vector<Entry> entries;
        if (!readFolder(folder, entries))
            return;
        std::sort(entries.begin(), entries.end(), nameLess);
        for (const Entry& e : entries) {
            if (e.isDir) {
                if (recurse_ && !e.name.startsWith(QLatin1Char('.')))
                    walk(joinPath(folder, e.name));
            } else if (IsMusicFile(e.name)) {
                files_.resize(gSearchCount + 1);
                files_[gSearchCount] = joinPath(folder, e.name);
                ++gSearchCount;
            }
            maybeYield();
        }
    }

private:
    static bool readFolder(const QString& folder, std::vector<Entry>& out) {
        std::error_code ec;
        fs::directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()), ec);
        if (ec)
            return false;
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            if (ec)
                break;
            const fs::directory_entry& de = *it;
            std::error_code typeEc;
            // Links to folders are never followed, so a link pointing back up
            // the tree cannot make the walk loop. Links to files count as files.
            const bool isLink = de.is_symlink(typeEc);
            bool isDir = false;
            if (isLink) {
                if (de.is_directory(typeEc))
                    continue;
            } else {
                isDir = de.is_directory(typeEc);
            }
            if (typeEc)
                continue;
            out.push_back({QFile::decodeName(de.path().filename().c_str()), isDir});
        }
        return true;
    }

    void maybeYield() {
        if (sinceYield_.elapsed() < gYieldIntervalMs)
            return;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        sinceYield_.restart();
    }

    QStringList& files_;
    bool recurse_;
    QElapsedTimer sinceYield_;
};

} // namespace

bool IsMusicFile(const QString& name) {
    const QString last3 = name.right(3).toUpper();
    if (last3 == u"MP3" || last3 == u"AIF" || last3 == u"MID" || last3 == u"WAV")
        return true;
    const QString last4 = name.right(4).toUpper();
    return last4 == u"AIFF" || last4 == u"MIDI";
}

void SearchFiles(const QString& folder, QStringList& files, bool recurse) {
    if (gSearchRunning)
        return;
    if (folder.isEmpty()) {
        gSearchCount = 0;
        return;
    }
    gSearchRunning = true;
    Walker(files, recurse).walk(folder);
    gSearchRunning = false;
}

int SetSearchFilesYieldInterval(int milliseconds) {
    const int previous = gYieldIntervalMs;
    gYieldIntervalMs = std::max(0, milliseconds);
    return previous;
}

QString GetFileTitle(const QString& path) {
    const qsizetype sep = path.lastIndexOf(QDir::separator());
    const QString part = sep < 0 ? path : path.mid(sep + 1);
    const qsizetype dot = part.indexOf(QLatin1Char('.'));
    return dot < 0 ? part : part.left(dot);
}
