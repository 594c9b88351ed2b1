#pragma once

#include <QString>

class Recordset;
class Song;

inline const QString kRandomPlay = QStringLiteral("ﾗﾝﾀﾞﾑ再生");
inline const QString kProgramPlay = QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ再生");

// Chooses the song to play. A key ("Key_" + ID) names it and switches
// `playMode` to program play; otherwise program play reads nothing here
// and random play draws a row of the set list's query. On return `key`
// holds the bare ID. False only when random play finds no song at all;
// a failed read leaves `song` empty and returns true.
bool SelectSong(const QString& setListName, QString& playMode, Song& song, QString& key);

// The row drawn for r (0 <= r < 1) among n rows: r x (n - 1) rounded to
// the nearest integer, halves to the even one.
int drawnRow(float r, int rows);

// Fills `song` from a row of a song query; program play keys it "Key_" + ID.
void fillSong(const Recordset& row, Song& song, bool programPlay);
