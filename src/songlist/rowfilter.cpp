#include "songlist/rowfilter.h"

#include "base/textfold.h"
#include "songlist/rowstore.h"
#include "songlist/songrows.h"

#include <algorithm>

RowFilter::RowFilter(const QString& text) : needle_(text::fold(text)) {
    needle_.remove(RowStore::kCellEnd);
}

void RowFilter::setColumns(const QStringList& captions) {
    using songrows::Cell;
    columns_.clear();
    for (int c = 0; c < captions.size(); ++c) {
        const Cell cell = songrows::cellOf(captions[c]);
        if (cell == Cell::Title || cell == Cell::Artist || cell == Cell::Genre)
            columns_ << c;
    }
}

bool RowFilter::narrows(const RowFilter& wider) const {
    return wider.active() && columns_ == wider.columns_ && needle_.contains(wider.needle_);
}

bool RowFilter::matches(const RowStore& rows, int id) const {
    if (!active())
        return true;
    folded_.clear();
    foldedCells(rows, id, folded_);
    return matches(folded_);
}

// Joined by the cell separator, which no typed text holds: a text never
// matches across two cells.
void RowFilter::foldedCells(const RowStore& rows, int id, QString& out) const {
    for (int column : columns_) {
        text::foldInto(rows.cell(id, column), cells_);
        out.append(cells_);
        out.append(RowStore::kCellEnd);
    }
}

void FoldedRows::clear() {
    text_.clear();
    start_.clear();
    length_.clear();
}

void FoldedRows::forget(int id) {
    if (size_t(id) < start_.size())
        start_[size_t(id)] = -1;
}

QStringView FoldedRows::of(const RowStore& rows, const RowFilter& filter, int id) {
    if (start_.size() < size_t(rows.size())) {
        // Room for the usual title, artist and genre at once.
        constexpr qsizetype kTypicalRow = 48;
        text_.reserve(std::max(text_.capacity(), rows.size() * kTypicalRow));
        start_.resize(size_t(rows.size()), -1);
        length_.resize(size_t(rows.size()), 0);
    }
    if (start_[size_t(id)] < 0) {
        const qsizetype start = text_.size();
        filter.foldedCells(rows, id, text_);
        start_[size_t(id)] = start;
        length_[size_t(id)] = text_.size() - start;
    }
    return QStringView(text_).sliced(start_[size_t(id)], length_[size_t(id)]);
}
