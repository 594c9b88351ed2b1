#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the pickers list: the machine's places (their drive list), the
// folders around the current one (their folder list) and the matching
// files of a folder (their file list).
namespace places {

struct Place {
    QString name; // as the drive list shows it
    QString root;
};

// The home folder first, then each mounted volume once.
QList<Place> machinePlaces();

// The place whose root is the longest prefix of `folder`, ending at a
// separator; -1 when none is.
int placeOf(const QList<Place>& places, const QString& folder);

// The folders from the file-system root down to `folder`, `folder` last.
QStringList ancestors(const QString& folder);

// The subfolders of `folder` by name, ignoring case: folders and links to
// folders; hidden ones and names that are not valid text are left out. False, with a message for
// the user in `error`, when the folder cannot be listed.
bool subfolders(const QString& folder, QStringList& names, QString& error);

// The files of `folder` matching any of the ";"-separated patterns, ignoring
// case ("*.MP3" lists "song.mp3"), by name; hidden files, names that are
// not valid text and anything but ordinary files (and links to them) are
// left out.
QStringList matchingFiles(const QString& folder, const QString& patterns);

} // namespace places
