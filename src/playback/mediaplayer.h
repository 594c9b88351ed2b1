#pragma once

#include <QObject>
#include <QString>

// The player the program drives: one file at a time, volume in
// hundredths of a decibel (-10000 silent to 0 full), the length of the
// opened file, and notifications when it has opened, learnt a better
// length, played to its end or failed.
//
// Opening may take a while (a decoder to load, a file to probe), so it
// never waits: open() returns at once and the answer comes as opened()
// or errorOccurred().
class MediaPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Begins opening `fileName`, dropping whatever was open. opened()
    // follows when it is ready to start; errorOccurred() when the file is
    // missing, unreadable or not audio the player can decode.
    virtual void open(const QString& fileName) = 0;
    // Starts or resumes the opened file. False with a reason when it
    // cannot play (nothing opened, a failed open).
    virtual bool start() = 0;
    virtual void pause() = 0;
    // Stops and rewinds; never reports an end of stream, nor the answer to
    // an open still under way.
    virtual void stop() = 0;
    // Moves the opened file to `seconds` from its start, playing or
    // paused. False when the file cannot seek (some decoders refuse); it
    // then plays on where it was.
    virtual bool seek(double seconds) = 0;
    // Whether the opened file can seek (a synthesised stream may not).
    virtual bool seekable() const = 0;
    virtual void setVolume(int hundredthsOfDb) = 0;
    virtual int volume() const = 0;
    // Seconds; 0 when nothing is open or the length is unknown.
    virtual double length() const = 0;
    // Why the last open or start failed, or why playing stopped.
    virtual QString lastError() const = 0;
    // A second player of the same kind and output, owned by `parent`, for
    // two songs sounding at once (the sound server mixes them).
    virtual MediaPlayer* twin(QObject* parent) const = 0;

signals:
    // The file asked for is open and length() is known as far as it can
    // be before playing.
    void opened();
    // While playing, the length turned out other than length() said (a
    // stream without a length header, estimated from its first frames).
    void lengthChanged();
    void endOfStream();
    // The file could not be opened, or stopped playing on an error after
    // it had opened (a device that went away, damage past the start of the
    // file): it is closed, lastError() says why, and no end of stream
    // follows.
    void errorOccurred();
};
