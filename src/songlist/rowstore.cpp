#include "songlist/rowstore.h"

#include <QHash>

#include <utility>

namespace {
constexpr int kFree = -1;
constexpr int kGone = -2; // a removed key: lookups go on past it
} // namespace

QStringView RowStore::rowText(int id) const {
    const Row& row = rows_[size_t(id)];
    return QStringView(text_).sliced(row.start, row.length);
}

QStringView RowStore::key(int id) const {
    if (id < 0 || id >= size() || removed(id))
        return {};
    const QStringView row = rowText(id);
    return row.first(row.indexOf(kCellEnd));
}

QStringView RowStore::cell(int id, int column) const {
    if (id < 0 || id >= size() || removed(id) || column < 0)
        return {};
    const QStringView row = rowText(id);
    qsizetype start = row.indexOf(kCellEnd) + 1;
    for (int c = 0; c < column; ++c) {
        const qsizetype end = row.indexOf(kCellEnd, start);
        if (end < 0)
            return {};
        start = end + 1;
    }
    const qsizetype end = row.indexOf(kCellEnd, start);
    return end < 0 ? QStringView() : row.sliced(start, end - start);
}

int RowStore::cellCount(int id) const {
    if (id < 0 || id >= size() || removed(id))
        return 0;
    return int(rowText(id).count(kCellEnd)) - 1;
}

QString& RowStore::beginRow() {
    pending_ = text_.size();
    return text_;
}

int RowStore::endRow() {
    const int id = size();
    rows_.push_back({pending_, text_.size() - pending_});
    index(id);
    return id;
}

void RowStore::endRewrite(int id) {
    Row& row = rows_[size_t(id)];
    garbage_ += row.length;
    row = {pending_, text_.size() - pending_};
    if (garbage_ > text_.size() / 2)
        compact();
}

void RowStore::remove(int id) {
    if (id < 0 || id >= size() || removed(id))
        return;
    const QStringView k = key(id);
    Slot& slot = slots_[slotOf(k, hashOf(k))];
    if (slot.id == id)
        slot.id = kGone;
    Row& row = rows_[size_t(id)];
    garbage_ += row.length;
    row.length = 0;
}

int RowStore::find(QStringView key) const {
    if (slots_.empty())
        return -1;
    const int id = slots_[slotOf(key, hashOf(key))].id;
    return id >= 0 ? id : -1;
}

uint RowStore::hashOf(QStringView key) {
    return uint(qHash(key));
}

size_t RowStore::slotOf(QStringView key, uint hash) const {
    const size_t mask = slots_.size() - 1;
    size_t gone = slots_.size();
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& s = slots_[slot];
        if (s.id == kFree)
            return gone < slots_.size() ? gone : slot;
        if (s.id == kGone) {
            if (gone == slots_.size())
                gone = slot;
        } else if (s.hash == hash && this->key(s.id) == key) {
            return slot;
        }
    }
}

void RowStore::index(int id) {
    // At most half the slots taken keeps probes short.
    if (2 * (used_ + 1) > slots_.size())
        rehash(4 * (size_t(size()) + 1));
    const QStringView k = key(id);
    const uint hash = hashOf(k);
    Slot& slot = slots_[slotOf(k, hash)];
    if (slot.id == kFree)
        ++used_;
    slot = {id, hash};
}

void RowStore::rehash(size_t wanted) {
    size_t n = 64;
    while (n < wanted)
        n *= 2;
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(n, Slot{kFree, 0}));
    used_ = 0;
    // Keys are unique in the old slots: each goes to the first free slot.
    for (const Slot& s : old) {
        if (s.id < 0)
            continue;
        size_t slot = s.hash & (n - 1);
        while (slots_[slot].id != kFree)
            slot = (slot + 1) & (n - 1);
        slots_[slot] = s;
        ++used_;
    }
}

void RowStore::compact() {
    QString text;
    text.reserve(text_.size() - garbage_);
    for (Row& row : rows_) {
        const qsizetype start = text.size();
        text.append(QStringView(text_).sliced(row.start, row.length));
        row.start = start;
    }
    text_ = std::move(text);
    garbage_ = 0;
}
