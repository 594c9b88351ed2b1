#pragma once

#include <QString>

#include <span>
#include <vector>

// How song list cells sort: as text ignoring case, by their case-folded
// forms compared code unit by code unit ("10" before "9", full-width
// letters after every kana). The one place this order is written.
namespace sortranks {

// A cell's sort key: keys compare as QString::compare does.
QString key(QStringView cell);

// The rank of each cell in that order, 0 for the first: equal cells share
// a rank, the next distinct cell has the next one. Each cell is folded
// once, so a column ranks in one sort of integers and short prefixes.
struct Ranks {
    std::vector<quint32> of; // by cell
    quint32 count = 0;       // distinct cells
};
Ranks rank(std::span<const QStringView> cells);

// Puts `order` (indexes into ranks.of) in rank order, ascending or
// descending, keeping the present order among equal ranks: the same as a
// stable sort by `compare`, in time linear in the rows.
void sortByRank(std::vector<int>& order, const Ranks& ranks, bool descending);

} // namespace sortranks
