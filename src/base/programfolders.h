#pragma once

#include <QString>

// Where the program finds its own files. Run from the build folder they
// sit beside the executable; installed below a prefix (the executable in
// <prefix>/bin), its data is in <prefix>/share/melodara-player and its
// loadable parts in <prefix>/lib/melodara-player, so any prefix works.
namespace programfolders {

struct Folders {
    bool installed = false;
    // Pictures ("MLPData"), the help page and the read-me.
    QString data;
    // The web pane's engine library.
    QString modules;
};

// The folders of an executable in `programFolder`: installed when the
// prefix's data folder is there.
Folders forProgram(const QString& programFolder);

// The folders of this process.
Folders current();

// `name` in the data folder of this process.
QString dataFile(const QString& name);

} // namespace programfolders
