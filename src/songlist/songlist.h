#pragma once

#include <QString>

#include <vector>

class Song;
class SongListModel;

// The list key of the song last started by key or in program play; empty
// means program play starts at the top of the list.
extern QString gLastKey;

void lvResetLastKey();
void lvSetLastKey(const QString& key);

// The key of the row after gLastKey in display order (the first row when
// gLastKey is empty; the first shown one after it when a filter hides
// it). False at the end of the list or when gLastKey is no
// longer in it.
bool lvGetNextKey(const SongListModel& list, QString& key);

// Fills the list in mode 0 from the set list's stored query,
// in mode 1 from the album `name` in track order; a sorted list stays
// sorted. False when the read fails; the list then keeps its rows.
bool lvSetSongList(int mode, const QString& name, SongListModel& list);

// Column -1 restores the stored sort; any other value is a clicked
// column's 0-based position, which reverses the order and sorts by it.
// Values that cannot be used change nothing.
void lvSortList(SongListModel& list, int column);

// Rewrites the song's row from the record; with `skipTitleAndPath` the
// title and file path cells keep their text.
void lvSetSongItem(const Song& song, SongListModel& list, bool skipTitleAndPath);

// lvSetSongItem for many songs at once: one change and one pass to keep
// the list sorted however many rows, so a bulk edit of thousands of songs
// stays quick.
void lvSetSongItems(const std::vector<Song>& songs, SongListModel& list, bool skipTitleAndPath);
