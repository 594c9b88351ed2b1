#pragma once

#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>

class QDialog;
class QWidget;

// Long work (a bulk write, a folder walk, a copy) runs on a worker thread
// while the user-interface thread keeps painting and playing. A
// window-modal progress dialog over the calling window appears at once and
// stays up until the work has ended, so none of that window's commands can
// start again meanwhile; its Cancel button (or Escape, or closing it) only
// asks the work to stop.
//
//     int written = 0;
//     const bool ok = runLongWork(this, QStringLiteral("ファイルを登録しています..."),
//                                 [&](WorkProgress& progress) {
//         progress.setMaximum(int(paths.size()));
//         ADO_Connector::BulkWrite bulk(*gConnector);
//         for (const QString& path : paths) {
//             if (progress.isCancelled() || !gConnector->adoSetData(Write::AddSong, {...}))
//                 return false;
//             progress.setValue(++written);
//         }
//         return bulk.commit();
//     });
//
// Rules for the work function:
// - It runs on another thread: no widgets, no models shown in a view. Read
//   what it needs before, and apply its results to widgets after runLongWork
//   returns (values captured by reference are safe: runLongWork returns only
//   when the work has ended).
// - Message boxes may be shown (msgbox::show hands them to the
//   user-interface thread and waits for the answer).
// - The library connection may be used: the connector serialises threads,
//   and a BulkWrite keeps its transaction to the thread that opened it.
// - It polls isCancelled() often (at least every 0.1 s) and returns soon
//   after it turns true, leaving the data as before (roll back) or at a
//   clean point it reports.

// What the work reports and what the user asked; every member may be used
// from either thread.
class WorkProgress {
public:
    // 0 (the default) shows a busy bar without steps.
    void setMaximum(int maximum) { maximum_.store(maximum); }
    void setValue(int value) { value_.store(value); }
    // Replaces the caption shown above the bar.
    void setText(const QString& text);

    bool isCancelled() const { return cancelled_.load(); }
    // What the Cancel button does; tests may call it from the watcher.
    void cancel() { cancelled_.store(true); }

    int maximum() const { return maximum_.load(); }
    int value() const { return value_.load(); }
    QString text() const;

private:
    std::atomic<int> maximum_{0};
    std::atomic<int> value_{0};
    std::atomic<bool> cancelled_{false};
    mutable QMutex textLock_;
    QString text_;
};

using LongWorkFunction = std::function<bool(WorkProgress& progress)>;

// Runs `work` on a worker thread behind a window-modal progress dialog
// over `parent` (application-modal without one) captioned `caption`, and
// returns what the work returned once it has ended. While one long work
// runs, a second call (from a command that slipped through) is refused at
// once and returns false without running its work.
bool runLongWork(QWidget* parent, const QString& caption, const LongWorkFunction& work);

// True while runLongWork is running a work.
bool isLongWorkRunning();

// Tests: `watcher` runs on the user-interface thread once the dialog
// ("dlgLongWork", its button "cmdLongWorkCancel") has been shown, just
// before the work starts, e.g. to press Cancel (the work then finds itself
// cancelled at its first look) or to try a command meanwhile. An empty
// watcher removes it.
using LongWorkWatcher = std::function<void(QDialog& dialog, WorkProgress& progress)>;
void setLongWorkWatcher(LongWorkWatcher watcher);
