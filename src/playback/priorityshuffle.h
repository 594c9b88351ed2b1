#pragma once

#include <QtGlobal>

#include <deque>
#include <unordered_map>
#include <vector>

class QRandomGenerator;

// The draw of "優先度ﾗﾝﾀﾞﾑ再生": each song with a chance in proportion to
// its priority (0 never plays), and a song played is not drawn again until
// at least half of the other playable songs have played since: a shuffle
// without early repeats. Songs removed (found unplayable) are never drawn.
// A draw and the bookkeeping of a play take O(log n) for n songs.
class PriorityShuffle {
public:
    struct Entry {
        qint64 id;
        int priority;
    };

    // The songs to draw from, none removed; the songs played last stay out
    // of reach if they are still among them.
    void setSongs(const std::vector<Entry>& songs);
    // The ID drawn, or -1 when no song can be drawn. Draws alone change
    // nothing: only played() moves a song out of reach.
    qint64 draw(QRandomGenerator& random) const;
    // The song started: out of reach until enough others have played.
    void played(qint64 id);
    // The song cannot be played: never drawn again.
    void remove(qint64 id);

    // Songs of a priority above 0 not removed.
    int playable() const { return playable_; }
    // How many of them are out of reach now: half of the others, rounded up.
    int spacing() const { return playable_ > 1 ? playable_ / 2 : 0; }

private:
    int slotOf(qint64 id) const;
    void setWeight(int slot, qint64 weight);
    void trimRecent();

    std::vector<Entry> songs_;
    std::unordered_map<qint64, int> slots_; // id -> index into songs_
    std::vector<qint64> tree_;              // Fenwick tree of the weights in reach
    std::vector<qint64> weights_;           // the weight each slot has in the tree
    std::vector<bool> removed_;
    std::deque<qint64> recent_; // the songs played last, oldest first
    int playable_ = 0;
};
