#pragma once

#include <QtGlobal>

#include <sys/types.h>
#include <unistd.h>

// While it lives, the process acts as an unprivileged user, so that file
// permissions hold back the code under test even when the tests run as
// root (as CI does). Root stays the saved identity, which lets the
// destructor take it back. Run as any other user it changes nothing.
class Unprivileged {
public:
    Unprivileged() {
        constexpr uid_t kNobody = 65534;
        if (geteuid() != 0)
            active_ = true;
        else if (setresgid(kNobody, kNobody, 0) != 0)
            return;
        else if (setresuid(kNobody, kNobody, 0) != 0)
            restoreGroup();
        else
            active_ = switched_ = true;
    }
    ~Unprivileged() {
        if (switched_ && setresuid(0, 0, 0) != 0)
            qFatal("cannot take back the root user");
        if (switched_)
            restoreGroup();
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    // False when the process may not change its user (no such capability).
    bool isActive() const { return active_; }

private:
    static void restoreGroup() {
        if (setresgid(0, 0, 0) != 0)
            qFatal("cannot take back the root group");
    }

    bool active_ = false;
    bool switched_ = false;
};
