#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class SongListModel;

// The library window's list of files and the rules it keeps; the window
// only shows it. Registered songs are keyed "Key_" + ID; pending files
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

    // Called every few hundred files with the files written so far and
    // the total; false cancels.
    using Progress = std::function<bool(int done, int total)>;
    // Writes every pending file with its title in one bulk write, all or
    // nothing. False after a cancel or a failure: the library is then as it
    // was and the files stay pending.
    bool registerPending(const Progress& progress = {});

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
