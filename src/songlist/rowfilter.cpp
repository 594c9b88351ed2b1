#include "songlist/rowfilter.h"

#include "base/textfold.h"
#include "songlist/rowstore.h"
#include "songlist/songrows.h"

RowFilter::RowFilter(const QString& text) : needle_(text::fold(text)) {}

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
    for (int column : columns_) {
        text::foldInto(rows.cell(id, column), folded_);
        if (folded_.contains(needle_))
            return true;
    }
    return false;
}
