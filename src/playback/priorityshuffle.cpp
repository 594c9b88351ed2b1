#include "playback/priorityshuffle.h"

#include <QRandomGenerator>

#include <algorithm>

void PriorityShuffle::setSongs(const std::vector<Entry>& songs) {
    songs_ = songs;
    const size_t n = songs_.size();
    slots_.clear();
    slots_.reserve(n);
    weights_.assign(n, 0);
    removed_.assign(n, false);
    tree_.assign(n + 1, 0);
    playable_ = 0;
    for (size_t i = 0; i < n; ++i) {
        slots_[songs_[i].id] = int(i);
        if (songs_[i].priority > 0) {
            weights_[i] = songs_[i].priority;
            ++playable_;
        }
    }
    // The tree in O(n): each node passes its sum on to its parent.
    for (size_t i = 1; i <= n; ++i) {
        tree_[i] += weights_[i - 1];
        const size_t parent = i + (i & (~i + 1));
        if (parent <= n)
            tree_[parent] += tree_[i];
    }
    std::deque<qint64> recent;
    for (qint64 id : recent_) {
        const int slot = slotOf(id);
        if (slot >= 0 && weights_[size_t(slot)] > 0) {
            recent.push_back(id);
            setWeight(slot, 0);
        }
    }
    recent_.swap(recent);
    trimRecent();
}

qint64 PriorityShuffle::draw(QRandomGenerator& random) const {
    const size_t n = songs_.size();
    qint64 total = 0;
    for (size_t i = n; i > 0; i -= i & (~i + 1))
        total += tree_[i];
    if (total <= 0)
        return -1;
    // The slot whose weights up to and including it first pass r.
    qint64 r = random.bounded(total);
    size_t at = 0;
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    for (; step > 0; step /= 2) {
        if (at + step <= n && tree_[at + step] <= r) {
            at += step;
            r -= tree_[at];
        }
    }
    return songs_[at].id;
}

void PriorityShuffle::played(qint64 id) {
    const int slot = slotOf(id);
    if (slot < 0 || removed_[size_t(slot)] || songs_[size_t(slot)].priority <= 0)
        return;
    const auto was = std::find(recent_.begin(), recent_.end(), id);
    if (was != recent_.end())
        recent_.erase(was);
    recent_.push_back(id);
    setWeight(slot, 0);
    trimRecent();
}

void PriorityShuffle::remove(qint64 id) {
    const int slot = slotOf(id);
    if (slot < 0 || removed_[size_t(slot)])
        return;
    removed_[size_t(slot)] = true;
    if (songs_[size_t(slot)].priority > 0)
        --playable_;
    setWeight(slot, 0);
    const auto was = std::find(recent_.begin(), recent_.end(), id);
    if (was != recent_.end())
        recent_.erase(was);
    trimRecent();
}

int PriorityShuffle::slotOf(qint64 id) const {
    const auto found = slots_.find(id);
    return found == slots_.end() ? -1 : found->second;
}

void PriorityShuffle::setWeight(int slot, qint64 weight) {
    const qint64 change = weight - weights_[size_t(slot)];
    weights_[size_t(slot)] = weight;
    for (size_t i = size_t(slot) + 1; i < tree_.size(); i += i & (~i + 1))
        tree_[i] += change;
}

// Songs leave the window oldest first, back into reach.
void PriorityShuffle::trimRecent() {
    while (recent_.size() > size_t(spacing())) {
        const int slot = slotOf(recent_.front());
        recent_.pop_front();
        if (slot >= 0 && !removed_[size_t(slot)])
            setWeight(slot, songs_[size_t(slot)].priority);
    }
}
