#include "songlist/search.h"

#include "songlist/like.h"
#include "songlist/songlistmodel.h"

qint32 gSerchPos = 0;

int lvSerchWalk(const SongListModel& list, int column, const QString& text, bool restart) {
    const int n = list.count();
    // A position just past the last row is kept: after a hit on the last
    // row the next walk reports the end before starting again at the top.
    if (gSerchPos > n || gSerchPos < 0 || restart)
        gSerchPos = 0;
    const LikePattern pattern(QLatin1Char('*') + text + QLatin1Char('*'));
    for (; gSerchPos < n; ++gSerchPos) {
        if (pattern.matches(list.cellAt(gSerchPos, column)))
            return gSerchPos++;
    }
    gSerchPos = 0;
    return -1;
}
