#pragma once

#include "setlists/conditions.h"

// Writing set lists: the set-list row, its conditions row and its query
// always change together.
namespace setlists {

// The stored query of a set list.
QString queryName(const QString& setListName);

// Adds set list `name`. All or nothing: false when a write fails (the
// connector has shown why) or the query cannot be made (`error` says why).
bool saveSetList(const QString& name, const Conditions& rows, QString& error);

// Replaces set list `oldName` by `name` with `rows`, all or nothing; an
// old query that is already missing is not an error.
bool updateSetList(const QString& oldName, const QString& name, const Conditions& rows,
                   QString& error);

// Replaces the conditions of set list `name` and makes its query again
// from them, all or nothing; its row (selection, place) stays.
bool rewriteConditions(const QString& name, const Conditions& rows, QString& error);

// Removes the query, the set-list row and the conditions row, each on its
// own, so a set list whose query is missing can still be removed.
void deleteSetList(const QString& name);

} // namespace setlists
