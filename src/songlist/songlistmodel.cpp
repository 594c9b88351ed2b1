#include "songlist/songlistmodel.h"

#include <algorithm>
#include <functional>

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

bool SongListModel::insertItem(int position, SongListItem item) {
    if (ids_.contains(item.key))
        return false;
    const int id = int(items_.size());
    ids_.insert(item.key, id);
    items_.push_back(std::move(item));
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

int SongListModel::position(const QString& key) const {
    const int id = idOf(key);
    return id < 0 ? -1 : positions_[size_t(id)];
}

QString SongListModel::keyAt(int position) const {
    if (position < 0 || position >= count())
        return QString();
    return items_[size_t(order_[size_t(position)])].key;
}

QString SongListModel::cell(const QString& key, int column) const {
    const int id = idOf(key);
    if (id < 0)
        return QString();
    return items_[size_t(id)].cells.value(column, QLatin1String(""));
}

bool SongListModel::setCells(const QString& key, const QStringList& cells, const QList<int>& skip) {
    const int id = idOf(key);
    if (id < 0)
        return false;
    QStringList& row = items_[size_t(id)].cells;
    bool sortCellChanged = false;
    for (int c = 0; c < cells.size(); ++c) {
        if (skip.contains(c))
            continue;
        while (row.size() <= c)
            row << QString();
        if (row[c] != cells[c]) {
            row[c] = cells[c];
            sortCellChanged = sortCellChanged || c == sortKey_;
        }
    }
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

void SongListModel::setSorted(bool on) {
    if (sorted_ == on)
        return;
    sorted_ = on;
    if (sorted_)
        resort();
    emit sortChanged();
}

void SongListModel::setSortKey(int column) {
    if (sortKey_ == column)
        return;
    sortKey_ = column;
    if (sorted_)
        resort();
    emit sortChanged();
}

void SongListModel::setSortOrder(int order) {
    order = order == 0 ? 0 : 1;
    if (sortOrder_ == order)
        return;
    sortOrder_ = order;
    if (sorted_)
        resort();
    emit sortChanged();
}

const QString& SongListModel::cellOf(int id, int column) const {
    static const QString empty;
    const QStringList& cells = items_[size_t(id)].cells;
    return column >= 0 && column < cells.size() ? cells[column] : empty;
}

bool SongListModel::before(int a, int b) const {
    const int c = cellOf(a, sortKey_).compare(cellOf(b, sortKey_), Qt::CaseInsensitive);
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
        std::stable_sort(order_.begin(), order_.end(),
                         [this](int a, int b) { return before(a, b); });
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

void SongListModel::renumber(int from) {
    for (size_t p = size_t(from); p < order_.size(); ++p)
        positions_[size_t(order_[p])] = int(p);
}

int SongListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int SongListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(captions_.size());
}

QVariant SongListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count())
        return QVariant();
    return items_[size_t(order_[size_t(index.row())])].cells.value(index.column());
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions_.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
