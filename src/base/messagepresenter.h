#pragma once

#include <QString>

// Every message box the program shows goes through the installed presenter,
// so tests can answer boxes instead of blocking on them.
//
// `style` is the platform message-box style, passed through unchanged
// (0 = OK, 1 = OK and Cancel, ...); the result is the pressed button as the
// platform reports it (1 = OK, 2 = Cancel, ...).
class MessagePresenter {
public:
    virtual ~MessagePresenter();
    virtual int present(const QString& text, int style, const QString& title) = 0;
};

namespace msgbox {

// Button results, as the platform's message box reports them.
enum Result { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The installed presenter. Before one is installed (a program without a
// window), boxes are written to the log and answered with OK.
MessagePresenter& presenter();

// Installs `p` (not owned); nullptr restores the logging fallback.
void setPresenter(MessagePresenter* p);

// Shows a box through the installed presenter, on the user-interface
// thread whichever thread asks (that thread waits for the answer).
int show(const QString& text, int style, const QString& title);

} // namespace msgbox
