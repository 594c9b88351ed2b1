#pragma once

#include <QString>

class SongListModel;

// Where the next search of the song list starts: a 0-based display
// position, one for the whole program, kept between searches and between
// openings of the search window.
extern qint32 gSerchPos;

// The walk of one "find next": from gSerchPos (from the top when
// `restart`, or when the list has shrunk below gSerchPos) to the last row,
// the first row whose cell in `column` holds `text` under the wildcard
// comparison (the pattern "*" + text + "*", so the empty text matches
// every row). Returns its position and moves gSerchPos past it; without a
// match returns -1 and sets gSerchPos to 0, so the walk after the end is
// reported starts from the top.
int lvSerchWalk(const SongListModel& list, int column, const QString& text, bool restart);
