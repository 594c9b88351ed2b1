#include "setlists/setlistsave.h"

#include "data/adoconnector.h"
#include "data/schema.h"

namespace setlists {

namespace {
// The writes of a save, inside the caller's transaction.
bool writeSetList(const QString& name, const Conditions& rows, QString& error) {
    if (!gConnector->adoSetData(Write::AddSetList, {name}) ||
        !gConnector->adoSetData(Write::RunSql, {conditionsInsert(name, rows)}))
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
        !gConnector->adoSetData(Write::DropQuery, {queryName(oldName)}))
        return false;
    return gConnector->adoSetData(Write::DeleteConditions, {oldName}) &&
           gConnector->adoSetData(Write::DeleteSetList, {oldName}) &&
           writeSetList(name, rows, error) && transaction.commit();
}

bool rewriteConditions(const QString& name, const Conditions& rows, QString& error) {
    error.clear();
    ADO_Connector::BulkWrite transaction(*gConnector);
    if (gConnector->queryExists(queryName(name)) &&
        !gConnector->adoSetData(Write::DropQuery, {queryName(name)}))
        return false;
    return gConnector->adoSetData(Write::DeleteConditions, {name}) &&
           gConnector->adoSetData(Write::RunSql, {conditionsInsert(name, rows)}) &&
           gConnector->adoxCreateQuery(songQuery(rows), queryName(name), &error) &&
           transaction.commit();
}

void deleteSetList(const QString& name) {
    gConnector->adoSetData(Write::DropQuery, {queryName(name)});
    gConnector->adoSetData(Write::DeleteSetList, {name});
    gConnector->adoSetData(Write::DeleteConditions, {name});
}

} // namespace setlists
