// The main window's song editing: the property editor for the selected
// song or for all selected songs at once, the writes, the rewritten rows
// and the playing song kept in step with an edit.

#include "app/mainwindow.h"

#include "base/longwork.h"
#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "data/songrecord.h"
#include "library/songedit.h"
#include "library/songproperty.h"
#include "playback/playercontrol.h"
#include "playback/playstate.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"

namespace {

const QString kSongRemoved = QStringLiteral("選択中の曲はデータベースから削除されています");

// Rows of songs no longer in the library leave the list, with a word.
void dropRemovedRows(frmMain& window, const QStringList& keys) {
    for (const QString& key : keys)
        window.lvSongList->songs().removeItem(key);
    if (!keys.isEmpty())
        msgbox::show(kSongRemoved, 0, kDefaultMessageTitle);
}

// Runs the editor in `mode` on the selected song. Nothing when no song is
// selected, the song cannot be read or was removed meanwhile (its row then
// leaves the list), or the editor was cancelled.
std::optional<Song> editSelectedSong(frmMain& window, int mode) {
    const QString key = lvGetSelectedKey(*window.lvSongList);
    if (key.isEmpty())
        return std::nullopt;
    bool removed = false;
    const std::optional<Song> song = window.frmMain_LoadSong(key, &removed);
    if (removed)
        dropRemovedRows(window, {key});
    if (!song)
        return std::nullopt;
    frmSongProperty editor(&window);
    editor.SetMode(mode);
    editor.setTargetSong(*song);
    // Only OK hands the record back; however else the editor ended, it
    // is a Cancel.
    if (runModal(editor) != QDialog::Accepted || editor.Canceled())
        return std::nullopt;
    return editor.TargetSong();
}

// Writes the edit, a bulk one on a worker behind a progress dialog. Rows of
// songs removed meanwhile leave the list, with a word; a failure says that
// nothing was saved, after the connector's own box.
bool saveEdit(frmMain& window, const Song& edited, const QStringList& keys, bool bulk,
              std::vector<Song>& written) {
    QStringList removed;
    bool cancelled = false;
    const auto save = [&](WorkProgress& progress) {
        const bool saved =
            songedit::saveSongs(edited, keys, bulk, written, removed, [&](int done, int total) {
                progress.setMaximum(total);
                progress.setValue(done);
                return !progress.isCancelled();
            });
        cancelled = !saved && progress.isCancelled();
        return saved;
    };
    WorkProgress here;
    const bool ok =
        bulk ? runLongWork(&window, QStringLiteral("曲情報を更新しています..."), save) : save(here);
    dropRemovedRows(window, removed);
    if (!ok && !cancelled)
        msgbox::show(QStringLiteral("曲情報の更新に失敗しました。変更は保存されていません"), 0,
                     kDefaultMessageTitle);
    return ok;
}

} // namespace

void frmMain::frmMain_EditSongProp() {
    const std::optional<Song> edited = editSelectedSong(*this, 0);
    if (!edited)
        return;
    const QString key = songrecord::listKey(edited->KeyString());
    std::vector<Song> written;
    if (!saveEdit(*this, *edited, {key}, false, written)) {
        // The row shows what is stored, never what failed to be.
        songedit::restoreRow(key, lvSongList->songs());
        return;
    }
    for (const Song& song : written)
        lvSetSongItem(song, lvSongList->songs(), false);
    followEditedSong(written);
}

void frmMain::frmMain_EditSongPropDirect() {
    const std::optional<Song> edited = editSelectedSong(*this, 1);
    if (!edited)
        return;
    QStringList keys;
    lvGetSelectedKeys(*lvSongList, keys);
    std::vector<Song> written;
    // All or nothing: after a failure every row still shows what it did,
    // which is what the database still holds.
    if (!saveEdit(*this, *edited, keys, true, written))
        return;
    lvSetSongItems(written, lvSongList->songs(), true);
    followEditedSong(written);
}

std::optional<Song> frmMain::frmMain_LoadSong(const QString& key, bool* removed) {
    return songedit::loadSong(key, removed);
}

void frmMain::followEditedSong(const std::vector<Song>& written) {
    // Priorities, and which songs a set list holds, may have changed.
    player_->reloaded();
    for (const Song& song : written) {
        if (!player_->followEdit(song))
            continue;
        // A stopped player shows no song; its labels stay empty.
        if (gPlayState != kStopped) {
            frmMain_SetFrameSong();
            frmMain_SetStatusBarSong();
        }
        emit playerChanged();
        return;
    }
}
