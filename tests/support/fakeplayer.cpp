#include "fakeplayer.h"

void FakePlayer::open(const QString& fileName) {
    log << QStringLiteral("open ") + fileName;
    opened_ = fileName;
    ok_ = !fileName.isEmpty() && !failing.contains(fileName);
    length_ = ok_ ? lengths.value(fileName) : 0;
    error_ = ok_ ? QString() : QStringLiteral("cannot open");
    if (ok_)
        emit opened();
    else
        emit errorOccurred();
}

bool FakePlayer::start() {
    log << QStringLiteral("start");
    return ok_;
}
