#pragma once

#include "playback/mediaplayer.h"

#include <QMutex>
#include <QWaitCondition>

#include <atomic>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

// MediaPlayer on GStreamer's playbin3. MIDI files are rendered by
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
    bool newPipeline();
    void dropPipeline();
    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    void onStreamError(int generation);
    bool fail(const QString& error);
    QString takeStreamError();
    // Prerolls, trying once more after a stall; false with the reason.
    bool preroll(QString& reason);
    enum class Preroll { Done, Failed, Stalled };
    Preroll prerollOnce(int timeoutMs, QString& reason);
    double estimatedLength(const QString& fileName) const;

    GstElement* playbin_ = nullptr; // the open file's pipeline
    GstElement* output_ = nullptr;  // the sink, kept from pipeline to pipeline
    GstElement* gain_ = nullptr;    // the volume element of the output
    int stallMs_ = 0;               // how long the open file may take to preroll
    bool opened_ = false;
    int volume_ = 0;
    double length_ = 0;
    QString error_;
    // Bumped by every open, stop and failure, so an end of stream or an
    // error queued before is dropped.
    std::atomic<int> generation_{0};
    // What the bus has said since the last preroll began: whether it
    // completed, and the first error posted by a streaming thread. An open
    // waits on busEvent_ for either.
    QMutex busLock_;
    QWaitCondition busEvent_;
    bool prerolled_ = false;
    QString streamError_;
    // The stream's bit rate from its tags, for files whose parser cannot
    // tell their length before playing (MP3 without a length header).
    std::atomic<quint32> bitrate_{0};
};
