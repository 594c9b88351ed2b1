#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Music files with tags, for the tag reading tests and benchmark: tags
// written by TagLib itself, and raw bytes for what TagLib would not write
// (legacy encodings, broken tags).
namespace taggedfiles {

enum class Text { Latin1, Utf16, Utf8 };

struct Fields {
    QString title;
    QString artist;
    QStringList genres; // one TCON frame holding each as a value
};

// Four silent MPEG frames, an MP3 without tags.
QByteArray silentMp3();

// An MP3 with an ID3v2 tag of version 3 or 4 whose text frames declare
// `text`; empty fields have no frame.
bool writeMp3(const QString& path, const Fields& fields, int version, Text text);
// Adds RIFF INFO (or with `id3` an ID3v2 chunk) to a WAV file, keeping
// what it has; adds an ID3v2 tag to an AIFF file.
bool tagWav(const QString& path, const Fields& fields, bool id3);
bool tagAiff(const QString& path, const Fields& fields);
// Adds an APE tag to an MP3 file, before its ID3v1 tag if it has one,
// keeping its other tags.
bool tagApe(const QString& path, const Fields& fields);

// Raw ID3v2.3 tag whose frames (ID, text bytes) declare Latin-1.
QByteArray id3v23Latin1(const QList<QPair<QByteArray, QByteArray>>& frames);
// Raw ID3v1 tag (128 bytes) with these title and artist bytes.
QByteArray id3v1(const QByteArray& title, const QByteArray& artist, int genre);
// A one-track MIDI file whose track is named `name` (FF 03), then a note.
QByteArray midi(const QByteArray& name);

} // namespace taggedfiles
