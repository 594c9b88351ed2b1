#pragma once

#include "data/songrecord.h"
#include "songlist/rowstore.h"

#include <QHash>
#include <QList>

class Recordset;
class Song;

// How song list rows are made from query rows and from song records.
// Columns are recognised by caption, ignoring case and width.
namespace songrows {

// After Other, one cell per display item in the items' order.
enum class Cell {
    Skip,
    Other,
    Count,
    Priority,
    Genre,
    Title,
    FilePath,
    BreakOut,
    Trend,
    Volume,
    Artist
};

// The cell a column of this caption shows; Skip for an empty caption.
Cell cellOf(const QString& caption);

// Makes one row per row of a song query, in row order: the cells of the
// columns that are not skipped, the first of them the item text. Text is
// decoded straight into the rows' shared text, and numbers are written in
// place; whether a genre is none is worked out once per name.
class RowBuilder {
public:
    explicit RowBuilder(const QStringList& captions);

    void add(const Recordset& row);
    RowStore take();

private:
    void resolveFields(const Recordset& row);
    // Appends query field `field` to the row.
    void appendField(const Recordset& row, int field);
    void appendGenres(const Recordset& row);
    void appendUtf8(QByteArrayView bytes);
    bool isNone(const Recordset& row, int field);

    QList<Cell> cells_;
    QList<int> fields_;
    bool resolved_ = false;
    int id_ = -1;
    int genres_[3] = {-1, -1, -1};
    songrecord::NoneCheck isNone_;
    QHash<QByteArray, bool> noneBytes_; // genre names as the query gives them
    RowStore rows_;
};

// The cells of a song's row from the record, one per column (empty for
// an unknown or empty caption).
QStringList cellsOfSong(const Song& song, const QStringList& captions);
// The same with the columns' cells found beforehand, for many songs.
QList<Cell> cellsOf(const QStringList& captions);
QStringList cellsOfSong(const Song& song, const QList<Cell>& columns);

} // namespace songrows
