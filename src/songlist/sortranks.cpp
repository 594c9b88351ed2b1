#include "songlist/sortranks.h"

#include <algorithm>

namespace sortranks {

namespace {

// The units compared at once by an integer: most cells differ within them.
constexpr qsizetype kPrefixUnits = 4;

struct Key {
    quint64 prefix; // the first units, most significant first; 0 past the end
    QStringView rest;
    int cell;
};

quint64 prefixOf(QStringView s) {
    quint64 p = 0;
    for (qsizetype i = 0; i < kPrefixUnits; ++i)
        p = (p << 16) | (i < s.size() ? s[i].unicode() : 0u);
    return p;
}

// A cell holds no U+0000 (the list's cell separator), so zero padding
// sorts a shorter text before a longer one with the same start.
int compareKeys(const Key& a, const Key& b) {
    if (a.prefix != b.prefix)
        return a.prefix < b.prefix ? -1 : 1;
    return a.rest.compare(b.rest);
}

} // namespace

QString key(QStringView cell) {
    return cell.toString().toCaseFolded();
}

Ranks rank(const std::vector<QStringView>& cells) {
    // Folding is per character, so the column folds as one text with its
    // cells ended by U+0000: one pass and one allocation, not one per cell.
    qsizetype total = 0;
    for (QStringView c : cells)
        total += c.size() + 1;
    QString folded;
    folded.reserve(total);
    for (QStringView c : cells) {
        folded.append(c);
        folded.append(QChar(0));
    }
    folded = std::move(folded).toCaseFolded();

    std::vector<QStringView> views;
    views.reserve(cells.size());
    const QStringView all(folded);
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype end = all.indexOf(QChar(0), start);
        views.push_back(all.sliced(start, end - start));
        start = end + 1;
    }
    // Units every cell shares (a path's folder, say) decide nothing.
    qsizetype common = views.empty() ? 0 : views.front().size();
    for (QStringView v : views) {
        qsizetype i = 0;
        const qsizetype n = std::min(common, v.size());
        while (i < n && v[i] == views.front()[i])
            ++i;
        common = i;
    }

    std::vector<Key> keys;
    keys.reserve(views.size());
    for (int c = 0; c < int(views.size()); ++c) {
        const QStringView v = views[size_t(c)].sliced(common);
        keys.push_back({prefixOf(v), v.sliced(std::min(kPrefixUnits, v.size())), c});
    }
    std::sort(keys.begin(), keys.end(),
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
