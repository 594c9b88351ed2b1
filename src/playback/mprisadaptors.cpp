#include "playback/mprisadaptors.h"

#include "playback/mpris.h"

#include <algorithm>

namespace {

// Runs a command the wiring may have left out.
template <typename Command, typename... Args> void run(const Command& command, Args... args) {
    if (command)
        command(args...);
}

} // namespace

MprisRootAdaptor::MprisRootAdaptor(Mpris* mpris) : QDBusAbstractAdaptor(mpris), mpris_(mpris) {}

QString MprisRootAdaptor::identity() const {
    return QStringLiteral("Melodara Player");
}

QString MprisRootAdaptor::desktopEntry() const {
    return QStringLiteral("melodara-player");
}

void MprisRootAdaptor::Raise() {
    run(mpris_->commands().raise);
}

void MprisRootAdaptor::Quit() {
    run(mpris_->commands().quit);
}

MprisPlayerAdaptor::MprisPlayerAdaptor(Mpris* mpris) : QDBusAbstractAdaptor(mpris), mpris_(mpris) {
    connect(mpris, &Mpris::seeked, this, &MprisPlayerAdaptor::Seeked);
}

bool MprisPlayerAdaptor::canSeek() const {
    return mpris_->canSeek();
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    mpris_->seekBy(offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    mpris_->setPosition(trackId.path(), position);
}

QString MprisPlayerAdaptor::playbackStatus() const {
    return mpris_->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return mpris_->metadata();
}

double MprisPlayerAdaptor::volume() const {
    return mpris_->volume();
}

void MprisPlayerAdaptor::setVolume(double volume) {
    run(mpris_->commands().setVolume, std::clamp(volume, 0.0, 1.0));
}

qlonglong MprisPlayerAdaptor::position() const {
    const auto& position = mpris_->commands().position;
    return position ? position() : 0;
}

void MprisPlayerAdaptor::Play() {
    run(mpris_->commands().play);
}

void MprisPlayerAdaptor::Pause() {
    run(mpris_->commands().pause);
}

void MprisPlayerAdaptor::PlayPause() {
    run(mpris_->commands().playPause);
}

void MprisPlayerAdaptor::Stop() {
    run(mpris_->commands().stop);
}

void MprisPlayerAdaptor::Next() {
    run(mpris_->commands().next);
}
