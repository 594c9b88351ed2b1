#pragma once

// Reading a test library's genre, artist and song tables through views made
// for the test, to check what a name edit did to them.

#include "data/sqlite.h"
#include "templibrary.h"

#include <QStringList>

namespace namestate {

// The rows of `select`, each as its cells joined by ':'.
inline QStringList rows(TempLibrary& lib, const QString& view, const QString& select) {
    if (!lib.db().queryExists(view))
        lib.db().adoxCreateQuery(select, view);
    QStringList out;
    Recordset rs;
    lib.db().adoGetData(3, rs, view);
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList cells;
        for (int c = 0; c < rs.fieldCount(); ++c)
            cells << rs.text(c);
        out << cells.join(u':');
    }
    return out;
}

// "ID:name" rows of genre table 1, 2 or 3.
inline QStringList genreRows(TempLibrary& lib, int table) {
    return rows(lib, QStringLiteral("T_Genres%1").arg(table),
                QStringLiteral("SELECT ID, ジャンル名 FROM TM_ジャンル_%1 ORDER BY ID").arg(table));
}

inline QStringList artistRows(TempLibrary& lib) {
    return rows(lib, QStringLiteral("T_Artists"),
                QStringLiteral("SELECT ID, アーティスト名 FROM TM_アーティスト ORDER BY ID"));
}

// The names of a table in its order, "指定無し" included, joined by '|'.
inline QString namesOf(const QStringList& idRows) {
    QStringList names;
    for (const QString& row : idRows)
        names << row.section(u':', 1);
    return names.join(u'|');
}

inline QString genres(TempLibrary& lib) {
    return namesOf(genreRows(lib, 1));
}

inline QString artists(TempLibrary& lib) {
    return namesOf(artistRows(lib));
}

// "ID:genre 1:genre 2:genre 3:artist" IDs of every song.
inline QStringList links(TempLibrary& lib) {
    return rows(lib, QStringLiteral("T_Links"),
                QStringLiteral("SELECT ID, ジャンルID1, ジャンルID2, ジャンルID3, アーティストID"
                               " FROM TM_曲情報 ORDER BY ID"));
}

// Songs with a genre or artist ID that no row carries.
inline int orphans(TempLibrary& lib) {
    const QStringList n =
        rows(lib, QStringLiteral("T_Orphans"),
             QStringLiteral("SELECT COUNT(*) FROM TM_曲情報"
                            " WHERE ジャンルID1 NOT IN (SELECT ID FROM TM_ジャンル_1)"
                            " OR ジャンルID2 NOT IN (SELECT ID FROM TM_ジャンル_2)"
                            " OR ジャンルID3 NOT IN (SELECT ID FROM TM_ジャンル_3)"
                            " OR アーティストID NOT IN (SELECT ID FROM TM_アーティスト)"));
    return n.value(0, QStringLiteral("-1")).toInt();
}

// A song's genre names and artist, "g1/g2/g3 by artist", as the song
// queries join them; "<missing>" when the joins lose the song.
inline QString songNames(TempLibrary& lib, int id) {
    Recordset rs;
    if (!lib.db().adoGetData(10, rs, QString::number(id)) || rs.Eof())
        return QStringLiteral("<missing>");
    return rs.text(QStringLiteral("ジャンル1")) + u'/' + rs.text(QStringLiteral("ジャンル2")) +
           u'/' + rs.text(QStringLiteral("ジャンル3")) + QStringLiteral(" by ") +
           rs.text(QStringLiteral("アーティスト名"));
}

// Everything a name edit may change.
inline QStringList snapshot(TempLibrary& lib) {
    return genreRows(lib, 1) + genreRows(lib, 2) + genreRows(lib, 3) + artistRows(lib) + links(lib);
}

// Runs `sql` through a connection of the test's own, beside the program's.
inline bool execOwn(TempLibrary& lib, const QString& sql) {
    sqlite::Database db;
    QString error;
    const bool ok = db.open(lib.path(), false, error) && db.exec(sql, error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

} // namespace namestate
