#pragma once

#include "base/largememory.h"

#include <QString>

#include <utility>

// The rows of a song list by id: each row's key and cells kept in one text
// shared by all rows, and its key found through an index of ids. A
// 100,000-row list is thus a handful of allocations instead of one or more
// per row, quick to fill and to free, and small.
class RowStore {
public:
    // Ends the key and each cell of a row; a cell cannot hold it.
    static constexpr QChar kCellEnd = QChar(0);

    int size() const { return int(rows_.size()); } // ids, removed rows included
    bool removed(int id) const { return rows_[size_t(id)].length == 0; }
    // The id of the row with `key`, or -1.
    int find(QStringView key) const;
    QStringView key(int id) const;
    // Cell `column` of row `id`; empty past its cells.
    QStringView cell(int id, int column) const;
    int cellCount(int id) const;

    // Adding a row: beginRow, then append its key, kCellEnd, and each cell
    // followed by kCellEnd; endRow gives the new row's id. A key that
    // exists already is found as the new row.
    void beginRow();
    void append(QStringView text);
    void append(QChar unit) { text_.push_back(unit); }
    // Room for `units` more units after the row's text, written in place;
    // setEnd then says where the writing stopped.
    QChar* room(qsizetype units);
    void setEnd(const QChar* end) { text_.setSize(size_t(end - text_.data())); }
    int endRow();
    // Rewriting row `id`: beginRow, the same key and the new cells, then
    // endRewrite.
    void endRewrite(int id);
    void remove(int id);
    void reserve(int rows) { rows_.reserve(size_t(rows)); }

private:
    struct Row {
        qsizetype start = 0;
        qsizetype length = 0; // 0 once removed
    };
    // A slot of the key index: a row's id and its key's hash, so that
    // probing compares keys only when their hashes agree.
    struct Slot {
        int id;
        uint hash;
    };

    QStringView rowText(int id) const;
    qsizetype textSize() const { return qsizetype(text_.size()); }
    static uint hashOf(QStringView key);
    // The slot of `key`, or the empty one it would take.
    size_t slotOf(QStringView key, uint hash) const;
    // The key index is built when a key is first looked for, so a fill
    // does not pay for it.
    void buildIndex() const;
    void index(int id) const;
    void rehash(size_t wanted) const; // at least `wanted` slots
    void compact();

    largememory::Array<QChar> text_; // a fill writes tens of megabytes
    qsizetype pending_ = 0;          // start of the row being written
    qsizetype garbage_ = 0;          // text no row uses any more
    largememory::Vector<Row> rows_;
    // By key hash, open addressing; id kFree or kGone when none. Empty
    // until a key is looked for.
    mutable largememory::Vector<Slot> slots_;
    mutable size_t used_ = 0; // slots not kFree
};
