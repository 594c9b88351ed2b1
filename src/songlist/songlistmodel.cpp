#include "songlist/songlistmodel.h"

#include <algorithm>
#include <functional>

SongListItem::SongListItem(QString key, const QStringList& cells) : key(std::move(key)) {
    for (const QString& c : cells)
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
    captions_ = captions;
    endResetModel();
}

void SongListModel::setItems(std::vector<SongListItem> items) {
    beginResetModel();
    sorted_ = false;
    items_ = std::move(items);
    ids_.clear();
    ids_.reserve(qsizetype(items_.size()));
    order_.resize(items_.size());
    positions_.resize(items_.size());
    for (int id = 0; id < int(items_.size()); ++id) {
        ids_.insert(items_[size_t(id)].key, id);
        order_[size_t(id)] = id;
        positions_[size_t(id)] = id;
    }
    endResetModel();
    emit sortChanged();
}

void SongListModel::clear() {
    setItems({});
}

bool SongListModel::insertItem(int position, const QString& key, const QStringList& cells) {
    if (ids_.contains(key))
        return false;
    const int id = int(items_.size());
    ids_.insert(key, id);
    items_.emplace_back(key, cells);
    positions_.push_back(-1);
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
    const int position = positions_[size_t(id)];
    beginRemoveRows(QModelIndex(), position, position);
    order_.erase(order_.begin() + position);
    ids_.remove(key);
    items_[size_t(id)] = {};
    positions_[size_t(id)] = -1;
    renumber(position);
    endRemoveRows();
    return true;
}

int SongListModel::appendItems(std::vector<SongListItem> items) {
    const int first = count();
    std::vector<int> added;
    added.reserve(items.size());
    for (SongListItem& item : items) {
        if (ids_.contains(item.key))
            continue;
        const int id = int(items_.size());
        ids_.insert(item.key, id);
        items_.push_back(std::move(item));
        positions_.push_back(-1);
        added.push_back(id);
    }
    if (added.empty())
        return 0;
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
    if (sorted_ || from < 0 || from >= count() || to < 0 || to >= count())
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

QString SongListModel::keyAt(int position) const {
    if (position < 0 || position >= count())
        return QString();
    return items_[size_t(order_[size_t(position)])].key;
}

SongListItem SongListModel::item(const QString& key) const {
    const int id = idOf(key);
    return id < 0 ? SongListItem() : items_[size_t(id)];
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
    return items_[size_t(id)].cell(column).toString();
}

bool SongListModel::setCells(const QString& key, const QStringList& cells, const QList<int>& skip) {
    const int id = idOf(key);
    if (id < 0)
        return false;
    const bool sortCellChanged = rewriteCells(id, cells, skip);
    const int position = positions_[size_t(id)];
    emit dataChanged(index(position, 0), index(position, std::max(0, columnCount() - 1)));
    if (sorted_ && sortCellChanged) {
        // Only this row can be out of place: move it rather than re-sort.
        reorder([&] {
            order_.erase(order_.begin() + position);
            const int target = sortedPosition(id);
            order_.insert(order_.begin() + target, id);
            renumber(std::min(position, target));
        });
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

QStringView SongListModel::cellOf(int id, int column) const {
    return items_[size_t(id)].cell(column);
}

namespace {
// Cells sort as text ignoring case: by their case-folded form, compared
// code unit by code unit (so "10" comes before "9").
QString sortText(QStringView cell) {
    return cell.toString().toCaseFolded();
}

// Orders (sort text, id) pairs by their text; equal texts keep their order.
void sortByText(std::vector<std::pair<QString, int>>& keys, bool ascending) {
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
    // One layout change for the lot: a view redraws once, where a change
    // signal spanning the rewritten rows would have it walk every row
    // between them.
    reorder([&] {
        std::vector<bool> moved(items_.size(), false);
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
                rewritten.emplace_back(sortText(cellOf(id, sortKey_)), id);
            else
                rest.push_back(id);
        }
        const bool ascending = sortOrder_ == 0;
        sortByText(rewritten, ascending);
        // Equal cells: the rewritten row goes after the rows already there,
        // as a single rewritten row does.
        size_t r = 0;
        order_.clear();
        for (int id : rest) {
            if (r < rewritten.size()) {
                const QString text = sortText(cellOf(id, sortKey_));
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
    SongListItem& item = items_[size_t(id)];
    SongListItem rewritten(item.key, {});
    const int columns = std::max(int(cells.size()), item.cellCount());
    for (int c = 0; c < columns; ++c) {
        if (c < cells.size() && !skip.contains(c))
            rewritten.appendCell(cells[c]);
        else
            rewritten.appendCell(item.cell(c));
    }
    const bool sortCellChanged = item.cell(sortKey_) != rewritten.cell(sortKey_);
    item = std::move(rewritten);
    return sortCellChanged;
}

bool SongListModel::before(int a, int b) const {
    const int c = sortText(cellOf(a, sortKey_)).compare(sortText(cellOf(b, sortKey_)));
    return sortOrder_ == 0 ? c < 0 : c > 0;
}

// Where `id` goes among the ordered rows (after its equals); `id` itself
// must not be in order_.
int SongListModel::sortedPosition(int id) const {
    const auto at = std::upper_bound(order_.begin(), order_.end(), id,
                                     [this](int a, int b) { return before(a, b); });
    return int(at - order_.begin());
}

void SongListModel::resort() {
    reorder([this] {
        // Fold each cell once and sort the keys side by side, instead of
        // folding and chasing rows in every comparison.
        std::vector<std::pair<QString, int>> keys;
        keys.reserve(order_.size());
        for (int id : order_)
            keys.emplace_back(sortText(cellOf(id, sortKey_)), id);
        sortByText(keys, sortOrder_ == 0);
        for (size_t p = 0; p < keys.size(); ++p)
            order_[p] = keys[p].second;
        renumber(0);
    });
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
    const SongListItem& item = items_[size_t(order_[size_t(index.row())])];
    if (role == Qt::DisplayRole)
        return item.cell(index.column()).toString();
    if ((role != Qt::ToolTipRole && role != kUnplayableRole) || unplayable_.isEmpty())
        return QVariant();
    const auto mark = unplayable_.constFind(item.key);
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
