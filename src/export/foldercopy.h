#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFile;

// Copies files into one folder, one after another, each under its own
// file name and over any file of that name there, so of two sources with
// the same name the later one stays. The first failure ends the copy.
//
// Each file is streamed a chunk at a time (by the kernel where it can,
// else through a fixed buffer), never read whole, into a temporary file
// beside its target that takes the target's name only when complete: a
// failure, a cancel or a killed program never leaves part of a file under
// its name, and a file being replaced stays as it was until then. A file
// in the folder without write permission is not replaced, even by the
// superuser. A source that is not a regular file (a pipe, a device) is
// skipped and named in skipped(): reading it could wait for ever, or
// never end.
class FolderCopy {
public:
    FolderCopy(QStringList sources, QString folder);

    int count() const { return int(sources_.size()); }
    // Where source `index` goes: the folder and the source's file name.
    QString targetOf(int index) const;

    // How many targets name a file that is there already.
    int existingTargets() const;
    // Leaves such files as they are instead of replacing them.
    void keepExisting(bool keep) { keepExisting_ = keep; }

    // Copies every source in order; `starting` is told the index of each
    // file before it is copied. `cancelled` is asked before each file and
    // each chunk: once it says yes the copy ends, and the files copied so
    // far stay. True when all were copied or skipped.
    bool run(const std::function<void(int index)>& starting = {},
             const std::function<bool()>& cancelled = {});

    int copied() const { return copied_; }
    bool cancelled() const { return cancelled_; }
    // The sources passed over as not regular files, in order.
    const QStringList& skipped() const { return skipped_; }
    // What went wrong, for the user; empty unless a copy failed.
    const QString& error() const { return error_; }

    // Tests: runs on the copying thread as each file starts, after
    // `starting`, e.g. to hold the copy there. An empty hook removes it.
    static void setFileHook(std::function<void(int index)> hook);

private:
    enum class Outcome { Copied, Skipped, Failed };
    Outcome copyOne(const QString& source, const QString& target);
    // Opens `source` without waiting on it; false with error_ set on a
    // failure, and `in` left closed for a source that is not a file.
    bool openSource(const QString& source, QFile& in);
    // The rest of file `in` into file `out`; false on a failure or a cancel.
    bool stream(int in, int out, const QString& source, const QString& target);

    QStringList sources_;
    QString folder_;
    std::unique_ptr<char[]> buffer_;
    std::function<bool()> cancel_;
    bool keepExisting_ = false;
    int copied_ = 0;
    bool cancelled_ = false;
    QStringList skipped_;
    QString error_;
};
