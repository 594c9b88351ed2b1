#include "playback/gstplayer.h"

#include <gst/gst.h>

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>

#include <cmath>

namespace {

// playbin's GstPlayFlags: audio only, with volume applied in software so
// that every sink honours it.
constexpr int kPlayAudio = 0x02;
constexpr int kPlaySoftVolume = 0x10;

// How long one try to open a file may take to know it (preroll), and how
// many tries an open makes.
constexpr GstClockTime kOpenTimeout = 4 * GST_SECOND;
constexpr int kOpenTries = 3;

void initialise() {
    static const bool done = [] {
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
    playbin_ = gst_element_factory_make("playbin", nullptr);
    if (!playbin_) {
        error_ = QStringLiteral("GStreamer's playbin is not installed.");
        return;
    }
    gst_object_ref_sink(playbin_);
    g_object_set(playbin_, "flags", kPlayAudio | kPlaySoftVolume, nullptr);
    GstElement* output = nullptr;
    if (sink.isEmpty()) {
        output = defaultSink();
    } else {
        GError* parseError = nullptr;
        output = gst_parse_bin_from_description(sink.toUtf8().constData(), TRUE, &parseError);
        if (parseError) {
            error_ = QString::fromUtf8(parseError->message);
            g_error_free(parseError);
        }
    }
    if (output)
        g_object_set(playbin_, "audio-sink", output, nullptr);
    g_signal_connect(playbin_, "element-setup", G_CALLBACK(setUpElement), nullptr);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, reinterpret_cast<GstBusSyncHandler>(&GstPlayer::onBusMessage),
                             this, nullptr);
    gst_object_unref(bus);
}

GstPlayer::~GstPlayer() {
    if (!playbin_)
        return;
    ++generation_;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin_);
}

// Runs on GStreamer's threads. Every message is handled here and dropped:
// nothing else reads this bus, and kept messages would pile up for hours.
int GstPlayer::onBusMessage(GstBus*, GstMessage* message, void* data) {
    auto* self = static_cast<GstPlayer*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
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
        QMutexLocker lock(&self->errorLock_);
        if (self->streamError_.isEmpty() && error)
            self->streamError_ = QString::fromUtf8(error->message);
        if (error)
            g_error_free(error);
        break;
    }
    default:
        break;
    }
    return GST_BUS_DROP;
}

QString GstPlayer::takeStreamError() {
    QMutexLocker lock(&errorLock_);
    QString error = streamError_;
    streamError_.clear();
    return error;
}

bool GstPlayer::fail(const QString& error) {
    error_ = error;
    opened_ = false;
    length_ = 0;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    return false;
}

bool GstPlayer::open(const QString& fileName) {
    if (!playbin_)
        return false;
    ++generation_;
    opened_ = false;
    length_ = 0;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    takeStreamError();
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
    // here, and the length becomes known. Further tries cover a demuxer
    // that now and then races its own pad linking on a busy machine
    // (seen with AIFF: "not-linked", or a preroll that never completes).
    QString reason;
    bool prerolled = false;
    for (int attempt = 0; attempt < kOpenTries && !prerolled; ++attempt) {
        if (attempt > 0)
            gst_element_set_state(playbin_, GST_STATE_NULL);
        prerolled = preroll(reason);
    }
    if (!prerolled)
        return fail(reason.isEmpty()
                        ? QStringLiteral("The file %1 could not be opened.").arg(fileName)
                        : reason);
    const QString late = takeStreamError();
    if (!late.isEmpty())
        return fail(late);
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
    takeStreamError();
    if (gst_element_set_state(playbin_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        reason = takeStreamError();
        return false;
    }
    // Waits in short steps, so a posted error ends the wait at once.
    constexpr GstClockTime kStep = 20 * GST_MSECOND;
    for (GstClockTime waited = 0; waited < kOpenTimeout; waited += kStep) {
        const GstStateChangeReturn r = gst_element_get_state(playbin_, nullptr, nullptr, kStep);
        if (r == GST_STATE_CHANGE_SUCCESS)
            return true;
        if (r == GST_STATE_CHANGE_FAILURE)
            break;
        QMutexLocker lock(&errorLock_);
        if (!streamError_.isEmpty())
            break;
    }
    reason = takeStreamError();
    return false;
}

bool GstPlayer::start() {
    if (!playbin_ || !opened_) {
        if (error_.isEmpty())
            error_ = QStringLiteral("No file is open.");
        return false;
    }
    if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const QString reason = takeStreamError();
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
    // Back to the prerolled start, so a later start plays from the top.
    if (opened_) {
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
        gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        gst_element_get_state(playbin_, nullptr, nullptr, kOpenTimeout);
    }
}

void GstPlayer::setVolume(int hundredthsOfDb) {
    volume_ = qBound(-10000, hundredthsOfDb, 0);
    if (playbin_)
        g_object_set(playbin_, "volume", gain(volume_), nullptr);
}
