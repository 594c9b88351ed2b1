#pragma once

#include <QString>

// The fixed catalogue of user messages, addressed by number (0 to 28).

// The messages by name.
namespace Msg {
inline constexpr int InitFailed = 0;
inline constexpr int WindowInitFailed = 1;
inline constexpr int DeleteAlbum = 2;
inline constexpr int SongAlreadyAdded = 3;
inline constexpr int EnterAlbumName = 4;
inline constexpr int AddSongsToAlbum = 5;
inline constexpr int AlbumFailed = 6;
inline constexpr int AlbumExists = 7;
inline constexpr int FilesAlreadyListed = 8;
inline constexpr int Updated = 9;
inline constexpr int DeleteSetList = 10;
inline constexpr int SetConditions = 11;
inline constexpr int EnterSetListName = 12;
inline constexpr int SetListExists = 13;
inline constexpr int SetListFailed = 14;
inline constexpr int DisplayUpdateFailed = 15;
inline constexpr int CategoryUpdateFailed = 16;
inline constexpr int PlayFailed = 17;
inline constexpr int CannotDeleteAll = 18;
inline constexpr int AtMostThreeGenres = 19;
inline constexpr int CannotEditAll = 20;
inline constexpr int DeleteSongs = 21;
inline constexpr int EnterFileName = 22;
inline constexpr int ExportM3u = 23;
inline constexpr int M3uFailed = 24;
inline constexpr int SearchedToEnd = 25;
inline constexpr int CopyToFolder = 26;
inline constexpr int NeedGenre = 27;
inline constexpr int NeedArtist = 28;
} // namespace Msg

inline constexpr int kMessageCount = 29;
inline const QString kDefaultMessageTitle = QStringLiteral("Melodara Player");

// The catalogue text of `number`; the empty text for a number outside it.
QString MessageText(int number);

// Shows message `number` with the platform `style` (0 = OK, 1 = OK and
// Cancel) and returns the button pressed (1 = OK, 2 = Cancel). An empty
// `title` selects the default title, which is written back into it.
int ShowMessage(int number, int style, QString& title);

// The same under the default title, for callers that do not keep it.
int ShowMessage(int number, int style = 0);
