#pragma once

#include "data/requests.h"

#include <QHash>
#include <QString>

// The artist and genre IDs of names that come from tags. A name equal to a
// stored one when folded (case and width ignored) takes that row, the
// first in table order; any other name gets a new row. Used inside the
// caller's bulk write, so the new rows go with it or not at all.
class SongNames {
public:
    // The ID of the "指定無し" rows: no artist, no genre.
    static constexpr qint64 kNone = 1;

    // Reads both name tables. False when a read failed (shown as DBError).
    bool load();

    // The row for `name` (kNone for an empty name), inserted when none
    // matches; 0 when the insert failed (shown as DBError).
    qint64 artistId(const QString& name);
    qint64 genreId(const QString& name);

private:
    struct Table {
        int insertKind;
        int lookupKind;
        QHash<QString, qint64> byFold;
    };
    static bool read(int kind, const QString& column, Table& table);
    static qint64 idOf(Table& table, const QString& name);

    Table artists_{Write::AddArtist, Read::ArtistId, {}};
    Table genres_{Write::AddGenre, Read::GenreId, {}};
};
