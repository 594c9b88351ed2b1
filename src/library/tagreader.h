#pragma once

#include <QString>
#include <QStringList>

// What a music file's own tags say about it. Empty fields: no tag said.
struct SongTags {
    QString title;
    QString artist;
    QStringList genres; // at most three, none equal to another when folded
};

// Reads the tags of music files: MP3 (ID3v2, APE, ID3v1, in that order of
// trust), WAV (ID3v2, RIFF INFO), AIFF (ID3v2) through TagLib, and the
// sequence name of MIDI files. Text declared Latin-1 is decoded by the
// legacy rule (Shift-JIS, UTF-8). Only regular files are opened; a file
// that cannot be read or whose tags are damaged gives empty tags. Safe to
// call from several threads at once.
namespace tagreader {

constexpr int kMaxGenres = 3;
// Longer texts are cut: no title or name needs more.
constexpr int kMaxTextLength = 255;

SongTags read(const QString& path);

// Genre values as tags hold them, as names: each value split at NUL and
// ";", ID3 references "(17)" and "17" as their standard names ("(17)Rock
// and Roll" is the text after the reference), "(RX)" and "(CR)" as "Remix"
// and "Cover"; a "/" stays part of a name. Empty and repeated names
// (ignoring case and width) are dropped, and at most three are kept.
QStringList genreNames(const QStringList& values);

} // namespace tagreader
