#include "fakeplayer.h"

bool FakePlayer::open(const QString& fileName) {
    log << "open " + fileName;
    opened_ = fileName;
    ok_ = !fileName.isEmpty() && !failing.contains(fileName);
    length_ = ok_ ? lengths.value(fileName) : 0;
    error_ = ok_ ? QString() : QStringLiteral("cannot open");
    return ok_;
}

bool FakePlayer::start() {
    log << "start";
    return ok_;
}
