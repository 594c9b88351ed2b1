#pragma once

#include <QByteArrayView>
#include <QString>

// Text stored without a trustworthy encoding: ID3v1 fields, ID3v2 and RIFF
// INFO text declared Latin-1, MIDI names. Japanese files often carry
// Shift-JIS (code page 932) bytes there, and some taggers write UTF-8.
namespace legacytext {

// The rule, in order:
//  1. only ASCII bytes: as they are;
//  2. valid UTF-8: UTF-8 (Latin-1 text is never valid UTF-8 unless it is
//     already garbled, like "Ã©");
//  3. valid CP932 with at least one double-byte character, and some byte in
//     0x80-0x9F: CP932. Those bytes are control codes in Latin-1, which
//     real Latin-1 text never holds, while every kana, full-width sign and
//     common kanji of CP932 has its lead byte there. "Café" is not valid
//     CP932; "Pokémon" is, but has no such byte, so it stays Latin-1;
//  4. otherwise Latin-1.
// Valid CP932 means every byte is ASCII, a half-width katakana (A1-DF), or
// a lead byte (81-9F, E0-EF, FA-FC, not the user-defined F0-F9) followed by
// a trail byte (40-7E, 80-FC) that together name an assigned character.
// Thread-safe.
QString decode(QByteArrayView bytes);

} // namespace legacytext
