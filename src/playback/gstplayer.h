#pragma once

#include "playback/mediaplayer.h"

#include <QTimer>

#include <atomic>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

// MediaPlayer on GStreamer's playbin3, with playbin for the files playbin3
// cannot open. MIDI files are rendered by FluidSynth with the first
// General MIDI SoundFont found on the system.
//
// Nothing here waits for GStreamer: the pipeline's streaming threads tell
// the bus, and the bus hands each answer to this object's thread.
class GstPlayer final : public MediaPlayer {
    Q_OBJECT

public:
    // `sink`: a GStreamer description of the audio output ("fakesink",
    // "wavenc ! filesink location=..."); empty for the default device, or
    // a silent real-time sink when the machine has none.
    explicit GstPlayer(const QString& sink = QString(), QObject* parent = nullptr);
    ~GstPlayer() override;

    void open(const QString& fileName) override;
    bool start() override;
    void pause() override;
    void stop() override;
    bool seek(double seconds) override;
    bool seekable() const override;
    void setVolume(int hundredthsOfDb) override;
    int volume() const override { return volume_; }
    double length() const override { return length_; }
    QString lastError() const override { return error_; }
    MediaPlayer* twin(QObject* parent) const override { return new GstPlayer(sink_, parent); }

    // How many opens since this player was made needed another try.
    int retriedOpens() const { return retriedOpens_; }

    // The SoundFont used for MIDI files, or empty when none is installed.
    static QString soundFont();
    // Gain of a volume in hundredths of a decibel: 10^(v/2000); 0 at -10000.
    static double gain(int hundredthsOfDb);

private:
    enum class Phase { Closed, Opening, Open };

    bool newPipeline(const char* element);
    void dropPipeline();
    // Stops the pipeline's threads, then forgets every answer still on
    // its way from them.
    void halt();
    void beginAttempt(int attempt);
    void nextAttempt(const QString& reason);
    void fail(const QString& error);
    // Reports a failure found before GStreamer was asked, as GStreamer's
    // own would come: later, from the event loop.
    void failLater(const QString& error);

    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    // On this object's thread; each drops an answer of a generation gone.
    void onPrerolled(int generation);
    void onStreamError(int generation, const QString& error);
    void onStreamEnd(int generation);
    void onDurationChanged(int generation);
    void onStall();
    void reachEnd();
    bool queryLength(double& seconds) const;
    double estimatedLength() const;

    QString sink_;                  // as given, for a twin
    GstElement* playbin_ = nullptr; // the open file's pipeline
    GstElement* output_ = nullptr;  // the sink, kept from pipeline to pipeline
    GstElement* gain_ = nullptr;    // the volume element of the output
    QString fileName_;
    Phase phase_ = Phase::Closed;
    int attempt_ = 0;          // which try at opening the file is under way
    QTimer stall_;             // an open that has not answered in time is tried again
    bool emptyStream_ = false; // the stream ended while opening: nothing to play
    bool endReported_ = false; // endOfStream() was sent for this start
    int retriedOpens_ = 0;
    int volume_ = 0;
    double length_ = 0;
    QString error_;
    // Bumped whenever the pipeline is stopped or replaced, so an answer
    // queued before is dropped.
    std::atomic<int> generation_{0};
    // The stream's bit rate from its tags, for files whose parser cannot
    // tell their length before playing (MP3 without a length header).
    std::atomic<quint32> bitrate_{0};
};
