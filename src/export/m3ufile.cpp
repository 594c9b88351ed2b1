#include "export/m3ufile.h"

#include "songlist/songlistmodel.h"
#include "songlist/songrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A playlist of 100,000 entries is some 10 MB; a file far larger than that
// is not a playlist, and reading it would only fill the memory.
constexpr qint64 kMaxPlaylistBytes = 64 * 1024 * 1024;
// No path the system can open is longer.
constexpr qsizetype kMaxEntryLength = 4096;

QString decode(const QByteArray& bytes, bool utf8ByName) {
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(view.sliced(3));
    if (view.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(view.sliced(2));
    if (view.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(view.sliced(2));
    if (utf8ByName)
        return QString::fromUtf8(view);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    // What the platform the playlists come from wrote: code page 932.
    QStringDecoder cp932("windows-31j");
    if (!cp932.isValid())
        cp932 = QStringDecoder("Shift_JIS");
    return cp932.isValid() ? QString(cp932.decode(view)) : text;
}

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
            const QUrl url(name);
            if (!url.isLocalFile())
                return QString();
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

bool ReadM3uFile(const QString& path, QStringList& entries) {
    entries.clear();
    QByteArray bytes;
    if (!readPlaylist(path, bytes))
        return false;
    const QString text = decode(bytes, path.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive));
    bytes.clear();
    const EntryResolver resolver(path);
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && text[i] != u'\r' && text[i] != u'\n')
            continue;
        const QStringView line = trimSpaces(QStringView(text).sliced(start, i - start));
        if (i + 1 < size && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
        if (line.isEmpty() || line.startsWith(u'#') || line.size() > kMaxEntryLength ||
            line.contains(QChar(0)))
            continue;
        QString entry = resolver.resolve(line);
        if (!entry.isEmpty())
            entries << std::move(entry);
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
