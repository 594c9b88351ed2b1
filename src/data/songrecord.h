#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class Recordset;
class Song;

// How a song record maps to the database and to list keys: the list key
// rule ("Key_" + ID), the genre text, filling a song from a song query's
// row and the parameters that write it back.
namespace songrecord {

// "Key_" + the song's ID, the list key of a song.
QString keyOf(const QString& id);
QString keyOf(qint64 id);
// The most units a list key of an ID takes: "Key_", a sign and 19 digits.
constexpr qsizetype kKeyUnits = 4 + 20;
// Writes the list key of `id` at `out`, which has room for kKeyUnits;
// returns the end of what was written.
QChar* writeKey(QChar* out, qint64 id);
// Whether `key` is a song's list key (rather than a bare ID or a path).
bool isKey(const QString& key);
// A key as the list has it ("Key_" put in front when it is missing), and
// the bare ID of a key in either form.
QString listKey(const QString& key);
QString idOfKey(const QString& key);

// The "no genre" entry's name.
QString noneName();

// Whether a genre name is the "no genre" entry, compared ignoring case
// and width; names repeat on almost every row, so each is decided once.
class NoneCheck {
public:
    bool operator()(const QString& name);

private:
    QHash<QString, bool> known_;
};

// Writes the genre cell to `out` (a QString, or anything with the same
// append): the genres up to the first that is none, joined by "/";
// "指定無し" when the first is none. `none(g)` tells whether genre g
// (0 to 2) is none, `name(g)` writes its name.
template <typename Out, typename None, typename Name>
void writeGenres(Out& out, None none, Name name) {
    if (none(0)) {
        out.append(noneName());
        return;
    }
    for (int g = 0; g < 3; ++g) {
        if (g > 0) {
            if (none(g))
                return;
            out.append(QChar(u'/'));
        }
        name(g);
    }
}

// The genre cell: the genres up to the first "指定無し", joined by "/";
// "指定無し" when the first genre is none.
QString genreText(const QString& g1, const QString& g2, const QString& g3);

// Fills `song` from a row of a song query; program play keys it "Key_" + ID.
void fillSong(const Recordset& row, Song& song, bool programPlay);

// The twelve parameters of the song update (write 26) from the song.
QStringList songParams(const Song& song);

} // namespace songrecord
