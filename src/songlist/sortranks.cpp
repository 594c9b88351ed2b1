#include "songlist/sortranks.h"

#include "base/largememory.h"

#include <QFuture>
#include <QtConcurrent>

#include <algorithm>
#include <functional>
#include <memory>

namespace sortranks {

namespace {

// The units compared at once by two integers: most cells differ within
// them, paths within an album included.
constexpr qsizetype kPrefixUnits = 8;

struct Key {
    quint64 high; // the first units, most significant first; 0 past the end
    quint64 low;
    QStringView rest;
    int cell;
};

quint64 unitsOf(QStringView s, qsizetype from) {
    quint64 p = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        p = (p << 16) | (i < s.size() ? s[i].unicode() : 0u);
    return p;
}

// A cell holds no U+0000 (the list's cell separator), so zero padding
// sorts a shorter text before a longer one with the same start.
int compareKeys(const Key& a, const Key& b) {
    if (a.high != b.high)
        return a.high < b.high ? -1 : 1;
    if (a.low != b.low)
        return a.low < b.low ? -1 : 1;
    return a.rest.compare(b.rest);
}

// Each unit outside the surrogates as QString::toCaseFolded folds it:
// folding is per character, and a character of one unit folds to one.
// Made once from QChar's folding, which is the same, without a text per
// character.
const char16_t* foldTable() {
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            t[c] = QChar::isSurrogate(c) ? char16_t(c) : char16_t(QChar::toCaseFolded(c));
        return t;
    }();
    return table.get();
}

// Appends the folded cell and a U+0000 to `out`.
void appendFolded(QStringView cell, largememory::Vector<QChar>& out) {
    const char16_t* table = foldTable();
    for (QChar c : cell) {
        if (c.isSurrogate()) {
            // Characters of two units: QString's own folding, for the cell.
            const QString folded = cell.toString().toCaseFolded();
            out.insert(out.end(), folded.cbegin(), folded.cend());
            out.push_back(QChar(0));
            return;
        }
    }
    for (QChar c : cell)
        out.push_back(QChar(table[c.unicode()]));
    out.push_back(QChar(0));
}

} // namespace

QString key(QStringView cell) {
    return cell.toString().toCaseFolded();
}

namespace {

// A share of a column, folded and keyed on a thread of its own.
struct Part {
    largememory::Vector<QChar> folded;
    largememory::Vector<Key> keys;
};

// Folds `cells`, the column's from `first` on, into one text, each cell
// ended by U+0000, and keys each of them; the text and the keys are tens
// of megabytes for a column of paths: large memory.
void foldPart(std::span<const QStringView> cells, int first, Part& part) {
    qsizetype total = 0;
    for (QStringView c : cells)
        total += c.size() + 1;
    part.folded.reserve(size_t(total));
    for (QStringView c : cells)
        appendFolded(c, part.folded);
    part.keys.reserve(cells.size());
    const QStringView all(part.folded.data(), qsizetype(part.folded.size()));
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype end = all.indexOf(QChar(0), start);
        part.keys.push_back({0, 0, all.sliced(start, end - start), first + int(part.keys.size())});
        start = end + 1;
    }
}

// How many units at the start of `k.rest` the text `first` shares, at
// most `common`.
qsizetype shared(const Key& k, QStringView first, qsizetype common) {
    qsizetype i = 0;
    const qsizetype n = std::min(common, k.rest.size());
    while (i < n && k.rest[i] == first[i])
        ++i;
    return i;
}

// Keys the part past the `common` units every cell shares, and sorts it.
void sortPart(Part& part, qsizetype common) {
    for (Key& k : part.keys) {
        const QStringView v = k.rest.sliced(common);
        k.high = unitsOf(v, 0);
        k.low = unitsOf(v, 4);
        k.rest = v.sliced(std::min(kPrefixUnits, v.size()));
    }
    std::sort(part.keys.begin(), part.keys.end(),
              [](const Key& a, const Key& b) { return compareKeys(a, b) < 0; });
}

// Below this many cells a column is ranked on one thread: handing half to
// another costs more than it saves.
constexpr size_t kSplitCells = 20000;

} // namespace

Ranks rank(std::span<const QStringView> cells) {
    // A long column is folded and sorted in two halves at once, then merged.
    const size_t half = cells.size() >= kSplitCells ? cells.size() / 2 : cells.size();
    Part parts[2];
    const auto inHalves = [&](const std::function<void(int)>& work) {
        QFuture<void> other;
        if (half < cells.size())
            other = QtConcurrent::run([&] { work(1); });
        work(0);
        other.waitForFinished();
    };
    inHalves([&](int p) {
        if (p == 0)
            foldPart(cells.first(half), 0, parts[0]);
        else
            foldPart(cells.subspan(half), int(half), parts[1]);
    });

    // Units every cell shares (a path's folder, say) decide nothing.
    const Part& firstPart = parts[0].keys.empty() ? parts[1] : parts[0];
    qsizetype common = firstPart.keys.empty() ? 0 : firstPart.keys.front().rest.size();
    for (const Part& part : parts) {
        for (const Key& k : part.keys)
            common = shared(k, firstPart.keys.front().rest, common);
    }
    inHalves([&](int p) { sortPart(parts[p], common); });

    largememory::Vector<Key> keys(parts[0].keys.size() + parts[1].keys.size());
    std::merge(parts[0].keys.begin(), parts[0].keys.end(), parts[1].keys.begin(),
               parts[1].keys.end(), keys.begin(),
               [](const Key& a, const Key& b) { return compareKeys(a, b) < 0; });

    Ranks ranks;
    ranks.of.resize(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        if (k > 0 && compareKeys(keys[k - 1], keys[k]) != 0)
            ++ranks.count;
        ranks.of[size_t(keys[k].cell)] = ranks.count;
    }
    if (!keys.empty())
        ++ranks.count;
    return ranks;
}

void sortByRank(std::vector<int>& order, const Ranks& ranks, bool descending) {
    // A counting sort: rows go to their rank's slot in their present order.
    std::vector<int> start(size_t(ranks.count) + 1, 0);
    const auto slot = [&](int row) {
        const quint32 r = ranks.of[size_t(row)];
        return size_t(descending ? ranks.count - 1 - r : r);
    };
    for (int row : order)
        ++start[slot(row) + 1];
    for (size_t s = 1; s < start.size(); ++s)
        start[s] += start[s - 1];
    std::vector<int> sorted(order.size());
    for (int row : order)
        sorted[size_t(start[slot(row)]++)] = row;
    order = std::move(sorted);
}

} // namespace sortranks
