#include "export/foldercopy.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef __linux__
#include <unistd.h>
#endif

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

bool FolderCopy::run(const std::function<void(int)>& starting) {
    buffer_ = std::make_unique<char[]>(kChunk);
    for (int i = 0; i < count(); ++i) {
        if (cancel_) {
            cancelled_ = true;
            return false;
        }
        if (starting)
            starting(i);
        const QFileInfo target(targetOf(i));
        if (keepExisting_ && target.exists() && !target.isDir())
            continue;
        if (!copyOne(sources_[i], targetOf(i)))
            return false;
        ++copied_;
    }
    return true;
}

bool FolderCopy::copyOne(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error_ = QFileInfo::exists(source)
                     ? described(QStringLiteral("ファイルを開けません。"), source, in.errorString())
                     : QStringLiteral("ファイルが見つかりません。\n%1").arg(source);
        return false;
    }
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
        return false;
    }
    QTemporaryFile out(folder_ + QStringLiteral("/.melodara-XXXXXX"));
    if (!out.open()) {
        error_ = described(kCannotWrite, target, out.errorString());
        return false;
    }
    out.setPermissions(replacing ? existing.permissions() : kNewFilePermissions);
    if (!stream(in, out, source, target))
        return false;
    if (std::rename(QFile::encodeName(out.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        error_ = described(kCannotWrite, target, systemError(errno));
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

bool FolderCopy::stream(QFile& in, QFile& out, const QString& source, const QString& target) {
#ifdef __linux__
    // The kernel copies between the two files where it can, without the
    // data passing through this process, as cp does; otherwise (another
    // file system, a pipe) the buffer carries it.
    bool kernel = true;
    bool kernelCopied = false;
#endif
    for (;;) {
        if (cancel_) {
            cancelled_ = true;
            return false;
        }
#ifdef __linux__
        if (kernel) {
            const ssize_t n = ::copy_file_range(int(in.handle()), nullptr, int(out.handle()),
                                                nullptr, size_t(kChunk), 0);
            if (n > 0) {
                kernelCopied = true;
                continue;
            }
            if (n == 0 && kernelCopied)
                break;
            // Not possible here (or nothing seen yet): the buffer takes
            // over from where the kernel stopped and reports any failure.
            kernel = false;
        }
#endif
        const qint64 got = in.read(buffer_.get(), kChunk);
        if (got < 0) {
            error_ =
                described(QStringLiteral("ファイルを読み込めません。"), source, in.errorString());
            return false;
        }
        if (got == 0)
            break;
        const qint64 put = out.write(buffer_.get(), got);
        if (put != got) {
            // A short write is the disk filling up; the system says nothing.
            error_ = put >= 0 ? described(kDiskFull, target, systemError(ENOSPC))
                              : described(kCannotWrite, target, out.errorString());
            return false;
        }
    }
    if (!out.flush()) {
        error_ = described(kCannotWrite, target, out.errorString());
        return false;
    }
    return true;
}
