#pragma once

// What the library suites share: a test library read and changed through a
// connection of the test's own, beside the program's, and the boxes shown.

#include "data/sqlite.h"
#include "scriptedpresenter.h"
#include "templibrary.h"

#include <QAbstractItemModel>
#include <QRegularExpression>
#include <QTest>

using L = QStringList;

namespace librarytest {

// The rows `sql` gives, each as its cells joined by ':'; a failure ends
// them with "<error>" (statements without rows give none).
inline QStringList rows(TempLibrary& lib, const QString& sql) {
    sqlite::Database db;
    QString error;
    if (!db.open(lib.path(), false, error))
        return {QStringLiteral("<error>")};
    sqlite::Statement st(db, sql);
    QStringList out;
    sqlite::Statement::Step step;
    while ((step = st.step()) == sqlite::Statement::Step::Row) {
        QStringList cells;
        for (int c = 0; c < st.columnCount(); ++c)
            cells << st.value(c).toString();
        out << cells.join(u':');
    }
    if (step == sqlite::Statement::Step::Error)
        out << QStringLiteral("<error>");
    return out;
}

// "ID:name" rows of genre table 1, 2 or 3.
inline QStringList genreRows(TempLibrary& lib, int table) {
    return rows(lib,
                QStringLiteral("SELECT ID, ジャンル名 FROM TM_ジャンル_%1 ORDER BY ID").arg(table));
}

// The genre (or artist) names in table order, "指定無し" included.
inline QString names(TempLibrary& lib, bool genres = true) {
    return rows(lib, genres
                         ? QStringLiteral("SELECT ジャンル名 FROM TM_ジャンル_1 ORDER BY ID")
                         : QStringLiteral("SELECT アーティスト名 FROM TM_アーティスト ORDER BY ID"))
        .join(u'|');
}

// Songs with a genre or artist ID that no row carries.
inline int orphans(TempLibrary& lib) {
    return rows(lib, QStringLiteral("SELECT COUNT(*) FROM TM_曲情報"
                                    " WHERE ジャンルID1 NOT IN (SELECT ID FROM TM_ジャンル_1)"
                                    " OR ジャンルID2 NOT IN (SELECT ID FROM TM_ジャンル_2)"
                                    " OR ジャンルID3 NOT IN (SELECT ID FROM TM_ジャンル_3)"
                                    " OR アーティストID NOT IN (SELECT ID FROM TM_アーティスト)"))
        .value(0, QStringLiteral("-1"))
        .toInt();
}

// A song's genre names and artist, "g1/g2/g3 artist" with "-" for
// "指定無し", as the song queries join them; "<missing>" when they lose it.
inline QString songNames(TempLibrary& lib, int id) {
    Recordset rs;
    if (!lib.db().adoGetData(Read::SongById, rs, QString::number(id)) || rs.Eof())
        return QStringLiteral("<missing>");
    QStringList names;
    for (const char* field : {"ジャンル1", "ジャンル2", "ジャンル3", "アーティスト名"})
        names << rs.text(QString::fromUtf8(field));
    names.replaceInStrings(QRegularExpression(QStringLiteral("^指定無し$")), QStringLiteral("-"));
    return names.mid(0, 3).join(u'/') + u' ' + names[3];
}

// Everything a name edit may change.
inline QStringList snapshot(TempLibrary& lib) {
    QStringList out;
    for (const char* table :
         {"TM_ジャンル_1", "TM_ジャンル_2", "TM_ジャンル_3", "TM_アーティスト", "TM_曲情報"})
        out +=
            rows(lib, QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(QString::fromUtf8(table)));
    return out;
}

// The first column of a list, combo box or tree's top level, top to bottom.
inline QStringList itemTexts(const QAbstractItemModel* model) {
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, 0).data().toString();
    return out;
}

// Each box shown, as "title|text".
inline QStringList shown(const ScriptedPresenter& presenter) {
    QStringList out;
    for (const ScriptedPresenter::Box& box : presenter.boxes())
        out << box.title + u'|' + box.text;
    return out;
}

} // namespace librarytest
