#include "library/legacytext.h"

#include <QStringDecoder>

namespace legacytext {

namespace {

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return !utf8.hasError() && !text.contains(QChar::ReplacementCharacter);
}

bool isLead(uchar b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF) || (b >= 0xFA && b <= 0xFC);
}

bool isTrail(uchar b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

bool isControlInLatin1(uchar b) {
    return b >= 0x80 && b <= 0x9F;
}

// The CP932 reading of `bytes`, or a null string when the bytes are not
// CP932 text that Latin-1 could not be.
QString cp932Reading(QByteArrayView bytes) {
    int doubles = 0;
    bool controls = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
            continue;
        if (!isLead(b) || i + 1 >= bytes.size() || !isTrail(uchar(bytes[i + 1])))
            return QString();
        controls = controls || isControlInLatin1(b) || isControlInLatin1(uchar(bytes[i + 1]));
        ++doubles;
        ++i;
    }
    if (doubles == 0 || !controls)
        return QString();
    QStringDecoder cp932("windows-31j", QStringDecoder::Flag::Stateless);
    if (!cp932.isValid())
        return QString();
    const QString text = cp932(bytes);
    // Unassigned pairs come back as a replacement or substitute character.
    if (cp932.hasError() || text.contains(QChar::ReplacementCharacter) ||
        (text.contains(QChar(0x1A)) && !bytes.contains('\x1A')))
        return QString();
    return text;
}

} // namespace

QString decode(QByteArrayView bytes) {
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    const QString japanese = cp932Reading(bytes);
    if (!japanese.isNull())
        return japanese;
    return QString::fromLatin1(bytes);
}

} // namespace legacytext
