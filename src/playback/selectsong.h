#pragma once

#include <QString>

#include <vector>

class Song;

inline const QString kRandomPlay = QStringLiteral("ﾗﾝﾀﾞﾑ再生");
inline const QString kProgramPlay = QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ再生");
inline const QString kPriorityPlay = QStringLiteral("優先度ﾗﾝﾀﾞﾑ再生");

// Chooses the song to play. A key ("Key_" + ID) names it and switches
// `playMode` to program play; otherwise program play reads nothing here
// and random play draws a row of the set list's query. On return `key`
// holds the bare ID. False only when random play finds no song at all;
// a failed read leaves `song` empty and returns true.
bool SelectSong(const QString& setListName, QString& playMode, Song& song, QString& key);

// A row of `rows` drawn as random play draws it: r from the song random
// source in single precision, then drawnRow.
int drawRow(int rows);

// The row drawn for r (0 <= r < 1) among n rows: r x (n - 1) rounded to
// the nearest integer, halves to the even one.
int drawnRow(float r, int rows);

// Song `id` read by its ID and filled as a drawn song (KeyString the bare
// ID); false when it cannot be read.
bool readSong(qint64 id, Song& song);

// The ID and priority of every song of the set list, in its query's order.
struct SetListSong {
    qint64 id;
    int priority;
};
bool readSetListSongs(const QString& setListName, std::vector<SetListSong>& songs);
