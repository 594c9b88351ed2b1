#pragma once

#include <QByteArray>
#include <QString>

// Audio files written byte by byte for the player's tests.
namespace audiofiles {

// A 16-bit mono sine tone at 44.1 kHz; amplitude 0 to 1.
bool writeWav(const QString& path, double seconds, double amplitude = 0.5);
bool writeAiff(const QString& path, double seconds, double amplitude = 0.5);
// A one-track MIDI file of quarter notes at 120 beats a minute (0.5 s
// each); `broken` cuts the track in the middle of an event.
bool writeMidi(const QString& path, int notes, bool broken = false);
bool writeBytes(const QString& path, const QByteArray& bytes);

// A sine tone of `seconds` at 44.1 kHz through a GStreamer encoder
// ("wavenc", "lamemp3enc ..."); false when the encoder is not installed.
bool encodeTone(const QString& path, double seconds, int channels, const QString& encoder);

// Root mean square of the 16-bit samples of a WAV file, 0 to 1; -1 when
// the file is not a 16-bit PCM WAV.
double wavLevel(const QString& path);

} // namespace audiofiles
