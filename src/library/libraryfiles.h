#pragma once

#include "library/tagging.h"

#include <QSet>
#include <QString>
#include <QStringList>

class SongListModel;

// The library window's list of files and the rules it keeps; the window
// only shows it. Registered songs are keyed by their list key; pending files
// (appended in this opening, not yet written) are keyed by their path and
// follow the registered ones. Each path is listed once.
class LibraryFiles {
public:
    explicit LibraryFiles(SongListModel& list);

    // Fills the list with every registered file. A failed read leaves the
    // list as it was; the load count becomes its count either way.
    bool load();

    // The number of rows after the last load (or registration): the rows
    // from there on are the pending files.
    int LoadCount() const { return loadCount_; }
    int pendingCount() const;
    // True once this opening has registered or deleted songs.
    bool Registed() const { return registed_; }

    // Appends the paths as pending files, in order. A path already listed,
    // registered or pending, is skipped; when any was, message 8 is shown
    // once. Returns how many were appended.
    int append(const QStringList& paths);

    // Called every few hundred files with the steps done so far and the
    // total; false cancels.
    using Progress = tagging::Progress;

    // The pending files' paths, in list order.
    QStringList pendingPaths() const;
    // Reads the tags of `paths` and writes them as songs in one bulk
    // write, all or nothing (tagging.h); the steps are the files written.
    // Runs on any one thread: it touches no list.
    static bool registerFiles(const QStringList& paths, const Progress& progress = {});
    // The first `count` pending files were written: they count as loaded
    // from now on, and files appended meanwhile stay pending.
    void markRegistered(int count);
    // Registers every pending file on this thread: the three above.
    bool registerPending(const Progress& progress = {});

    // The registered songs among `keys` (pending files are passed over),
    // as IDs and paths in key order.
    void registeredSongs(const QStringList& keys, QList<qint64>& ids, QStringList& paths) const;
    // Reads the tags of the songs `ids` at `paths` and sets their titles,
    // artists and genres in one bulk write, all or nothing. Any one thread.
    static bool rereadTags(const QList<qint64>& ids, const QStringList& paths,
                           const Progress& progress = {});
    // Songs were changed in this opening.
    void markChanged() { registed_ = true; }
    // Runs a long write, which reports through the Progress it is given
    // and may run on another thread (the window runs it on a worker behind
    // its progress dialog); with no runner it runs here.
    using Runner = std::function<bool(const std::function<bool(const Progress&)>& write)>;

    // Deletes the songs of these list keys (pending files are ignored) in
    // one bulk write, all or nothing, then reloads the list. Registed
    // becomes true even when the write fails or is cancelled.
    bool deleteSongs(const QStringList& keys, const Runner& run = {});

private:
    // The listed paths, gathered when first needed: opening the window
    // only to delete songs does not pay for them.
    void rememberListedPaths();

    SongListModel& list_;
    QSet<QString> paths_;
    bool pathsKnown_ = false;
    int loadCount_ = 0;
    bool registed_ = false;
};
