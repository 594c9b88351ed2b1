#pragma once

#include <QList>
#include <QString>

// The read requests of the connector (adoGetData, adoGetEachRow), by the
// catalogue's number. StoredQuery reads the stored query named by its
// parameter.
namespace Read {
inline constexpr int DisplayItems = 1;
inline constexpr int SetLists = 2;
inline constexpr int StoredQuery = 3;
inline constexpr int SortSettings = 4;
inline constexpr int PlayModes = 5;
inline constexpr int SystemVolume = 6;
inline constexpr int MainListSettings = 7;
inline constexpr int FrameItems = 8;
inline constexpr int StatusBarItems = 9;
inline constexpr int SongById = 10;
inline constexpr int Albums = 11;
inline constexpr int AlbumSongs = 12;
inline constexpr int Genres = 13;
inline constexpr int CompactSettings = 14;
inline constexpr int SearchPaths = 15;
inline constexpr int FilePaths = 16;
inline constexpr int SetListConditions = 17;
inline constexpr int Artists = 18;
inline constexpr int ArtistId = 19;
inline constexpr int GenreId = 20;
// Beyond the catalogue: the value of the setting named p0, for settings a
// library may lack (no row when it was never written).
inline constexpr int Setting = 60;
} // namespace Read

// The write requests of the connector (adoSetData), by the catalogue's
// number. 57 and 58 go beyond the catalogue of 21 to 56, for songs
// registered or re-read with the names their files' tags give:
// InsertTaggedSong takes p0 path, p1 title, p2-p4 genre IDs, p5 artist ID;
// UpdateTaggedSong p0 title, p1-p3 genre IDs, p4 artist ID, p5 song ID, an
// empty title or a 0 ID leaving that column as it is. UpdateSong writes
// every field of songParams, UpdateSongKeepPath all but path and title.
namespace Write {
inline constexpr int DeleteAlbum = 21;
inline constexpr int AddAlbumSong = 22;
inline constexpr int SelectSetList = 23;
inline constexpr int AddGenre = 25;
inline constexpr int UpdateSong = 26;
inline constexpr int SystemVolume = 27;
inline constexpr int SelectPlayMode = 28;
inline constexpr int ColumnWidth = 29;
inline constexpr int SearchPath = 30;
inline constexpr int AddSong = 31;
inline constexpr int ResetDisplayItems = 32;
inline constexpr int ShowColumn = 33;
inline constexpr int FrameOrder = 34;
inline constexpr int StatusBarOrder = 35;
inline constexpr int CompactPicture = 36;
inline constexpr int CompactFontColor = 37;
inline constexpr int CompactBackColor = 38;
inline constexpr int MainPicture = 39;
inline constexpr int MainFontColor = 40;
inline constexpr int MainBackColor = 41;
inline constexpr int DropQuery = 42;
inline constexpr int DeleteSetList = 43;
inline constexpr int DeleteConditions = 44;
inline constexpr int AddSetList = 45;
inline constexpr int RunSql = 46;
inline constexpr int DeleteArtist = 48;
inline constexpr int AddArtist = 49;
inline constexpr int RelinkGenre = 50;
inline constexpr int RelinkArtist = 51;
inline constexpr int DeleteGenre = 52;
inline constexpr int SortSettings = 53;
inline constexpr int DeleteSong = 54;
inline constexpr int UpdateSongKeepPath = 55;
inline constexpr int CompactPosition = 56;
inline constexpr int InsertTaggedSong = 57;
inline constexpr int UpdateTaggedSong = 58;
// Beyond the catalogue: p0 a setting's name, p1 its value, its row made
// when the library lacks it.
inline constexpr int Setting = 59;
} // namespace Write

// The numbered requests of the connector as parameterised SQL. Callers'
// values are never written into the text; each is bound as the kind it is.
namespace requests {

enum class ValueKind {
    Text,   // bound as written
    Number, // must read as a decimal number (a single-precision column)
    Long,   // must read as a whole number within 32 bits (a Long Integer column)
    Flag,   // "Yes"/"No" (or "True"/"False"), bound as 1/0
};

struct Value {
    int param; // index into the caller's parameters
    ValueKind kind;
};

enum class Form {
    Sql,       // `sql` with ? placeholders for `values`
    Action,    // `sql` is the name of a stored action query
    ViewName,  // parameter 0 names a stored query, written quoted at %1
    CallerSql, // parameter 0 is a complete statement of the caller's
};

struct Statement {
    Form form;
    QString sql;
    QList<Value> values;
};

// The source of read kind 1 to 20; null for any other kind.
const Statement* read(int kind);

// The statements of write kind 21 to 58, in order; null for an unused or
// out-of-range kind.
const QList<Statement>* write(int kind);

} // namespace requests
