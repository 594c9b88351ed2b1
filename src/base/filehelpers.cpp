#include "base/filehelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

int gSearchCount = 0;                    // index of the next find, shared by a whole search
std::atomic<bool> gSearchRunning{false}; // one walk at a time, whatever the thread
std::atomic<int> gYieldIntervalMs{50};

constexpr int kUndecodableShown = 5;

struct Entry {
    QString name;
    bool isDir;
    bool undecodable; // the name lost bytes when read as text
};

// The platform decoder turns invalid bytes into U+FFFD, so only names
// that contain it need the exact check.
bool decodesLosslessly(const QString& name, const char* raw) {
    return !name.contains(QChar::ReplacementCharacter) || QFile::encodeName(name) == raw;
}

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
    Walker(QStringList& files, bool recurse, SearchWatch* watch)
        : files_(files), recurse_(recurse), watch_(watch) {
        sinceYield_.start();
    }

    void walk(const QString& folder) {
        std::vector<Entry> entries;
        if (!readFolder(folder, entries)) {
            if (watch_)
                ++watch_->unreadableFolders;
            return;
        }
        std::sort(entries.begin(), entries.end(), nameLess);
        for (const Entry& e : entries) {
            if (stopped_)
                return;
            const bool wanted =
                e.isDir ? recurse_ && !e.name.startsWith(QLatin1Char('.')) : IsMusicFile(e.name);
            if (wanted && e.undecodable) {
                leftOut(joinPath(folder, e.name));
            } else if (wanted && e.isDir) {
                walk(joinPath(folder, e.name));
            } else if (wanted) {
                files_.resize(gSearchCount + 1);
                files_[gSearchCount] = joinPath(folder, e.name);
                ++gSearchCount;
                ++found_;
            }
            maybeReport();
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
            // Pipes, devices and broken links are no songs: a player opening
            // a pipe would wait for ever.
            if (!typeEc && !isDir && !de.is_regular_file(typeEc))
                continue;
            if (typeEc)
                continue;
            const fs::path file = de.path().filename();
            QString name = QFile::decodeName(file.c_str());
            const bool undecodable = !decodesLosslessly(name, file.c_str());
            out.push_back({std::move(name), isDir, undecodable});
        }
        return true;
    }

    void leftOut(const QString& shown) {
        if (!watch_)
            return;
        ++watch_->undecodable;
        if (watch_->undecodableShown.size() < kUndecodableShown)
            watch_->undecodableShown << shown;
    }

    void maybeReport() {
        if (sinceYield_.elapsed() < gYieldIntervalMs)
            return;
        if (watch_ && watch_->progress && !watch_->progress(found_)) {
            watch_->cancelled = true;
            stopped_ = true;
        }
        sinceYield_.restart();
    }

    QStringList& files_;
    bool recurse_;
    SearchWatch* watch_;
    int found_ = 0;
    bool stopped_ = false;
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

void SearchFiles(const QString& folder, QStringList& files, bool recurse, SearchWatch* watch) {
    if (gSearchRunning.exchange(true))
        return;
    if (folder.isEmpty())
        gSearchCount = 0;
    else
        Walker(files, recurse, watch).walk(folder);
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
