#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The name a standard MIDI file gives itself: the first sequence/track name
// meta event (FF 03) of its first track. TagLib does not read MIDI files.
namespace midiname {

// The name's raw bytes, or empty when the file has none or is not a MIDI
// file. Every length in the file is checked against the bytes there: an
// event running past the end of its track gives no name rather than a
// guess; a track cut short is read as far as it goes.
QByteArray trackName(QByteArrayView file);

} // namespace midiname
