#pragma once

#include "playback/mediaplayer.h"

#include <QMutex>

#include <atomic>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

// MediaPlayer on GStreamer's playbin. MIDI files are rendered by
// FluidSynth with the first General MIDI SoundFont found on the system.
class GstPlayer final : public MediaPlayer {
    Q_OBJECT

public:
    // `sink`: a GStreamer description of the audio output ("fakesink",
    // "wavenc ! filesink location=..."); empty for the default device, or
    // a silent real-time sink when the machine has none.
    explicit GstPlayer(const QString& sink = QString(), QObject* parent = nullptr);
    ~GstPlayer() override;

    bool open(const QString& fileName) override;
    bool start() override;
    void pause() override;
    void stop() override;
    void setVolume(int hundredthsOfDb) override;
    int volume() const override { return volume_; }
    double length() const override { return length_; }
    QString lastError() const override { return error_; }

    // The SoundFont used for MIDI files, or empty when none is installed.
    static QString soundFont();
    // Gain of a volume in hundredths of a decibel: 10^(v/2000); 0 at -10000.
    static double gain(int hundredthsOfDb);

private:
    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    bool fail(const QString& error);
    QString takeStreamError();
    bool preroll(QString& reason);
    double estimatedLength(const QString& fileName) const;

    GstElement* playbin_ = nullptr;
    bool opened_ = false;
    int volume_ = 0;
    double length_ = 0;
    QString error_;
    // Bumped by every open and stop, so an end of stream queued before
    // is dropped.
    std::atomic<int> generation_{0};
    // The first error posted by a streaming thread since the last open.
    QMutex errorLock_;
    QString streamError_;
    // The stream's bit rate from its tags, for files whose parser cannot
    // tell their length before playing (MP3 without a length header).
    std::atomic<quint32> bitrate_{0};
};
