#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
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
// superuser.
//
// run() may go on another thread than cancel().
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
    // file before it is copied. True when all were copied.
    bool run(const std::function<void(int index)>& starting = {});
    // Ends the copy at the next step; the files copied so far stay.
    void cancel() { cancel_ = true; }

    int copied() const { return copied_; }
    bool cancelled() const { return cancelled_; }
    // What went wrong, for the user; empty unless a copy failed.
    const QString& error() const { return error_; }

private:
    bool copyOne(const QString& source, const QString& target);
    // The rest of `in` into `out`; false on a failure or a cancel.
    bool stream(QFile& in, QFile& out, const QString& source, const QString& target);

    QStringList sources_;
    QString folder_;
    std::unique_ptr<char[]> buffer_;
    std::atomic<bool> cancel_ = false;
    bool keepExisting_ = false;
    int copied_ = 0;
    bool cancelled_ = false;
    QString error_;
};
