#pragma once

#include <QString>

// Paths that come from outside the library window (dropped on a window,
// given on the command line) are taken by the add command of their kind:
// music files as "ファイル選択", folders as "フォルダ選択" (with their
// subfolders), playlists as "m3uファイル選択". Anything else adds nothing.
enum class OutsidePath { MusicFile, Folder, Playlist, Other };

OutsidePath kindOfOutsidePath(const QString& path);
