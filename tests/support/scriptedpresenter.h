#pragma once

#include "base/messagepresenter.h"

#include <QList>
#include <QString>

#include <functional>

// Test double for the message-box seam: records every box and answers it
// with the next scripted button (OK once the script runs out). Installs
// itself on construction and restores the fallback on destruction.
class ScriptedPresenter final : public MessagePresenter {
public:
    struct Box {
        QString text;
        int style;
        QString title;
    };

    ScriptedPresenter();
    ~ScriptedPresenter() override;
    ScriptedPresenter(const ScriptedPresenter&) = delete;
    ScriptedPresenter& operator=(const ScriptedPresenter&) = delete;

    int present(const QString& text, int style, const QString& title) override;

    void answer(int result) { answers_.append(result); }
    // Runs while each box is up, before it is answered: what happens in
    // the event loop that a real modal box runs.
    std::function<void(const Box&)> whileShown;
    const QList<Box>& boxes() const { return boxes_; }
    void clear() {
        boxes_.clear();
        answers_.clear();
    }

private:
    QList<Box> boxes_;
    QList<int> answers_;
};
