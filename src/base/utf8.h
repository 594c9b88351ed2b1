#pragma once

#include <QByteArrayView>
#include <QChar>

// Decoding UTF-8 into memory of one's own, as QString::fromUtf8 words it
// (an initial byte-order mark dropped, each bad sequence replaced), for
// text read by the hundred thousand: a song list's cells.
namespace utf8 {

// Writes `bytes` decoded at `out`, which has room for bytes.size() units
// (never more are needed); returns the end of what was written.
QChar* decodeInto(QChar* out, QByteArrayView bytes);

} // namespace utf8
