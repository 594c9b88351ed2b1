#include "export/foldercopy.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Large enough that the system calls cost next to nothing, small enough
// that a cancel is noticed at once even on a slow stick.
constexpr qint64 kChunk = 1 << 20;

const QString kCannotWrite = QStringLiteral("コピー先に書き込めません。");
const QString kDiskFull = QStringLiteral("コピー先の空き容量が足りません。");

// rw-r--r--, as a file copied by hand gets.
constexpr QFile::Permissions kNewFilePermissions = QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadUser | QFile::WriteUser |
                                                   QFile::ReadGroup | QFile::ReadOther;

QString described(const QString& what, const QString& path, const QString& reason) {
    return QStringLiteral("%1\n%2\n(%3)").arg(what, path, reason);
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a failed write of `target` tells the user: a full disk (or quota)
// as such, anything else as a target that cannot be written.
QString writeFailure(const QString& target, int error) {
    const bool full = error == ENOSPC || error == EDQUOT;
    return described(full ? kDiskFull : kCannotWrite, target, systemError(error));
}

#ifdef __linux__
// The kernel cannot copy between these two files (another file system, an
// old kernel): the buffer does it instead. Any other error is the write's.
bool kernelCannotCopy(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EBADF || error == EPERM || error == ETXTBSY;
}
#endif

std::function<void(int)>& fileHook() {
    static std::function<void(int)> hook;
    return hook;
}

} // namespace

FolderCopy::FolderCopy(QStringList sources, QString folder)
    : sources_(std::move(sources)), folder_(std::move(folder)) {}

QString FolderCopy::targetOf(int index) const {
    return folder_ + QLatin1Char('/') + QFileInfo(sources_.value(index)).fileName();
}

int FolderCopy::existingTargets() const {
    int n = 0;
    for (int i = 0; i < count(); ++i) {
        const QFileInfo target(targetOf(i));
        n += target.exists() && !target.isDir() ? 1 : 0;
    }
    return n;
}

void FolderCopy::setFileHook(std::function<void(int)> hook) {
    fileHook() = std::move(hook);
}

bool FolderCopy::run(const std::function<void(int)>& starting,
                     const std::function<bool()>& cancelled) {
    cancel_ = cancelled ? cancelled : [] { return false; };
    buffer_ = std::make_unique<char[]>(kChunk);
    for (int i = 0; i < count(); ++i) {
        if (cancel_()) {
            cancelled_ = true;
            return false;
        }
        if (starting)
            starting(i);
        if (fileHook())
            fileHook()(i);
        const QFileInfo target(targetOf(i));
        if (keepExisting_ && target.exists() && !target.isDir())
            continue;
        switch (copyOne(sources_[i], targetOf(i))) {
        case Outcome::Copied:
            ++copied_;
            break;
        case Outcome::Skipped:
            skipped_ << sources_[i];
            break;
        case Outcome::Failed:
            return false;
        }
    }
    return true;
}

bool FolderCopy::openSource(const QString& source, QFile& in) {
    // Opened without waiting, as a pipe with no writer would make it; only
    // a regular file is then read, and read blocking as usual.
    const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // A socket (or a device without its driver) cannot be opened at all.
    if (fd < 0 && errno == ENXIO)
        return true;
    if (fd < 0) {
        const int error = errno;
        error_ = error == ENOENT ? QStringLiteral("ファイルが見つかりません。\n%1").arg(source)
                                 : described(QStringLiteral("ファイルを開けません。"), source,
                                             systemError(error));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        error_ = described(QStringLiteral("ファイルを開けません。"), source, systemError(error));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return true;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!in.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFile::AutoCloseHandle)) {
        ::close(fd);
        error_ = described(QStringLiteral("ファイルを開けません。"), source, in.errorString());
        return false;
    }
    return true;
}

FolderCopy::Outcome FolderCopy::copyOne(const QString& source, const QString& target) {
    QFile in;
    if (!openSource(source, in))
        return Outcome::Failed;
    if (!in.isOpen())
        return Outcome::Skipped;
    // Every copy is written beside its target under a short temporary name
    // and takes the target's name in one step only when it is complete, so
    // neither a failure nor a killed program leaves part of a file under
    // that name. A file the user made read-only is not replaced at all:
    // judged by its permission bits, since the superuser may write any file.
    const QFileInfo existing(target);
    const bool replacing = existing.exists() || existing.isSymLink();
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (replacing && !existing.isDir() &&
        (!existing.isWritable() || !(existing.permissions() & anyWrite))) {
        error_ = described(kCannotWrite, target, systemError(EACCES));
        return Outcome::Failed;
    }
    QTemporaryFile out(folder_ + QStringLiteral("/.melodara-XXXXXX"));
    if (!out.open()) {
        error_ = described(kCannotWrite, target, out.errorString());
        return Outcome::Failed;
    }
    out.setPermissions(replacing ? existing.permissions() : kNewFilePermissions);
    if (!stream(int(in.handle()), int(out.handle()), source, target))
        return Outcome::Failed;
    // Some file systems (on a network) report a failed write only when the
    // file is closed.
    out.unsetError();
    out.close();
    if (out.error() != QFile::NoError) {
        error_ = described(kCannotWrite, target, out.errorString());
        return Outcome::Failed;
    }
    if (std::rename(QFile::encodeName(out.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        error_ = described(kCannotWrite, target, systemError(errno));
        return Outcome::Failed;
    }
    out.setAutoRemove(false);
    return Outcome::Copied;
}

bool FolderCopy::stream(int in, int out, const QString& source, const QString& target) {
#ifdef __linux__
    // The kernel copies between the two files where it can, without the
    // data passing through this process, as cp does; otherwise the buffer
    // carries it, from wherever the kernel stopped.
    bool kernel = true;
    bool kernelCopied = false;
#endif
    for (;;) {
        if (cancel_()) {
            cancelled_ = true;
            return false;
        }
#ifdef __linux__
        if (kernel) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(kChunk), 0);
            if (n > 0) {
                kernelCopied = true;
                continue;
            }
            if (n == 0 && kernelCopied)
                return true;
            // Nothing copied at all may also be a file system that cannot.
            if (n < 0 && !kernelCannotCopy(errno)) {
                error_ = writeFailure(target, errno);
                return false;
            }
            kernel = false;
        }
#endif
        const ssize_t got = ::read(in, buffer_.get(), size_t(kChunk));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error_ =
                described(QStringLiteral("ファイルを読み込めません。"), source, systemError(errno));
            return false;
        }
        if (got == 0)
            return true;
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::write(out, buffer_.get() + put, size_t(got - put));
            if (n < 0 && errno == EINTR)
                continue;
            // No byte written and no reason given is the disk filling up.
            if (n <= 0) {
                error_ = writeFailure(target, n < 0 ? errno : ENOSPC);
                return false;
            }
            put += n;
        }
    }
}
