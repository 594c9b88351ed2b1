#pragma once

#include <QByteArray>
#include <QString>

// Audio files written byte by byte for the player's tests.
namespace audiofiles {

// A 16-bit mono sine tone at 44.1 kHz; amplitude 0 to 1.
bool writeWav(const QString& path, double seconds, double amplitude = 0.5);
// Mono WAVs at 8 kHz of `frames` samples of a tone, in formats playbin3
// cannot open when their data has an odd length: 8-bit and 24-bit PCM,
// and u-law.
enum class MonoWav { Pcm8, Pcm24, MuLaw };
bool writeMonoWav(const QString& path, MonoWav format, int frames);
// A 16-bit mono WAV at 44.1 kHz: `loud` seconds of white noise, then
// `quiet` seconds of silence. Encoded at a variable bit rate its first
// frames are far larger than the rest.
bool writeBurstWav(const QString& path, double loud, double quiet);
bool writeAiff(const QString& path, double seconds, double amplitude = 0.5);
// A one-track MIDI file of quarter notes at 120 beats a minute (0.5 s
// each); `broken` cuts the track in the middle of an event.
bool writeMidi(const QString& path, int notes, bool broken = false);
bool writeBytes(const QString& path, const QByteArray& bytes);

// A sine tone of `seconds` at 44.1 kHz through a GStreamer encoder
// ("wavenc", "lamemp3enc ..."); false when the encoder is not installed.
bool encodeTone(const QString& path, double seconds, int channels, const QString& encoder);

// A WAV file encoded by a GStreamer encoder ("lamemp3enc ...").
bool encodeWav(const QString& wav, const QString& path, const QString& encoder);

// Root mean square of the 16-bit samples of a WAV file, 0 to 1; -1 when
// the file is not a 16-bit PCM WAV.
double wavLevel(const QString& path);

} // namespace audiofiles
