#pragma once

#include "playback/priorityshuffle.h"
#include "playback/selectsong.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class Song;
class SongListModel;

// Which song plays next: a song named by its list key, the next one in
// list order (program play), or a draw from the set list (random play,
// and random play by priority). Songs found unplayable are marked by their
// bare ID; while the program runs no draw and no step down the list
// offers them again.
class SongChooser {
public:
    enum class Outcome {
        Chosen,        // `song` is filled (empty when its read failed)
        EndOfList,     // program play is past the last song
        NothingToPlay, // the set list has no song a draw could reach
        AllUnplayable, // every song of the set list (or list) is marked
    };

    void setSetList(const QString& name);
    const QString& setList() const { return setList_; }
    void setPlayMode(const QString& mode) { mode_ = mode; }
    const QString& playMode() const { return mode_; }
    // The set list's songs may have changed (an edit): read them again
    // for the next draw that needs them.
    void reload();

    // With a list key, that song; else the next song by the play mode.
    Outcome choose(const QString& key, const SongListModel& list, Song& song);
    // The song started playing.
    void played(const Song& song);

    void mark(const QString& id, const QString& reason);
    void unmark(const QString& id);
    bool isMarked(const QString& id) const { return marks_.contains(id); }
    QString reason(const QString& id) const { return marks_.value(id); }

private:
    Outcome nextInList(const SongListModel& list, Song& song);
    Outcome drawRandom(Song& song);
    Outcome drawByPriority(Song& song);
    // The set list's IDs and priorities, read once until the next reload.
    const std::vector<SetListSong>* songs();
    Outcome unreachable();

    QString setList_;
    QString mode_;
    QHash<QString, QString> marks_; // bare ID -> why it cannot be played
    std::optional<std::vector<SetListSong>> songs_;
    PriorityShuffle shuffle_;
    bool shuffleReady_ = false;
};
