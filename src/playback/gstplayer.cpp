#include "playback/gstplayer.h"

#include <gst/gst.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>

#include <cmath>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// playbin3's GstPlayFlags: audio only. The volume is applied by an
// element of the output (see withVolume), which outlives the pipelines.
constexpr int kPlayAudio = 0x02;

// The bus ends an open as soon as the preroll completes or fails. A
// preroll that has done neither in time has stalled: playbin3 now and then
// loses the start of a raw (WAV, AIFF) stream to a race between its
// decoder bin's state change and the data already flowing, and then waits
// forever. Such an open is tried once more, with room for a slow start. A
// local file prerolls in milliseconds, so a stall is given up on early;
// a MIDI file first loads its SoundFont, which takes longer.
constexpr int kStallMs = 250;
constexpr int kMidiStallMs = 600;
constexpr int kOpenTimeoutMs = 10000;

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

GstPlayer::GstPlayer(const QString& sink, QObject* parent) : MediaPlayer(parent) {
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
    newPipeline();
}

GstPlayer::~GstPlayer() {
    ++generation_;
    dropPipeline();
    gst_object_unref(output_);
}

// Every file gets a pipeline of its own: a playbin3 that is given one file
// after another keeps something of each (about 4 KB a song), and hours of
// play would add up.
bool GstPlayer::newPipeline() {
    dropPipeline();
    playbin_ = gst_element_factory_make("playbin3", nullptr);
    if (!playbin_) {
        error_ = QStringLiteral("GStreamer's playbin3 is not installed.");
        return false;
    }
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
    if (!playbin_)
        return;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin_);
    playbin_ = nullptr;
}

// Runs on GStreamer's threads. Every message is handled here and dropped:
// nothing else reads this bus, and kept messages would pile up for hours.
// A dropped message is ours to release.
int GstPlayer::onBusMessage(GstBus*, GstMessage* message, void* data) {
    auto* self = static_cast<GstPlayer*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE:
        // Only the pipeline's own: it comes when every element has prerolled.
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(self->playbin_)) {
            QMutexLocker lock(&self->busLock_);
            self->prerolled_ = true;
            self->busEvent_.wakeAll();
        }
        break;
    case GST_MESSAGE_EOS: {
        const int generation = self->generation_;
        QMetaObject::invokeMethod(
            self,
            [self, generation] {
                if (generation == self->generation_)
                    emit self->endOfStream();
            },
            Qt::QueuedConnection);
        break;
    }
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
        QMutexLocker lock(&self->busLock_);
        if (self->streamError_.isEmpty())
            self->streamError_ =
                error ? QString::fromUtf8(error->message) : QStringLiteral("The stream failed.");
        if (error)
            g_error_free(error);
        // An error while the file plays must reach the window. One during
        // an open is read by the open, which closes the file, so this call
        // then does nothing; it is queued before the open wakes for that.
        const int generation = self->generation_;
        QMetaObject::invokeMethod(
            self, [self, generation] { self->onStreamError(generation); }, Qt::QueuedConnection);
        self->busEvent_.wakeAll();
        break;
    }
    default:
        break;
    }
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstPlayer::onStreamError(int generation) {
    if (generation != generation_ || !opened_)
        return;
    const QString reason = takeStreamError();
    fail(reason.isEmpty() ? QStringLiteral("The stream failed.") : reason);
    emit errorOccurred();
}

QString GstPlayer::takeStreamError() {
    QMutexLocker lock(&busLock_);
    QString error = streamError_;
    streamError_.clear();
    return error;
}

bool GstPlayer::fail(const QString& error) {
    ++generation_;
    error_ = error;
    opened_ = false;
    length_ = 0;
    if (playbin_)
        gst_element_set_state(playbin_, GST_STATE_NULL);
    return false;
}

bool GstPlayer::open(const QString& fileName) {
    ++generation_;
    opened_ = false;
    length_ = 0;
    if (!newPipeline())
        return false;
    bitrate_ = 0;
    const QFileInfo file(fileName);
    if (fileName.isEmpty() || !file.isFile())
        return fail(QStringLiteral("The file %1 does not exist.").arg(fileName));
    if (!file.isReadable())
        return fail(QStringLiteral("The file %1 cannot be read.").arg(fileName));
    if (isMidi(fileName) && soundFont().isEmpty())
        return fail(QStringLiteral("No SoundFont is installed, so MIDI files cannot be played "
                                   "(install a General MIDI SoundFont such as "
                                   "timgm6mb-soundfont)."));

    GError* uriError = nullptr;
    gchar* uri =
        gst_filename_to_uri(QFile::encodeName(file.absoluteFilePath()).constData(), &uriError);
    if (!uri) {
        const QString reason = uriError ? QString::fromUtf8(uriError->message) : QString();
        if (uriError)
            g_error_free(uriError);
        return fail(reason);
    }
    g_object_set(playbin_, "uri", uri, nullptr);
    g_free(uri);
    // Before the preroll, so the first buffer already has the right level.
    setVolume(volume_);

    // Prerolling decodes the first buffer: a file that is not audio fails
    // here, and the length becomes known.
    stallMs_ = isMidi(fileName) ? kMidiStallMs : kStallMs;
    QString reason;
    if (!preroll(reason))
        return fail(reason);
    gint64 duration = 0;
    if (gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration) && duration > 0)
        length_ = double(duration) / double(GST_SECOND);
    else
        length_ = estimatedLength(fileName);
    opened_ = true;
    error_.clear();
    return true;
}

// The length from the bit rate and the size of the audio data, skipping
// an ID3v2 tag at the front: exact for constant bit rates.
double GstPlayer::estimatedLength(const QString& fileName) const {
    const quint32 rate = bitrate_;
    QFile f(fileName);
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

bool GstPlayer::preroll(QString& reason) {
    if (prerollOnce(stallMs_, reason) != Preroll::Stalled)
        return reason.isEmpty();
    qWarning("The player stalled opening a file; trying again.");
    gst_element_set_state(playbin_, GST_STATE_NULL);
    if (prerollOnce(kOpenTimeoutMs, reason) == Preroll::Stalled)
        reason = QStringLiteral("The file took too long to open.");
    return reason.isEmpty();
}

// Pauses the pipeline and waits for the bus to say how the preroll ended:
// done, or the first error, whichever comes first.
GstPlayer::Preroll GstPlayer::prerollOnce(int timeoutMs, QString& reason) {
    {
        QMutexLocker lock(&busLock_);
        prerolled_ = false;
        streamError_.clear();
    }
    const GstStateChangeReturn change = gst_element_set_state(playbin_, GST_STATE_PAUSED);
    QMutexLocker lock(&busLock_);
    if (change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL)
        prerolled_ = true;
    const QDeadlineTimer deadline(timeoutMs);
    while (change != GST_STATE_CHANGE_FAILURE && !prerolled_ && streamError_.isEmpty()) {
        if (!busEvent_.wait(&busLock_, deadline))
            return Preroll::Stalled;
    }
    // An error wins over a completed preroll: some elements post theirs
    // just after the first buffer.
    reason = streamError_;
    streamError_.clear();
    if (reason.isEmpty() && change == GST_STATE_CHANGE_FAILURE)
        reason = QStringLiteral("The file could not be opened.");
    return reason.isEmpty() ? Preroll::Done : Preroll::Failed;
}

bool GstPlayer::start() {
    if (!playbin_ || !opened_) {
        if (error_.isEmpty())
            error_ = QStringLiteral("No file is open.");
        return false;
    }
    // After a stop the pipeline is shut down: it prerolls again first.
    GstState state = GST_STATE_NULL;
    gst_element_get_state(playbin_, &state, nullptr, 0);
    QString reason;
    if (state == GST_STATE_NULL && !preroll(reason))
        return fail(reason);
    if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        reason = takeStreamError();
        return fail(reason.isEmpty() ? QStringLiteral("The file could not be played.") : reason);
    }
    return true;
}

void GstPlayer::pause() {
    if (playbin_ && opened_)
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void GstPlayer::stop() {
    if (!playbin_)
        return;
    ++generation_;
    // Shut down at once, releasing the device; the file stays chosen, so a
    // later start plays it again from the top.
    gst_element_set_state(playbin_, GST_STATE_NULL);
}

void GstPlayer::setVolume(int hundredthsOfDb) {
    volume_ = qBound(-10000, hundredthsOfDb, 0);
    if (gain_)
        g_object_set(gain_, "volume", gain(volume_), nullptr);
}
