#include "library/midiname.h"

#include <optional>

namespace midiname {

namespace {

constexpr qsizetype kChunkHeader = 8;
constexpr qsizetype kMinHeaderLength = 6;
constexpr uchar kMeta = 0xFF;
constexpr uchar kSequenceName = 0x03;
constexpr uchar kEndOfTrack = 0x2F;
constexpr uchar kSysEx = 0xF0;
constexpr uchar kSysExEscape = 0xF7;

// Reads within [pos, end) and never past it.
class Reader {
public:
    Reader(QByteArrayView bytes, qsizetype pos, qsizetype end)
        : bytes_(bytes), pos_(pos), end_(end) {}

    bool atEnd() const { return pos_ >= end_; }
    qsizetype pos() const { return pos_; }

    std::optional<uchar> byte() {
        if (pos_ >= end_)
            return std::nullopt;
        return uchar(bytes_[pos_++]);
    }
    std::optional<uchar> peek() const {
        if (pos_ >= end_)
            return std::nullopt;
        return uchar(bytes_[pos_]);
    }
    // A variable-length quantity: at most four bytes, seven bits each.
    std::optional<quint32> varLength() {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::optional<uchar> b = byte();
            if (!b)
                return std::nullopt;
            value = (value << 7) | (*b & 0x7F);
            if (!(*b & 0x80))
                return value;
        }
        return std::nullopt;
    }
    std::optional<quint32> bigEndian32() {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::optional<uchar> b = byte();
            if (!b)
                return std::nullopt;
            value = (value << 8) | *b;
        }
        return value;
    }
    bool skip(quint64 count) {
        if (count > quint64(end_ - pos_))
            return false;
        pos_ += qsizetype(count);
        return true;
    }
    QByteArrayView take(qsizetype count) {
        const QByteArrayView out = bytes_.sliced(pos_, count);
        pos_ += count;
        return out;
    }
    qsizetype left() const { return end_ - pos_; }

private:
    QByteArrayView bytes_;
    qsizetype pos_;
    qsizetype end_;
};

// Data bytes that follow a channel message's status byte.
int dataBytes(uchar status) {
    const uchar kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

QByteArray nameInTrack(Reader track) {
    std::optional<uchar> running;
    while (!track.atEnd()) {
        if (!track.varLength()) // delta time
            return {};
        const std::optional<uchar> next = track.peek();
        if (!next)
            return {};
        uchar status = *next;
        if (status < 0x80) {
            if (!running)
                return {};
            status = *running; // running status: the byte is data
        } else {
            track.byte();
        }
        if (status == kMeta) {
            const std::optional<uchar> type = track.byte();
            const std::optional<quint32> length = track.varLength();
            if (!type || !length || *length > quint64(track.left()))
                return {};
            if (*type == kSequenceName)
                return track.take(qsizetype(*length)).toByteArray();
            if (*type == kEndOfTrack)
                return {};
            track.skip(*length);
            running.reset();
        } else if (status == kSysEx || status == kSysExEscape) {
            const std::optional<quint32> length = track.varLength();
            if (!length || !track.skip(*length))
                return {};
            running.reset();
        } else if (status >= 0x80 && status < 0xF0) {
            if (!track.skip(quint64(dataBytes(status))))
                return {};
            running = status;
        } else {
            return {}; // no other status belongs in a track
        }
    }
    return {};
}

} // namespace

QByteArray trackName(QByteArrayView file) {
    Reader chunks(file, 0, file.size());
    if (!file.startsWith("MThd"))
        return {};
    chunks.skip(4);
    const std::optional<quint32> headerLength = chunks.bigEndian32();
    if (!headerLength || *headerLength < kMinHeaderLength || !chunks.skip(*headerLength))
        return {};
    // The first track is the first MTrk chunk; unknown chunks are skipped.
    while (chunks.left() >= kChunkHeader) {
        const QByteArrayView id = chunks.take(4);
        const std::optional<quint32> length = chunks.bigEndian32();
        if (!length)
            return {};
        // A track cut short still names itself when its name comes first.
        if (id == "MTrk")
            return nameInTrack(
                Reader(file, chunks.pos(),
                       chunks.pos() + qsizetype(qMin(quint64(*length), quint64(chunks.left())))));
        if (!chunks.skip(*length))
            return {};
    }
    return {};
}

} // namespace midiname
