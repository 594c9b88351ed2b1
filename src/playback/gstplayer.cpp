#include "playback/gstplayer.h"

#include <gst/gst.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// GstPlayFlags of both playbins: audio only. The volume is applied by an
// element of the output (see withVolume), which outlives the pipelines.
constexpr int kPlayAudio = 0x02;

// The ways a file is opened, taking turns; the next try comes when the
// last failed or did not answer in time. playbin3 goes first: playbin's
// AIFF parser races its pad linking and fails or stalls on a valid file
// now and then. But playbin3 never finishes opening some valid WAV files
// (8- or 24-bit mono data of an odd length, u-law, no samples at all) and
// says nothing, and now and then it loses the start of a raw stream to a
// race of its own and waits forever; playbin opens all of these. Both
// races come oftener on a busy machine, and a pipeline caught in one never
// recovers, so a file gets several tries on new pipelines. A local file
// opens in milliseconds, so the first try is given up on early and each
// next one waits twice as long, up to a limit; a MIDI file first loads its
// SoundFont, which takes longer. A file that answers none of the tries
// is given up after 16 s (25 s for MIDI).
constexpr const char* kElements[] = {"playbin3", "playbin"};
constexpr int kTries = 6;
constexpr int kStallMs = 250;
constexpr int kMidiStallMs = 600;
constexpr int kMaxStallMs = 8000;

const char* elementOfTry(int attempt) {
    return kElements[attempt % std::size(kElements)];
}

int stallMsOfTry(int attempt, bool midi) {
    return std::min((midi ? kMidiStallMs : kStallMs) << attempt, kMaxStallMs);
}

void initialise() {
    static const bool done = [] {
#ifdef __GLIBC__
        // Every song brings new streaming threads, and a MIDI song loads its
        // SoundFont (megabytes) on one of them. By default glibc then keeps
        // such blocks in per-thread pools after they are freed, and resident
        // memory climbs by megabytes an hour. Large blocks mapped on their
        // own, and two shared pools, keep it flat.
        mallopt(M_MMAP_THRESHOLD, 1 << 20);
        mallopt(M_ARENA_MAX, 2);
#endif
        gst_init(nullptr, nullptr);
        return true;
    }();
    (void)done;
}

bool isMidi(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"mid" || suffix == u"midi" || suffix == u"rmi" || suffix == u"kar";
}

// The output when no sink is asked for: the default device, or a silent
// sink that keeps real time when the machine has no device.
GstElement* defaultSink() {
    GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
    if (sink && gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(sink, GST_STATE_NULL);
        return sink;
    }
    if (sink)
        gst_object_unref(sink);
    GstElement* silent = gst_element_factory_make("fakesink", nullptr);
    g_object_set(silent, "sync", TRUE, nullptr);
    return silent;
}

// `sink` behind a volume element, in one bin; `volume` is that element.
GstElement* withVolume(GstElement* sink, GstElement*& volume) {
    GstElement* bin = gst_bin_new(nullptr);
    volume = gst_element_factory_make("volume", nullptr);
    gst_bin_add_many(GST_BIN(bin), volume, sink, nullptr);
    gst_element_link(volume, sink);
    GstPad* input = gst_element_get_static_pad(volume, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", input));
    gst_object_unref(input);
    return bin;
}

void setUpElement(GstElement*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || qstrcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec"))
        return;
    const QString font = GstPlayer::soundFont();
    if (!font.isEmpty())
        g_object_set(element, "soundfont", QFile::encodeName(font).constData(), nullptr);
}

} // namespace

QString GstPlayer::soundFont() {
    // Debian's General MIDI fonts install here; default-GM.sf2 is the
    // system's chosen default when several are present.
    QStringList folders = {QStringLiteral("/usr/share/sounds/sf2"),
                           QStringLiteral("/usr/share/soundfonts"),
                           QStringLiteral("/usr/local/share/sounds/sf2")};
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << data + QStringLiteral("/sounds/sf2") << data + QStringLiteral("/soundfonts");
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const char* preferred : {"default-GM.sf2", "FluidR3_GM.sf2", "TimGM6mb.sf2"}) {
            if (dir.exists(QLatin1String(preferred)))
                return dir.absoluteFilePath(QLatin1String(preferred));
        }
        const QStringList any = dir.entryList({QStringLiteral("*.sf2")}, QDir::Files, QDir::Name);
        if (!any.isEmpty())
            return dir.absoluteFilePath(any.front());
    }
    return QString();
}

double GstPlayer::gain(int v) {
    return v <= -10000 ? 0.0 : std::pow(10.0, v / 2000.0);
}

GstPlayer::GstPlayer(const QString& sink, QObject* parent) : MediaPlayer(parent), sink_(sink) {
    initialise();
    GstElement* device = nullptr;
    if (!sink.isEmpty()) {
        GError* parseError = nullptr;
        device = gst_parse_bin_from_description(sink.toUtf8().constData(), TRUE, &parseError);
        if (parseError) {
            error_ = QString::fromUtf8(parseError->message);
            g_error_free(parseError);
        }
    }
    output_ = withVolume(device ? device : defaultSink(), gain_);
    gst_object_ref_sink(output_);
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, &GstPlayer::onStall);
}

GstPlayer::~GstPlayer() {
    dropPipeline();
    gst_object_unref(output_);
}

// Every try gets a pipeline of its own: a playbin3 that is given one file
// after another keeps something of each (about 4 KB a song), and hours of
// play would add up.
bool GstPlayer::newPipeline(const char* element) {
    dropPipeline();
    playbin_ = gst_element_factory_make(element, nullptr);
    if (!playbin_)
        return false;
    gst_object_ref_sink(playbin_);
    g_object_set(playbin_, "flags", kPlayAudio, "audio-sink", output_, nullptr);
    g_signal_connect(playbin_, "element-setup", G_CALLBACK(setUpElement), nullptr);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, reinterpret_cast<GstBusSyncHandler>(&GstPlayer::onBusMessage),
                             this, nullptr);
    gst_object_unref(bus);
    return true;
}

// Shuts the pipeline down (its threads end here) and lets the output go
// back to being ours alone.
void GstPlayer::dropPipeline() {
    halt();
    if (!playbin_)
        return;
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin_);
    playbin_ = nullptr;
}

void GstPlayer::halt() {
    stall_.stop();
    if (playbin_)
        gst_element_set_state(playbin_, GST_STATE_NULL);
    // After the threads: nothing they said before can pass for news.
    ++generation_;
}

// Runs on GStreamer's threads. Every message is handled here and dropped:
// nothing else reads this bus, and kept messages would pile up for hours.
// A dropped message is ours to release. What matters is handed to the
// player's thread, marked with the generation it belongs to.
int GstPlayer::onBusMessage(GstBus*, GstMessage* message, void* data) {
    auto* self = static_cast<GstPlayer*>(data);
    const int generation = self->generation_;
    const auto later = [self](auto call) {
        QMetaObject::invokeMethod(self, call, Qt::QueuedConnection);
    };
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE:
        // Only the pipeline's own: it comes when every element has prerolled.
        if (GST_IS_PIPELINE(GST_MESSAGE_SRC(message)))
            later([self, generation] { self->onPrerolled(generation); });
        break;
    case GST_MESSAGE_EOS:
        later([self, generation] { self->onStreamEnd(generation); });
        break;
    case GST_MESSAGE_DURATION_CHANGED:
        later([self, generation] { self->onDurationChanged(generation); });
        break;
    case GST_MESSAGE_TAG: {
        GstTagList* tags = nullptr;
        gst_message_parse_tag(message, &tags);
        guint rate = 0;
        if (gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &rate) ||
            gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &rate)) {
            if (rate > 0)
                self->bitrate_ = rate;
        }
        gst_tag_list_unref(tags);
        break;
    }
    case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        const QString text =
            error ? QString::fromUtf8(error->message) : QStringLiteral("The stream failed.");
        if (error)
            g_error_free(error);
        later([self, generation, text] { self->onStreamError(generation, text); });
        break;
    }
    default:
        break;
    }
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstPlayer::open(const QString& fileName) {
    dropPipeline();
    fileName_ = fileName;
    phase_ = Phase::Opening;
    length_ = 0;
    error_.clear();
    bitrate_ = 0;
    emptyStream_ = false;
    endReported_ = false;
    const QFileInfo file(fileName);
    if (fileName.isEmpty() || !file.isFile())
        return failLater(QStringLiteral("The file %1 does not exist.").arg(fileName));
    if (!file.isReadable())
        return failLater(QStringLiteral("The file %1 cannot be read.").arg(fileName));
    if (isMidi(fileName) && soundFont().isEmpty())
        return failLater(QStringLiteral("No SoundFont is installed, so MIDI files cannot be played "
                                        "(install a General MIDI SoundFont such as "
                                        "timgm6mb-soundfont)."));
    beginAttempt(0);
}

// Pausing the pipeline prerolls it: the first buffer is decoded, a file
// that is not audio fails, and the length becomes known. The bus answers.
void GstPlayer::beginAttempt(int attempt) {
    attempt_ = attempt;
    const char* element = elementOfTry(attempt);
    if (!newPipeline(element))
        return nextAttempt(
            QStringLiteral("GStreamer's %1 is not installed.").arg(QLatin1String(element)));
    GError* uriError = nullptr;
    gchar* uri = gst_filename_to_uri(
        QFile::encodeName(QFileInfo(fileName_).absoluteFilePath()).constData(), &uriError);
    if (!uri) {
        const QString reason = uriError ? QString::fromUtf8(uriError->message) : QString();
        if (uriError)
            g_error_free(uriError);
        return failLater(reason);
    }
    g_object_set(playbin_, "uri", uri, nullptr);
    g_free(uri);
    // Before the preroll, so the first buffer already has the right level.
    setVolume(volume_);
    stall_.start(stallMsOfTry(attempt, isMidi(fileName_)));
    const GstStateChangeReturn change = gst_element_set_state(playbin_, GST_STATE_PAUSED);
    // An element that failed at once has told the bus why.
    if (change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL) {
        const int generation = generation_;
        QMetaObject::invokeMethod(
            this, [this, generation] { onPrerolled(generation); }, Qt::QueuedConnection);
    }
}

void GstPlayer::nextAttempt(const QString& reason) {
    if (attempt_ + 1 >= kTries) {
        fail(reason);
        emit errorOccurred();
        return;
    }
    if (attempt_ == 0)
        ++retriedOpens_;
    beginAttempt(attempt_ + 1);
}

void GstPlayer::onStall() {
    if (phase_ != Phase::Opening)
        return;
    qWarning("The player stalled opening %s; trying again.", qPrintable(fileName_));
    nextAttempt(QStringLiteral("The file took too long to open."));
}

void GstPlayer::onPrerolled(int generation) {
    if (generation != generation_ || phase_ != Phase::Opening)
        return;
    stall_.stop();
    phase_ = Phase::Open;
    if (!queryLength(length_))
        length_ = estimatedLength();
    emit opened();
}

void GstPlayer::onStreamError(int generation, const QString& error) {
    if (generation != generation_)
        return;
    if (phase_ == Phase::Opening)
        return nextAttempt(error);
    if (phase_ != Phase::Open)
        return;
    fail(error);
    emit errorOccurred();
}

// An end while opening is a stream with nothing in it: open, of length 0,
// and it ends as soon as it starts.
void GstPlayer::onStreamEnd(int generation) {
    if (generation != generation_)
        return;
    if (phase_ == Phase::Opening) {
        stall_.stop();
        phase_ = Phase::Open;
        emptyStream_ = true;
        length_ = 0;
        emit opened();
    } else if (phase_ == Phase::Open) {
        reachEnd();
    }
}

void GstPlayer::reachEnd() {
    if (endReported_)
        return;
    endReported_ = true;
    emit endOfStream();
}

// A stream without a length header is measured by its parser from the
// frames read so far; the figure grows more exact as it plays.
void GstPlayer::onDurationChanged(int generation) {
    double seconds = 0;
    if (generation != generation_ || phase_ != Phase::Open || !queryLength(seconds))
        return;
    if (qAbs(seconds - length_) < 0.001)
        return;
    length_ = seconds;
    emit lengthChanged();
}

bool GstPlayer::queryLength(double& seconds) const {
    gint64 duration = 0;
    if (!playbin_ || !gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration) ||
        duration <= 0)
        return false;
    seconds = double(duration) / double(GST_SECOND);
    return true;
}

// The length from the bit rate and the size of the audio data, skipping
// an ID3v2 tag at the front: exact for constant bit rates.
double GstPlayer::estimatedLength() const {
    const quint32 rate = bitrate_;
    QFile f(fileName_);
    if (rate == 0 || !f.open(QIODevice::ReadOnly))
        return 0;
    qint64 audio = f.size();
    const QByteArray head = f.read(10);
    if (head.size() == 10 && head.startsWith("ID3")) {
        // The tag's size is four 7-bit bytes, not counting its 10-byte header.
        const qint64 tag = (qint64(head[6] & 0x7F) << 21) | (qint64(head[7] & 0x7F) << 14) |
                           (qint64(head[8] & 0x7F) << 7) | qint64(head[9] & 0x7F);
        audio -= 10 + tag;
    }
    return audio > 0 ? double(audio) * 8.0 / double(rate) : 0.0;
}

void GstPlayer::fail(const QString& error) {
    halt();
    phase_ = Phase::Closed;
    error_ = error;
    length_ = 0;
}

void GstPlayer::failLater(const QString& error) {
    fail(error);
    const int generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_)
                emit errorOccurred();
        },
        Qt::QueuedConnection);
}

bool GstPlayer::start() {
    if (!playbin_ || phase_ != Phase::Open) {
        if (error_.isEmpty())
            error_ = QStringLiteral("No file is open.");
        return false;
    }
    // After a stop the pipeline is shut down: it prerolls again on the way,
    // and whatever goes wrong there comes from the bus.
    if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        fail(QStringLiteral("The file could not be played."));
        return false;
    }
    if (emptyStream_) {
        const int generation = generation_;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == generation_ && phase_ == Phase::Open)
                    reachEnd();
            },
            Qt::QueuedConnection);
    }
    return true;
}

void GstPlayer::pause() {
    if (playbin_ && phase_ == Phase::Open)
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void GstPlayer::stop() {
    // Shut down at once, releasing the device; an opened file stays
    // chosen, so a later start plays it again from the top. An open still
    // under way is given up.
    halt();
    endReported_ = false;
    if (phase_ == Phase::Opening)
        phase_ = Phase::Closed;
}

// To the nearest key unit: exact enough for a slider, and quick on MP3.
// A synthesised MIDI stream refuses, which the caller shows.
bool GstPlayer::seek(double seconds) {
    if (!playbin_ || phase_ != Phase::Open || emptyStream_)
        return false;
    const gint64 at = gint64(std::max(0.0, seconds) * double(GST_SECOND));
    return gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                                   GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                   at) != FALSE;
}

bool GstPlayer::seekable() const {
    if (!playbin_ || phase_ != Phase::Open || emptyStream_)
        return false;
    GstQuery* query = gst_query_new_seeking(GST_FORMAT_TIME);
    gboolean can = FALSE;
    if (gst_element_query(playbin_, query))
        gst_query_parse_seeking(query, nullptr, &can, nullptr, nullptr);
    gst_query_unref(query);
    return can != FALSE;
}

void GstPlayer::setVolume(int hundredthsOfDb) {
    volume_ = qBound(-10000, hundredthsOfDb, 0);
    if (gain_)
        g_object_set(gain_, "volume", gain(volume_), nullptr);
}
