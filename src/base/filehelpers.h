#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// True when the name ends in one of the audio extensions the library
// accepts (MP3, AIF, AIFF, MID, MIDI, WAV), in any case; no dot is needed.
bool IsMusicFile(const QString& name);

// Lets the caller of a long walk follow and stop it, and tells what the
// walk left out.
struct SearchWatch {
    // Run every SetSearchFilesYieldInterval() milliseconds, on the walk's
    // thread, with the number of files this walk has found; returning false
    // stops the walk (`files` then holds what was found so far).
    std::function<bool(int found)> progress;
    bool cancelled = false;
    // Music files and folders left out for their names, with the first
    // few of their paths as they can be shown.
    int undecodable = 0;
    QStringList undecodableShown;
    // Folders that could not be listed (no permission, gone meanwhile).
    int unreadableFolders = 0;
};

// Appends the full paths of the audio files in `folder` (and, with
// `recurse`, in its subfolders, depth first, each folder in name order) to
// `files`. The index of the next find is one running count shared by the
// whole search: it starts at 0, each find stores at that index (resizing
// `files` to fit) and advances it. Call with the empty folder once a search
// is done, to reset the count for the next one.
//
// Folders whose names begin with "." and links to folders are not entered;
// folders that cannot be read are skipped. The walk lets no events run: a
// window runs a long walk on a worker thread (see base/longwork.h). A walk
// started while another runs, on any thread, does nothing.
//
// Only ordinary files (and links to them) are taken, never pipes or
// devices. A name whose bytes are not valid text in the platform encoding
// is left out: stored as text it would name a file that cannot be opened.
void SearchFiles(const QString& folder, QStringList& files, bool recurse,
                 SearchWatch* watch = nullptr);

// How often (milliseconds) the walk reports to its watch; 0 means after
// every entry. Returns the previous value.
int SetSearchFilesYieldInterval(int milliseconds);

// The song title for a file: the part after the last path separator, up to
// its first ".".
QString GetFileTitle(const QString& path);
