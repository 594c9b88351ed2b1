#include "playback/songchooser.h"

#include "base/random.h"
#include "data/song.h"
#include "data/songrecord.h"
#include "songlist/songlist.h"
#include "songlist/songlistmodel.h"

namespace {} // namespace

void SongChooser::setSetList(const QString& name) {
    if (name == setList_)
        return;
    setList_ = name;
    reload();
}

void SongChooser::reload() {
    songs_.reset();
    shuffleReady_ = false;
}

SongChooser::Outcome SongChooser::choose(const QString& key, const SongListModel& list,
                                         Song& song) {
    song = Song();
    if (!key.isEmpty()) {
        lvSetLastKey(key);
        QString mode = mode_;
        QString id = key;
        SelectSong(setList_, mode, song, id);
        return Outcome::Chosen;
    }
    if (mode_ == kProgramPlay)
        return nextInList(list, song);
    if (mode_ == kPriorityPlay)
        return drawByPriority(song);
    return drawRandom(song);
}

// Down the list from the last song, passing over the marked ones.
SongChooser::Outcome SongChooser::nextInList(const SongListModel& list, Song& song) {
    QString key;
    while (lvGetNextKey(list, key)) {
        lvSetLastKey(key);
        if (isMarked(songrecord::idOfKey(key)))
            continue;
        QString mode = mode_;
        SelectSong(setList_, mode, song, key);
        return Outcome::Chosen;
    }
    for (int row = 0; row < list.count(); ++row) {
        if (!isMarked(songrecord::idOfKey(list.keyAt(row))))
            return Outcome::EndOfList;
    }
    return list.count() > 0 ? Outcome::AllUnplayable : Outcome::EndOfList;
}

// The draw of random play (drawRow) over the set list's songs in its
// query's order, leaving out the marked ones. The IDs are read once, not
// counted again at every song.
SongChooser::Outcome SongChooser::drawRandom(Song& song) {
    const std::vector<SetListSong>* all = songs();
    if (!all)
        return Outcome::Chosen; // a failed read: an empty song, as SelectSong gives
    std::vector<qint64> reachable;
    reachable.reserve(all->size());
    for (const SetListSong& s : *all) {
        if (marks_.isEmpty() || !isMarked(QString::number(s.id)))
            reachable.push_back(s.id);
    }
    if (reachable.empty())
        return unreachable();
    readSong(reachable[size_t(drawRow(int(reachable.size())))], song);
    return Outcome::Chosen;
}

SongChooser::Outcome SongChooser::drawByPriority(Song& song) {
    const std::vector<SetListSong>* all = songs();
    if (!all)
        return Outcome::Chosen;
    if (!shuffleReady_) {
        std::vector<PriorityShuffle::Entry> entries;
        entries.reserve(all->size());
        for (const SetListSong& s : *all)
            entries.push_back({s.id, s.priority});
        shuffle_.setSongs(entries);
        for (auto it = marks_.cbegin(); it != marks_.cend(); ++it)
            shuffle_.remove(it.key().toLongLong());
        shuffleReady_ = true;
    }
    const qint64 id = shuffle_.draw(songRandom());
    if (id < 0)
        return unreachable();
    readSong(id, song);
    return Outcome::Chosen;
}

// Nothing to draw: because every song is marked, or there is none.
SongChooser::Outcome SongChooser::unreachable() {
    const std::vector<SetListSong>* all = songs();
    if (!all || all->empty())
        return Outcome::NothingToPlay;
    for (const SetListSong& s : *all) {
        if (!isMarked(QString::number(s.id)))
            return Outcome::NothingToPlay;
    }
    return Outcome::AllUnplayable;
}

const std::vector<SetListSong>* SongChooser::songs() {
    if (!songs_) {
        std::vector<SetListSong> read;
        if (!readSetListSongs(setList_, read))
            return nullptr;
        songs_ = std::move(read);
    }
    return &*songs_;
}

void SongChooser::played(const Song& song) {
    if (shuffleReady_)
        shuffle_.played(songrecord::idOfKey(song.KeyString()).toLongLong());
}

void SongChooser::mark(const QString& id, const QString& reason) {
    if (id.isEmpty())
        return;
    marks_.insert(id, reason);
    if (shuffleReady_)
        shuffle_.remove(id.toLongLong());
}

void SongChooser::unmark(const QString& id) {
    // The shuffle forgets no removal: it is built again for the next draw.
    if (marks_.remove(id))
        shuffleReady_ = false;
}
