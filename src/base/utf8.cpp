#include "base/utf8.h"

#include <QStringDecoder>

#include <cstring>

namespace utf8 {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

bool continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Well-formed text, nearly all of a library, decoded inline; null at the
// first thing that is not plainly well-formed, which Qt's decoder then
// words as it always does. Qt's own path costs three times as much on
// short cells, most of it in reaching the decoder.
char16_t* decodeWellFormed(char16_t* out, const unsigned char* p, const unsigned char* end) {
    constexpr quint64 kHighBits = 0x8080808080808080ull;
    while (p < end) {
        // Eight ASCII bytes at a time: paths and Latin names.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if (word & kHighBits)
                break;
            for (int i = 0; i < 8; ++i)
                out[i] = char16_t(p[i]);
            out += 8;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned c = *p;
        const qsizetype left = end - p;
        if (c < 0x80) {
            *out++ = char16_t(c);
            p += 1;
        } else if (c >= 0xC2 && c <= 0xDF && left >= 2 && continuation(p[1])) {
            *out++ = char16_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if ((c & 0xF0) == 0xE0 && left >= 3 && continuation(p[1]) && continuation(p[2])) {
            const char32_t u = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            // Overlong forms, surrogates and the mark are left to Qt.
            if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF) || u == kByteOrderMark)
                return nullptr;
            *out++ = char16_t(u);
            p += 3;
        } else if (c >= 0xF0 && c <= 0xF4 && left >= 4 && continuation(p[1]) &&
                   continuation(p[2]) && continuation(p[3])) {
            const char32_t u =
                ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (u < 0x10000 || u > 0x10FFFF)
                return nullptr;
            *out++ = QChar::highSurrogate(u);
            *out++ = QChar::lowSurrogate(u);
            p += 4;
        } else {
            return nullptr;
        }
    }
    return out;
}

} // namespace

QChar* decodeInto(QChar* out, QByteArrayView bytes) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    if (char16_t* end =
            decodeWellFormed(reinterpret_cast<char16_t*>(out), begin, begin + bytes.size()))
        return reinterpret_cast<QChar*>(end);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return decoder.appendToBuffer(out, bytes);
}

} // namespace utf8
