#include "audiofiles.h"

#include <gst/gst.h>

#include <QFile>
#include <QtEndian>

#include <cmath>

namespace audiofiles {

namespace {

constexpr int kRate = 44100;

QByteArray sine(double seconds, double amplitude, bool bigEndian) {
    const int frames = int(seconds * kRate);
    QByteArray out(frames * 2, Qt::Uninitialized);
    for (int i = 0; i < frames; ++i) {
        const auto v =
            qint16(std::lround(amplitude * 32767 * std::sin(2 * M_PI * 440 * i / kRate)));
        if (bigEndian)
            qToBigEndian(v, out.data() + 2 * i);
        else
            qToLittleEndian(v, out.data() + 2 * i);
    }
    return out;
}

template <typename T> void le(QByteArray& out, T v) {
    char b[sizeof(T)];
    qToLittleEndian(v, b);
    out.append(b, sizeof(T));
}

template <typename T> void be(QByteArray& out, T v) {
    char b[sizeof(T)];
    qToBigEndian(v, b);
    out.append(b, sizeof(T));
}

QByteArray vlq(quint32 n) {
    QByteArray out(1, char(n & 0x7F));
    while (n >>= 7)
        out.prepend(char((n & 0x7F) | 0x80));
    return out;
}

} // namespace

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

namespace {
// A WAV file of one format chunk and one data chunk, padded to an even
// length as RIFF wants.
bool writeRiff(const QString& path, quint16 format, quint16 bits, quint32 rate,
               const QByteArray& data) {
    const quint16 block = quint16(std::max(1, bits / 8));
    QByteArray fmt;
    le<quint16>(fmt, format);
    le<quint16>(fmt, 1); // mono
    le<quint32>(fmt, rate);
    le<quint32>(fmt, rate * block);
    le<quint16>(fmt, block);
    le<quint16>(fmt, bits);
    if (format != 1)
        le<quint16>(fmt, 0); // no extra format bytes
    QByteArray body("WAVEfmt ");
    le<quint32>(body, quint32(fmt.size()));
    body += fmt;
    body += "data";
    le<quint32>(body, quint32(data.size()));
    body += data;
    if (data.size() % 2)
        body += '\0';
    QByteArray out("RIFF");
    le<quint32>(out, quint32(body.size()));
    return writeBytes(path, out + body);
}
} // namespace

bool writeWav(const QString& path, double seconds, double amplitude) {
    return writeRiff(path, 1, 16, kRate, sine(seconds, amplitude, false));
}

bool writeMonoWav(const QString& path, MonoWav format, int frames) {
    constexpr quint32 rate = 8000;
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * 440 * i / rate);
        switch (format) {
        case MonoWav::Pcm8:
            data += char(quint8(128 + std::lround(127 * v)));
            break;
        case MonoWav::Pcm24: {
            const qint32 sample = qint32(std::lround(8388607 * v));
            data += char(sample & 0xFF);
            data += char((sample >> 8) & 0xFF);
            data += char((sample >> 16) & 0xFF);
            break;
        }
        case MonoWav::MuLaw:
            // Any byte is a u-law sample; these make a coarse tone.
            data += char(quint8(0x80 + std::lround(0x7F * (v + 0.5))));
            break;
        }
    }
    switch (format) {
    case MonoWav::Pcm8:
        return writeRiff(path, 1, 8, rate, data);
    case MonoWav::Pcm24:
        return writeRiff(path, 1, 24, rate, data);
    case MonoWav::MuLaw:
        return writeRiff(path, 7, 8, rate, data);
    }
    return false;
}

bool writeBurstWav(const QString& path, double loud, double quiet) {
    const int loudFrames = int(loud * kRate);
    QByteArray pcm(2 * (loudFrames + int(quiet * kRate)), '\0');
    quint32 noise = 12345;
    for (int i = 0; i < loudFrames; ++i) {
        noise = noise * 1664525u + 1013904223u; // a fixed sequence every run
        qToLittleEndian(qint16(noise >> 16), pcm.data() + 2 * i);
    }
    return writeRiff(path, 1, 16, kRate, pcm);
}

bool writeAiff(const QString& path, double seconds, double amplitude) {
    const QByteArray pcm = sine(seconds, amplitude, true);
    QByteArray comm;
    be<quint16>(comm, 1);                       // channels
    be<quint32>(comm, quint32(pcm.size() / 2)); // frames
    be<quint16>(comm, 16);                      // bits
    // 44100 as an 80-bit extended float: exponent 16383 + 15, mantissa.
    be<quint16>(comm, 16383 + 15);
    be<quint64>(comm, quint64(kRate) << (63 - 15));
    QByteArray out("FORM");
    be<quint32>(out, quint32(4 + 8 + comm.size() + 8 + 8 + pcm.size()));
    out += "AIFFCOMM";
    be<quint32>(out, quint32(comm.size()));
    out += comm;
    out += "SSND";
    be<quint32>(out, quint32(8 + pcm.size()));
    be<quint32>(out, 0); // offset
    be<quint32>(out, 0); // block size
    return writeBytes(path, out + pcm);
}

bool writeMidi(const QString& path, int notes, bool broken) {
    QByteArray track;
    track += vlq(0) + QByteArray("\xFF\x51\x03\x07\xA1\x20", 6); // 500000 us a beat
    track += vlq(0) + QByteArray("\xC0\x00", 2);                 // piano
    for (int n = 0; n < notes; ++n) {
        const char key = char(60 + n % 12);
        track += vlq(0) + QByteArray(1, '\x90') + key + char(100);
        track += vlq(480) + QByteArray(1, '\x80') + key + char(0);
    }
    track += vlq(0) + QByteArray("\xFF\x2F\x00", 3);
    if (broken)
        track = track.left(track.size() / 2) + QByteArray("\xFF\x51\x7F", 3);
    QByteArray out("MThd");
    be<quint32>(out, 6);
    be<quint16>(out, 0);
    be<quint16>(out, 1);
    be<quint16>(out, 480);
    out += "MTrk";
    // A broken track also claims more bytes than it has.
    be<quint32>(out, quint32(track.size() + (broken ? 1000 : 0)));
    return writeBytes(path, out + track);
}

namespace {
// Runs a pipeline to its end.
bool run(const QString& launch) {
    gst_init(nullptr, nullptr);
    GstElement* pipeline = gst_parse_launch(launch.toUtf8().constData(), nullptr);
    if (!pipeline)
        return false;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* done = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = done && GST_MESSAGE_TYPE(done) == GST_MESSAGE_EOS;
    if (done)
        gst_message_unref(done);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}
} // namespace

bool encodeTone(const QString& path, double seconds, int channels, const QString& encoder) {
    return run(QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=1024 ! "
                              "audio/x-raw,rate=%2,channels=%3 ! %4 ! filesink location=\"%5\"")
                   .arg(int(seconds * kRate / 1024))
                   .arg(kRate)
                   .arg(channels)
                   .arg(encoder, path));
}

bool encodeWav(const QString& wav, const QString& path, const QString& encoder) {
    return run(QStringLiteral("filesrc location=\"%1\" ! wavparse ! audioconvert ! %2 ! filesink "
                              "location=\"%3\"")
                   .arg(wav, encoder, path));
}

double wavLevel(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return -1;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id == "data") {
            const qsizetype end = std::min<qsizetype>(bytes.size(), at + 8 + qsizetype(size));
            double sum = 0;
            qsizetype count = 0;
            for (qsizetype i = at + 8; i + 1 < end; i += 2, ++count) {
                const double v = qFromLittleEndian<qint16>(bytes.constData() + i) / 32768.0;
                sum += v * v;
            }
            return count ? std::sqrt(sum / double(count)) : 0;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return -1;
}

} // namespace audiofiles
