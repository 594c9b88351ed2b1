#include "setlists/setlistsave.h"

#include "data/adoconnector.h"
#include "data/schema.h"

namespace setlists {

namespace {
// The writes of a save, inside the caller's transaction.
bool writeSetList(const QString& name, const Conditions& rows, QString& error) {
    if (!gConnector->adoSetData(45, {name}) ||
        !gConnector->adoSetData(46, {conditionsInsert(name, rows)}))
        return false;
    return gConnector->adoxCreateQuery(songQuery(rows), queryName(name), &error);
}
} // namespace

QString queryName(const QString& setListName) {
    return schema::setListQuery(setListName);
}

bool saveSetList(const QString& name, const Conditions& rows, QString& error) {
    error.clear();
    ADO_Connector::BulkWrite transaction(*gConnector);
    return writeSetList(name, rows, error) && transaction.commit();
}

bool updateSetList(const QString& oldName, const QString& name, const Conditions& rows,
                   QString& error) {
    error.clear();
    ADO_Connector::BulkWrite transaction(*gConnector);
    if (gConnector->queryExists(queryName(oldName)) &&
        !gConnector->adoSetData(42, {queryName(oldName)}))
        return false;
    return gConnector->adoSetData(44, {oldName}) && gConnector->adoSetData(43, {oldName}) &&
           writeSetList(name, rows, error) && transaction.commit();
}

bool rewriteConditions(const QString& name, const Conditions& rows, QString& error) {
    error.clear();
    ADO_Connector::BulkWrite transaction(*gConnector);
    if (gConnector->queryExists(queryName(name)) && !gConnector->adoSetData(42, {queryName(name)}))
        return false;
    return gConnector->adoSetData(44, {name}) &&
           gConnector->adoSetData(46, {conditionsInsert(name, rows)}) &&
           gConnector->adoxCreateQuery(songQuery(rows), queryName(name), &error) &&
           transaction.commit();
}

void deleteSetList(const QString& name) {
    gConnector->adoSetData(42, {queryName(name)});
    gConnector->adoSetData(43, {name});
    gConnector->adoSetData(44, {name});
}

} // namespace setlists
