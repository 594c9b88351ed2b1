#pragma once

#include "playback/mediaplayer.h"

#include <QHash>
#include <QSet>
#include <QStringList>

// A scripted media player: files open at once with the lengths given,
// listed files fail to open, and every call is logged.
class FakePlayer final : public MediaPlayer {
    Q_OBJECT

public:
    QHash<QString, double> lengths; // by file name; others have length 0
    QSet<QString> failing;          // these files fail to open
    QSet<QString> unseekable;       // these files refuse to seek

    void open(const QString& fileName) override;
    bool start() override;
    void pause() override { log << QStringLiteral("pause"); }
    void stop() override { log << QStringLiteral("stop"); }
    bool seek(double seconds) override {
        log << QStringLiteral("seek %1").arg(seconds);
        return ok_ && !unseekable.contains(opened_);
    }
    void setVolume(int v) override {
        volume_ = v;
        log << QStringLiteral("volume %1").arg(v);
    }
    int volume() const override { return volume_; }
    double length() const override { return length_; }
    QString lastError() const override { return error_; }

    // The opened file plays to its end.
    void finish() { emit endOfStream(); }
    // The opened file fails part-way, as a device that goes away.
    void breakDown() {
        ok_ = false;
        error_ = QStringLiteral("device lost");
        emit errorOccurred();
    }
    // The player learns the true length while playing.
    void changeLength(double seconds) {
        length_ = seconds;
        emit lengthChanged();
    }
    QString openedFile() const { return opened_; }

    QStringList log;

private:
    QString opened_;
    bool ok_ = false;
    int volume_ = 0;
    double length_ = 0;
    QString error_;
};
