#pragma once

#include "songlist/rowfilter.h"
#include "songlist/rowstore.h"
#include "songlist/sortranks.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// One row of a song list as callers hand it over or get it back: its
// unique key and its cells (cell 0 is the item text, cell k sub-item k),
// each cell ended by kCellEnd.
struct SongListItem {
    static constexpr QChar kCellEnd = RowStore::kCellEnd;

    QString key;
    QString cells;

    SongListItem() = default;
    SongListItem(QString key, const QStringList& cells);
    int cellCount() const { return int(cells.count(kCellEnd)); }
    QStringView cell(int column) const; // empty past the last cell
    void appendCell(QStringView cell);
};

// The rows and columns of a song list in display order, with the list's
// sort state. While `sorted()` is on, rows are kept ordered by the sort
// column's cells compared as text ignoring case ("10" before "9"); equal
// cells keep the order they had. Keys are found in constant time,
// positions too.
//
// Rows are kept by id in a RowStore; what is shown is `order_`, the ids in
// display order, which sorting rearranges.
class SongListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit SongListModel(QObject* parent = nullptr);

    // Columns: captions only; widths belong to the view. The sort key
    // follows its column's caption to its new place; the rows are to be
    // refilled for the new columns.
    void setColumns(const QStringList& captions);
    const QStringList& captions() const { return captions_; }

    // Replace every row; in this order, or sorted while sorting is on.
    void setRows(RowStore rows);
    void setItems(const std::vector<SongListItem>& items);
    void clear();
    int count() const { return int(order_.size()); }

    // Inserts at 0-based `position` (clamped; the end when negative), or
    // at its sorted place while sorting is on. False when the key exists.
    bool insertItem(int position, const QString& key, const QStringList& cells);
    bool removeItem(const QString& key);
    // Appends rows at the end (at their sorted places while sorting is on),
    // skipping keys already present. Returns how many were added.
    int appendItems(const std::vector<SongListItem>& items);
    // Moves the row at display position `from` to `to`. False while sorting
    // is on or when either position is outside the list.
    bool moveItem(int from, int to);

    // Shows only the rows `filter` passes, in their order. The others stay
    // in the list, hidden: positions, count() and keyAt() are of the shown
    // rows, and position() of a hidden row is -1. An inactive filter shows
    // every row again where it stood, in the list's sort. Rows added while
    // a filter is on are tested by it; rows rewritten stay shown or hidden.
    // Moving rows is refused while a filter is on.
    void setFilter(RowFilter filter);
    bool filtered() const { return filter_.active(); }
    // Folds the searched cells of every row now, ahead of the typing, so
    // that the first letter costs no more than the next.
    void prepareFilter();

    // 0-based display position of `key`, or -1.
    int position(const QString& key) const;
    // The display position of the first shown row after `key` in the
    // whole list (the row itself may be hidden); count() when none
    // follows; -1 when `key` is not in the list.
    int positionAfter(const QString& key) const;
    QString keyAt(int position) const;
    // The row of `key` (key and cells), or an empty item.
    SongListItem item(const QString& key) const;
    // Cell `column` of the row at `position`; empty past its cells.
    QStringView cellAt(int position, int column) const;
    // Cell `column` of the row (empty when it has none), or a null text.
    QString cell(const QString& key, int column) const;
    // Writes the given cells of a row: cells[k] to column k, skipping the
    // columns in `skip`. False when there is no such row.
    bool setCells(const QString& key, const QStringList& cells, const QList<int>& skip = {});
    // setCells for many rows at once (key, cells): one layout change and,
    // while sorting is on, one pass that puts the rewritten rows in place.
    // Keys not in the list are ignored.
    void setCellsOfRows(const std::vector<std::pair<QString, QStringList>>& rows,
                        const QList<int>& skip = {});

    // Marks the row of `key` as a song that cannot be played, with the
    // reason (empty: clears the mark). Marks outlive the rows: a list read
    // again shows them on the same songs.
    void setUnplayable(const QString& key, const QString& reason);
    QString unplayable(const QString& key) const { return unplayable_.value(key); }
    // data() of a marked row under this role is true; its tooltip is the reason.
    static constexpr int kUnplayableRole = Qt::UserRole + 1;

    bool sorted() const { return sorted_; }
    int sortKey() const { return sortKey_; }
    int sortOrder() const { return sortOrder_; } // 0 ascending, 1 descending
    // Sets the whole sort state at once, so a change sorts only once.
    void setSort(bool sorted, int key, int order);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void sortChanged();

private:
    int idOf(const QString& key) const { return rows_.find(key); }
    QStringView cellOf(int id, int column) const { return rows_.cell(id, column); }
    int addRow(QStringView key, QStringView cells); // cells as SongListItem holds them
    // Rewrites the cells of row `id`; true when its sort cell changed.
    bool rewriteCells(int id, const QStringList& cells, const QList<int>& skip);
    bool before(int a, int b) const; // display order of two ids while sorted
    int sortedPosition(int id) const;
    void sortRows();     // order_ and positions_ by the sort state
    void showFiltered(); // order_ and positions_: the rows of all_ that shown_ marks
    bool passes(int id); // by the filter
    void resort();       // sortRows for the view
    // Each column's ranks are worked out when it is first sorted by, and
    // kept until its cells change: sorting by it again, either way, is a
    // pass over the rows.
    const sortranks::Ranks& ranksOf(int column);
    void forgetRanks() { ranks_.clear(); }
    // Runs `change`, which reorders order_ and renumbers; selections and
    // the current row follow their items.
    void reorder(const std::function<void()>& change);
    void renumber(int from, int to = -1); // positions from..to, to the end when -1

    QStringList captions_;
    RowStore rows_;
    std::vector<int> order_;              // display position -> id
    std::vector<int> positions_;          // id -> display position, -1 once removed
    std::vector<sortranks::Ranks> ranks_; // by column; out of date unless one per id
    QHash<QString, QString> unplayable_;  // key -> reason
    RowFilter filter_;
    FoldedRows folded_;
    std::vector<int> all_;    // while filtered: every id in display order
    std::vector<char> shown_; // while filtered: by id, whether the row is shown
    bool sorted_ = false;
    int sortKey_ = 0;
    int sortOrder_ = 0;
};
