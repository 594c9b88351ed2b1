#include "songlist/rowstore.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {
constexpr int kFree = -1;
constexpr int kGone = -2; // a removed key: lookups go on past it
} // namespace

QStringView RowStore::rowText(int id) const {
    const Row& row = rows_[size_t(id)];
    return QStringView(text_.data() + row.start, row.length);
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
    // A plain walk: cells are short, and a call per cell to find the next
    // end would cost more than the walk.
    const QStringView row = rowText(id);
    const QChar* p = row.data();
    const QChar* const end = p + row.size();
    int c = -1; // the key comes first
    const QChar* start = p;
    for (; p < end; ++p) {
        if (*p == kCellEnd) {
            if (c == column)
                return QStringView(start, p);
            ++c;
            start = p + 1;
        }
    }
    return {};
}

int RowStore::cellCount(int id) const {
    if (id < 0 || id >= size() || removed(id))
        return 0;
    return int(rowText(id).count(kCellEnd)) - 1;
}

void RowStore::beginRow() {
    pending_ = textSize();
}

QChar* RowStore::room(qsizetype units) {
    return text_.room(size_t(units));
}

void RowStore::append(QStringView text) {
    text_.append(text.data(), size_t(text.size()));
}

int RowStore::endRow() {
    const int id = size();
    rows_.push_back({pending_, textSize() - pending_});
    if (!slots_.empty())
        index(id);
    return id;
}

void RowStore::endRewrite(int id) {
    Row& row = rows_[size_t(id)];
    garbage_ += row.length;
    row = {pending_, textSize() - pending_};
    if (garbage_ > textSize() / 2)
        compact();
}

void RowStore::remove(int id) {
    if (id < 0 || id >= size() || removed(id))
        return;
    if (!slots_.empty()) {
        const QStringView k = key(id);
        Slot& slot = slots_[slotOf(k, hashOf(k))];
        if (slot.id == id)
            slot.id = kGone;
    }
    Row& row = rows_[size_t(id)];
    garbage_ += row.length;
    row.length = 0;
}

int RowStore::find(QStringView key) const {
    if (slots_.empty())
        buildIndex();
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

void RowStore::buildIndex() const {
    rehash(2 * (size_t(size()) + 1));
    for (int id = 0; id < size(); ++id) {
        if (!removed(id))
            index(id);
    }
}

void RowStore::index(int id) const {
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

void RowStore::rehash(size_t wanted) const {
    size_t n = 64;
    while (n < wanted)
        n *= 2;
    largememory::Vector<Slot> old =
        std::exchange(slots_, largememory::Vector<Slot>(n, Slot{kFree, 0}));
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
    largememory::Array<QChar> text;
    text.reserve(size_t(textSize() - garbage_));
    for (Row& row : rows_) {
        const qsizetype start = qsizetype(text.size());
        text.append(text_.data() + row.start, size_t(row.length));
        row.start = start;
    }
    text_ = std::move(text);
    garbage_ = 0;
}
