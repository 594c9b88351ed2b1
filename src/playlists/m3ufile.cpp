#include "playlists/m3ufile.h"

#include "songlist/songlistmodel.h"
#include "songlist/songrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QUrl>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A playlist of 100,000 entries is some 10 MB; a file far larger than that
// is not a playlist, and reading it would only fill the memory.
constexpr qint64 kMaxPlaylistBytes = 64 * 1024 * 1024;
// No path the system can open is longer.
constexpr qsizetype kMaxEntryLength = 4096;

// Lines read between two reports to the caller.
constexpr int kLinesPerReport = 4096;
// Missing entries named in the report, and how much of each is shown.
constexpr int kMissingShown = 5;
constexpr qsizetype kShownLength = 120;

// One line's text: each line is decoded on its own, as playlists put
// together by hand or by other programs mix encodings (a title in one, the
// paths in another).
class LineDecoder {
public:
    QString decode(QByteArrayView line) {
        utf8_.resetState();
        QString text = utf8_.decode(line);
        if (!utf8_.hasError())
            return text;
        // What the platform most playlists come from wrote: code page 932.
        // Its decoder keeps an error once met, so each line gets its own.
        QStringDecoder cp932("windows-31j", QStringConverter::Flag::Stateless);
        if (cp932.isValid()) {
            text = cp932.decode(line);
            if (!cp932.hasError())
                return text;
        }
        QStringDecoder latin("windows-1252", QStringConverter::Flag::Stateless);
        return latin.isValid() ? QString(latin.decode(line)) : QString::fromLatin1(line);
    }

private:
    QStringDecoder utf8_{QStringDecoder::Utf8, QStringConverter::Flag::Stateless};
};

QStringView trimSpaces(QStringView s) {
    while (s.startsWith(u' '))
        s = s.sliced(1);
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// Whether the path names an existing ordinary file that is not hidden. It
// is only looked up: opening a pipe or a device could block.
bool isVisibleFile(const QString& path) {
    const qsizetype name = path.lastIndexOf(u'/') + 1;
    if (name < path.size() && path[name] == u'.')
        return false;
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

class EntryResolver {
public:
    explicit EntryResolver(const QString& playlist)
        : folder_(QFileInfo(playlist).absolutePath() + u'/'), current_(QDir::currentPath() + u'/') {
    }

    // The entry's file as a clean absolute path, or empty.
    QString resolve(QStringView line) const {
        QString name = line.toString();
        if (name.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            QUrl url(name);
            if (!url.isLocalFile())
                return QString();
            // "file://localhost/..." names this machine, as "file:///..." does.
            if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
                url.setHost(QString());
            name = url.toLocalFile();
        }
        const QString forms[] = {name, name.contains(u'\\') ? QString(name).replace(u'\\', u'/')
                                                            : QString()};
        // Relative names are the playlist's first; the current folder only
        // as a last resort, and the path kept is absolute either way.
        for (const QString* base : {&folder_, &current_}) {
            for (const QString& form : forms) {
                const bool absolute = QDir::isAbsolutePath(form);
                if (form.isEmpty() || (absolute && base != &folder_))
                    continue;
                QString path = QDir::cleanPath(absolute ? form : *base + form);
                if (isVisibleFile(path))
                    return path;
            }
        }
        return QString();
    }

private:
    QString folder_;
    QString current_;
};

// Opens only an ordinary file, without waiting: a pipe or a device named
// like a playlist must not block the reader.
bool readPlaylist(const QString& path, QByteArray& bytes) {
    const auto ordinary = [](const struct stat& st) {
        return S_ISREG(st.st_mode) && st.st_size <= kMaxPlaylistBytes;
    };
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0 || !ordinary(st))
        return false;
    // Checked again on the open file, in case the name changed meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &st) != 0 || !ordinary(st)) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    bytes = file.read(kMaxPlaylistBytes + 1);
    return file.error() == QFileDevice::NoError && bytes.size() <= kMaxPlaylistBytes;
}

} // namespace

bool WriteM3uFile(const QString& path, const QStringList& lines) {
    const QFileInfo target(path);
    if (path.isEmpty() || (target.exists() && !target.isFile()))
        return false;
    // One buffer for the whole file: a UTF-16 unit takes at most 3 bytes.
    qsizetype units = 0;
    for (const QString& line : lines)
        units += line.size();
    QByteArray bytes(units * 3 + lines.size() * 2, Qt::Uninitialized);
    QStringEncoder utf8(QStringEncoder::Utf8);
    char* out = bytes.data();
    for (const QString& line : lines) {
        out = utf8.appendToBuffer(out, line);
        *out++ = '\r';
        *out++ = '\n';
    }
    bytes.truncate(out - bytes.data());
    QSaveFile file(path);
    // A file the user may write in a folder they may not still gets written.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString M3uFileName(const QString& chosen) {
    const qsizetype name = chosen.lastIndexOf(u'/') + 1;
    const qsizetype dot = chosen.lastIndexOf(u'.');
    // A leading dot makes a hidden name, not an extension.
    if (dot > name && dot + 1 < chosen.size())
        return chosen;
    return chosen + (chosen.endsWith(u'.') ? QStringLiteral("m3u") : QStringLiteral(".m3u"));
}

int RemoveUnwritableLines(QStringList& lines) {
    return int(lines.removeIf(
        [](const QString& line) { return line.contains(u'\n') || line.contains(u'\r'); }));
}

bool ReadM3uFile(const QString& path, QStringList& entries, M3uRead* read) {
    entries.clear();
    QByteArray bytes;
    if (!readPlaylist(path, bytes))
        return false;
    QByteArrayView rest(bytes);
    // UTF-16 is decoded whole: its line ends are two bytes.
    QString utf16;
    const bool wide = rest.startsWith("\xFF\xFE") || rest.startsWith("\xFE\xFF");
    if (wide) {
        utf16 = QStringDecoder(rest.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE)
                    .decode(rest.sliced(2));
    } else if (rest.startsWith("\xEF\xBB\xBF")) {
        rest = rest.sliced(3);
    }
    const qint64 total = bytes.size();
    const qsizetype size = wide ? utf16.size() : rest.size();
    const auto unit = [&](qsizetype i) {
        return wide ? utf16[i].unicode() : char16_t(static_cast<unsigned char>(rest[i]));
    };
    LineDecoder decoder;
    const EntryResolver resolver(path);
    qsizetype start = 0;
    int lines = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && unit(i) != u'\r' && unit(i) != u'\n')
            continue;
        const QString text =
            wide ? utf16.mid(start, i - start) : decoder.decode(rest.sliced(start, i - start));
        if (i + 1 < size && unit(i) == u'\r' && unit(i + 1) == u'\n')
            ++i;
        start = i + 1;
        if (read && read->progress && ++lines % kLinesPerReport == 0 &&
            !read->progress(wide ? total * i / std::max<qsizetype>(size, 1) : i, total)) {
            entries.clear();
            return false;
        }
        const QStringView line = trimSpaces(text);
        // A NUL cannot be part of a name: such a line is not text at all.
        if (line.isEmpty() || line.contains(QChar(0)))
            continue;
        QString entry = line.size() > kMaxEntryLength ? QString() : resolver.resolve(line);
        if (!entry.isEmpty()) {
            entries << std::move(entry);
        } else if (!line.startsWith(u'#') && read) {
            // Not a comment: an entry whose file is not to be found.
            if (read->missingShown.size() < kMissingShown)
                read->missingShown
                    << (line.size() > kShownLength ? line.left(kShownLength).toString() + u'…'
                                                   : line.toString());
            ++read->missing;
        }
    }
    return true;
}

bool M3uLinesOf(const SongListModel& list, QStringList& lines) {
    const QStringList& captions = list.captions();
    int column = 0;
    while (column < captions.size() &&
           songrows::cellOf(captions[column]) != songrows::Cell::FilePath)
        ++column;
    if (column == captions.size())
        return false;
    lines.clear();
    lines.reserve(list.count());
    for (int row = 0; row < list.count(); ++row)
        lines << list.data(list.index(row, column)).toString();
    return true;
}
