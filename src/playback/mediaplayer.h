#pragma once

#include <QObject>
#include <QString>

// The player the program drives: one file at a time, volume in
// hundredths of a decibel (-10000 silent to 0 full), the length of the
// opened file, and notifications when it has played to its end or has
// failed while playing.
class MediaPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens `fileName`, ready to start. False with a reason when the file
    // is missing, unreadable or not audio the player can decode.
    virtual bool open(const QString& fileName) = 0;
    // Starts or resumes the opened file. False with a reason when it
    // cannot play (nothing opened, a failed open).
    virtual bool start() = 0;
    virtual void pause() = 0;
    // Stops and rewinds; never reports an end of stream.
    virtual void stop() = 0;
    virtual void setVolume(int hundredthsOfDb) = 0;
    virtual int volume() const = 0;
    // Seconds; 0 when nothing is open or the length is unknown.
    virtual double length() const = 0;
    // Why the last open or start failed, or why playing stopped.
    virtual QString lastError() const = 0;

signals:
    void endOfStream();
    // The opened file stopped playing on an error after it had opened (a
    // device that went away, damage past the start of the file): it is
    // closed, lastError() says why, and no end of stream follows.
    void errorOccurred();
};
