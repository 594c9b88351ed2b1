#include "songlist/songlistmodel.h"

#include <algorithm>
#include <functional>

SongListItem::SongListItem(QString rowKey, const QStringList& rowCells) : key(std::move(rowKey)) {
    for (const QString& c : rowCells)
        appendCell(c);
}

QStringView SongListItem::cell(int column) const {
    qsizetype start = 0;
    for (int c = 0; c < column; ++c) {
        const qsizetype end = cells.indexOf(kCellEnd, start);
        if (end < 0)
            return {};
        start = end + 1;
    }
    const qsizetype end = cells.indexOf(kCellEnd, start);
    return end < 0 ? QStringView() : QStringView(cells).sliced(start, end - start);
}

void SongListItem::appendCell(QStringView cell) {
    // A cell cannot hold the separator; it would split the row.
    if (cell.contains(kCellEnd))
        cells.append(cell.toString().remove(kCellEnd));
    else
        cells.append(cell);
    cells.append(kCellEnd);
}

SongListModel::SongListModel(QObject* parent) : QAbstractTableModel(parent) {}

void SongListModel::setColumns(const QStringList& captions) {
    beginResetModel();
    // The sort stays on its column wherever that column now stands.
    const qsizetype moved = captions.indexOf(captions_.value(sortKey_));
    if (moved >= 0)
        sortKey_ = int(moved);
    else if (sortKey_ >= captions.size())
        sortKey_ = 0;
    captions_ = captions;
    filter_.setColumns(captions_);
    folded_.clear();
    forgetRanks();
    endResetModel();
}

void SongListModel::setRows(RowStore rows) {
    beginResetModel();
    rows_ = std::move(rows);
    folded_.clear();
    forgetRanks();
    order_.resize(size_t(rows_.size()));
    positions_.resize(size_t(rows_.size()));
    for (int id = 0; id < rows_.size(); ++id)
        order_[size_t(id)] = id;
    if (filter_.active()) {
        all_ = order_;
        shown_.assign(size_t(rows_.size()), 0);
        for (int id = 0; id < rows_.size(); ++id)
            shown_[size_t(id)] = passes(id);
    }
    if (sorted_)
        sortRows();
    else if (filter_.active())
        showFiltered();
    else
        renumber(0);
    endResetModel();
}

void SongListModel::setItems(const std::vector<SongListItem>& items) {
    RowStore rows;
    rows.reserve(int(items.size()));
    for (const SongListItem& item : items) {
        rows.beginRow();
        rows.append(item.key);
        rows.append(SongListItem::kCellEnd);
        rows.append(item.cells);
        rows.endRow();
    }
    setRows(std::move(rows));
}

void SongListModel::clear() {
    setRows({});
}

int SongListModel::addRow(QStringView key, QStringView cells) {
    rows_.beginRow();
    rows_.append(key);
    rows_.append(SongListItem::kCellEnd);
    rows_.append(cells);
    const int id = rows_.endRow();
    positions_.push_back(-1);
    forgetRanks();
    return id;
}

bool SongListModel::insertItem(int position, const QString& key, const QStringList& cells) {
    if (idOf(key) >= 0)
        return false;
    const int id = addRow(key, SongListItem(QString(), cells).cells);
    if (filter_.active()) {
        // Its place among every row; shown if the filter passes it.
        reorder([&] {
            auto at = all_.end();
            if (sorted_)
                at = std::upper_bound(all_.begin(), all_.end(), id,
                                      [this](int a, int b) { return before(a, b); });
            else if (position >= 0 && position < count())
                at = std::find(all_.begin(), all_.end(), order_[size_t(position)]);
            all_.insert(at, id);
            shown_.resize(size_t(rows_.size()), 0);
            shown_[size_t(id)] = passes(id);
            showFiltered();
        });
        return true;
    }
    if (sorted_)
        position = sortedPosition(id);
    else if (position < 0 || position > count())
        position = count();
    beginInsertRows(QModelIndex(), position, position);
    order_.insert(order_.begin() + position, id);
    renumber(position);
    endInsertRows();
    return true;
}

bool SongListModel::removeItem(const QString& key) {
    const int id = idOf(key);
    if (id < 0)
        return false;
    if (filter_.active())
        all_.erase(std::find(all_.begin(), all_.end(), id));
    const int position = positions_[size_t(id)];
    if (position < 0) { // hidden by the filter
        rows_.remove(id);
        return true;
    }
    beginRemoveRows(QModelIndex(), position, position);
    order_.erase(order_.begin() + position);
    rows_.remove(id);
    positions_[size_t(id)] = -1;
    renumber(position);
    endRemoveRows();
    return true;
}

int SongListModel::appendItems(const std::vector<SongListItem>& items) {
    const int first = count();
    std::vector<int> added;
    added.reserve(items.size());
    for (const SongListItem& item : items) {
        if (idOf(item.key) < 0)
            added.push_back(addRow(item.key, item.cells));
    }
    if (added.empty())
        return 0;
    if (filter_.active()) {
        reorder([&] {
            all_.insert(all_.end(), added.begin(), added.end());
            shown_.resize(size_t(rows_.size()), 0);
            for (int id : added)
                shown_[size_t(id)] = passes(id);
            if (sorted_)
                sortRows();
            else
                showFiltered();
        });
        return int(added.size());
    }
    // One insertion for the whole batch: a view lays itself out once.
    beginInsertRows(QModelIndex(), first, first + int(added.size()) - 1);
    order_.insert(order_.end(), added.begin(), added.end());
    renumber(first);
    endInsertRows();
    if (sorted_)
        resort();
    return int(added.size());
}

bool SongListModel::moveItem(int from, int to) {
    if (sorted_ || filter_.active() || from < 0 || from >= count() || to < 0 || to >= count())
        return false;
    if (from == to)
        return true;
    // Qt counts the destination before the move: the row it goes in front of.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    const int id = order_[size_t(from)];
    order_.erase(order_.begin() + from);
    order_.insert(order_.begin() + to, id);
    renumber(std::min(from, to), std::max(from, to));
    endMoveRows();
    return true;
}

int SongListModel::position(const QString& key) const {
    const int id = idOf(key);
    return id < 0 ? -1 : positions_[size_t(id)];
}

int SongListModel::positionAfter(const QString& key) const {
    const int id = idOf(key);
    if (id < 0)
        return -1;
    if (positions_[size_t(id)] >= 0)
        return positions_[size_t(id)] + 1;
    // Hidden by the filter: the next shown row after its place.
    for (auto it = std::find(all_.begin(), all_.end(), id); it != all_.end(); ++it) {
        if (shown_[size_t(*it)])
            return positions_[size_t(*it)];
    }
    return count();
}

void SongListModel::setFilter(RowFilter filter) {
    filter.setColumns(captions_);
    if (!filter.active() && !filter_.active())
        return;
    const bool narrowing = filter.narrows(filter_);
    reorder([&] {
        if (!filter.active()) {
            filter_ = std::move(filter);
            order_ = std::move(all_);
            all_.clear();
            shown_.clear();
            std::fill(positions_.begin(), positions_.end(), -1);
            renumber(0);
            return;
        }
        if (!filter_.active()) {
            all_ = order_;
            shown_.assign(size_t(rows_.size()), 0);
        }
        filter_ = std::move(filter);
        // A longer text shows some of the rows shown now, never others.
        for (int id : narrowing ? order_ : all_)
            shown_[size_t(id)] = passes(id);
        showFiltered();
    });
}

void SongListModel::prepareFilter() {
    for (int id = 0; id < rows_.size(); ++id) {
        if (!rows_.removed(id))
            folded_.of(rows_, filter_, id);
    }
}

bool SongListModel::passes(int id) {
    return filter_.matches(folded_.of(rows_, filter_, id));
}

void SongListModel::showFiltered() {
    order_.clear();
    for (int id : all_) {
        if (shown_[size_t(id)])
            order_.push_back(id);
    }
    std::fill(positions_.begin(), positions_.end(), -1);
    renumber(0);
}

QString SongListModel::keyAt(int position) const {
    if (position < 0 || position >= count())
        return QString();
    return rows_.key(order_[size_t(position)]).toString();
}

SongListItem SongListModel::item(const QString& key) const {
    const int id = idOf(key);
    SongListItem item;
    if (id >= 0) {
        item.key = key;
        for (int c = 0; c < rows_.cellCount(id); ++c)
            item.appendCell(cellOf(id, c));
    }
    return item;
}

QStringView SongListModel::cellAt(int position, int column) const {
    if (position < 0 || position >= count())
        return {};
    return cellOf(order_[size_t(position)], column);
}

QString SongListModel::cell(const QString& key, int column) const {
    const int id = idOf(key);
    if (id < 0)
        return QString();
    return cellOf(id, column).toString();
}

bool SongListModel::setCells(const QString& key, const QStringList& cells, const QList<int>& skip) {
    const int id = idOf(key);
    if (id < 0)
        return false;
    const bool sortCellChanged = rewriteCells(id, cells, skip);
    if (filter_.active() && sorted_ && sortCellChanged) {
        all_.erase(std::find(all_.begin(), all_.end(), id));
        all_.insert(std::upper_bound(all_.begin(), all_.end(), id,
                                     [this](int a, int b) { return before(a, b); }),
                    id);
    }
    const int position = positions_[size_t(id)];
    if (position < 0)
        return true; // hidden by the filter
    emit dataChanged(index(position, 0), index(position, std::max(0, columnCount() - 1)));
    if (sorted_ && sortCellChanged) {
        // Only this row can be out of place: move it alone, which a view
        // follows without walking every row as after a change of layout.
        order_.erase(order_.begin() + position);
        const int target = sortedPosition(id);
        order_.insert(order_.begin() + position, id);
        if (target != position) {
            // Qt counts the destination before the move.
            beginMoveRows(QModelIndex(), position, position, QModelIndex(),
                          target > position ? target + 1 : target);
            order_.erase(order_.begin() + position);
            order_.insert(order_.begin() + target, id);
            renumber(std::min(position, target), std::max(position, target));
            endMoveRows();
        }
    }
    return true;
}

void SongListModel::setSort(bool sorted, int key, int order) {
    order = order == 0 ? 0 : 1;
    if (sorted == sorted_ && key == sortKey_ && order == sortOrder_)
        return;
    sorted_ = sorted;
    sortKey_ = key;
    sortOrder_ = order;
    if (sorted_)
        resort();
    emit sortChanged();
}

namespace {
// Orders (sort key, id) pairs by their key; equal keys keep their order.
void sortByKey(std::vector<std::pair<QString, int>>& keys, bool ascending) {
    std::stable_sort(keys.begin(), keys.end(), [ascending](const auto& x, const auto& y) {
        const int c = x.first.compare(y.first);
        return ascending ? c < 0 : c > 0;
    });
}
} // namespace

void SongListModel::setCellsOfRows(const std::vector<std::pair<QString, QStringList>>& rows,
                                   const QList<int>& skip) {
    if (std::none_of(rows.begin(), rows.end(),
                     [this](const auto& row) { return idOf(row.first) >= 0; }))
        return;
    if (filter_.active()) {
        // Hidden rows have their places too: all of them sorted again.
        reorder([&] {
            bool anyMoved = false;
            for (const auto& [key, cells] : rows) {
                const int id = idOf(key);
                if (id >= 0 && rewriteCells(id, cells, skip))
                    anyMoved = true;
            }
            if (sorted_ && anyMoved)
                sortRows();
        });
        return;
    }
    // One layout change for the lot: a view redraws once, where a change
    // signal spanning the rewritten rows would have it walk every row
    // between them.
    reorder([&] {
        std::vector<bool> moved(size_t(rows_.size()), false);
        bool anyMoved = false;
        for (const auto& [key, cells] : rows) {
            const int id = idOf(key);
            if (id >= 0 && rewriteCells(id, cells, skip)) {
                moved[size_t(id)] = true;
                anyMoved = true;
            }
        }
        if (!sorted_ || !anyMoved)
            return;
        // The other rows are still in order: sort the rewritten ones alone
        // and merge them in, rather than sorting the whole list again.
        std::vector<int> rest;
        std::vector<std::pair<QString, int>> rewritten;
        rest.reserve(order_.size());
        for (int id : order_) {
            if (moved[size_t(id)])
                rewritten.emplace_back(sortranks::key(cellOf(id, sortKey_)), id);
            else
                rest.push_back(id);
        }
        const bool ascending = sortOrder_ == 0;
        sortByKey(rewritten, ascending);
        // Equal cells: the rewritten row goes after the rows already there,
        // as a single rewritten row does.
        size_t r = 0;
        order_.clear();
        for (int id : rest) {
            if (r < rewritten.size()) {
                const QString text = sortranks::key(cellOf(id, sortKey_));
                for (; r < rewritten.size(); ++r) {
                    const int c = rewritten[r].first.compare(text);
                    if (ascending ? c >= 0 : c <= 0)
                        break;
                    order_.push_back(rewritten[r].second);
                }
            }
            order_.push_back(id);
        }
        for (; r < rewritten.size(); ++r)
            order_.push_back(rewritten[r].second);
        renumber(0);
    });
}

bool SongListModel::rewriteCells(int id, const QStringList& cells, const QList<int>& skip) {
    folded_.forget(id);
    // Built apart first: the old cells live in the text the row goes to.
    SongListItem rewritten;
    const int columns = std::max(int(cells.size()), rows_.cellCount(id));
    for (int c = 0; c < columns; ++c) {
        const QStringView old = cellOf(id, c);
        if (c < cells.size() && !skip.contains(c))
            rewritten.appendCell(cells[c]);
        else
            rewritten.appendCell(old);
        if (c < int(ranks_.size()) && rewritten.cell(c) != old)
            ranks_[size_t(c)] = {};
    }
    const bool sortCellChanged = cellOf(id, sortKey_) != rewritten.cell(sortKey_);
    const QString key = rows_.key(id).toString();
    rows_.beginRow();
    rows_.append(key);
    rows_.append(SongListItem::kCellEnd);
    rows_.append(rewritten.cells);
    rows_.endRewrite(id);
    return sortCellChanged;
}

bool SongListModel::before(int a, int b) const {
    const int c = sortranks::key(cellOf(a, sortKey_)).compare(sortranks::key(cellOf(b, sortKey_)));
    return sortOrder_ == 0 ? c < 0 : c > 0;
}

// Where `id` goes among the ordered rows (after its equals); `id` itself
// must not be in order_.
int SongListModel::sortedPosition(int id) const {
    const auto at = std::upper_bound(order_.begin(), order_.end(), id,
                                     [this](int a, int b) { return before(a, b); });
    return int(at - order_.begin());
}

void SongListModel::sortRows() {
    if (filter_.active()) {
        sortranks::sortByRank(all_, ranksOf(sortKey_), sortOrder_ == 1);
        showFiltered();
        return;
    }
    sortranks::sortByRank(order_, ranksOf(sortKey_), sortOrder_ == 1);
    renumber(0);
}

void SongListModel::resort() {
    reorder([this] { sortRows(); });
}

const sortranks::Ranks& SongListModel::ranksOf(int column) {
    if (size_t(column) >= ranks_.size())
        ranks_.resize(size_t(column) + 1);
    sortranks::Ranks& ranks = ranks_[size_t(column)];
    if (ranks.of.size() != size_t(rows_.size())) {
        largememory::Vector<QStringView> cells;
        cells.reserve(size_t(rows_.size()));
        for (int id = 0; id < rows_.size(); ++id)
            cells.push_back(cellOf(id, column));
        ranks = sortranks::rank(cells);
    }
    return ranks;
}

void SongListModel::reorder(const std::function<void()>& change) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    const QModelIndexList persistent = persistentIndexList();
    QList<int> ids;
    for (const QModelIndex& i : persistent)
        ids << order_[size_t(i.row())];
    change();
    QModelIndexList moved;
    for (int i = 0; i < persistent.size(); ++i)
        moved << index(positions_[size_t(ids[i])], persistent[i].column());
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SongListModel::renumber(int from, int to) {
    const size_t end = to < 0 ? order_.size() : size_t(to) + 1;
    for (size_t p = size_t(from); p < end; ++p)
        positions_[size_t(order_[p])] = int(p);
}

int SongListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int SongListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(captions_.size());
}

QVariant SongListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellOf(order_[size_t(index.row())], index.column()).toString();
    if ((role != Qt::ToolTipRole && role != kUnplayableRole) || unplayable_.isEmpty())
        return QVariant();
    const auto mark = unplayable_.constFind(keyAt(index.row()));
    if (mark == unplayable_.cend())
        return QVariant();
    return role == Qt::ToolTipRole ? QVariant(*mark) : QVariant(true);
}

void SongListModel::setUnplayable(const QString& key, const QString& reason) {
    if (reason.isEmpty() ? !unplayable_.remove(key) : unplayable_.value(key) == reason)
        return;
    if (!reason.isEmpty())
        unplayable_.insert(key, reason);
    const int row = position(key);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions_.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
