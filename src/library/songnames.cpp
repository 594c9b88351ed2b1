#include "library/songnames.h"

#include "base/textfold.h"
#include "data/adoconnector.h"

bool SongNames::read(int kind, const QString& column, Table& table) {
    table.byFold.clear();
    Recordset rs;
    if (!gConnector->adoGetData(kind, rs))
        return false;
    for (; !rs.Eof(); rs.MoveNext()) {
        // The first row of a name wins, as lookups by name find it.
        const QString key = text::fold(rs.text(column));
        if (!table.byFold.contains(key))
            table.byFold.insert(key, rs.Field(QStringLiteral("ID")).toLongLong());
    }
    return true;
}

bool SongNames::load() {
    return read(Read::Artists, QStringLiteral("アーティスト名"), artists_) &&
           read(Read::Genres, QStringLiteral("ジャンル名"), genres_);
}

qint64 SongNames::idOf(Table& table, const QString& name) {
    if (name.isEmpty())
        return kNone;
    const QString key = text::fold(name);
    if (const auto it = table.byFold.constFind(key); it != table.byFold.constEnd())
        return *it;
    Recordset rs;
    if (!gConnector->adoSetData(table.insertKind, {name}) ||
        !gConnector->adoGetData(table.lookupKind, rs, name))
        return 0;
    // No stored name matched this one, so the newest row is the one made.
    qint64 id = 0;
    for (; !rs.Eof(); rs.MoveNext())
        id = qMax(id, rs.Field(QStringLiteral("ID")).toLongLong());
    if (id > 0)
        table.byFold.insert(key, id);
    return id;
}

qint64 SongNames::artistId(const QString& name) {
    return idOf(artists_, name);
}

qint64 SongNames::genreId(const QString& name) {
    return idOf(genres_, name);
}
