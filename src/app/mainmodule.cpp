#include "app/mainmodule.h"

#include "base/random.h"
#include "data/adoconnector.h"

#include <QDateTime>

#include <memory>

namespace {
std::unique_ptr<ADO_Connector> connector;
} // namespace

bool mdlMain_Init(const QString& databasePath) {
    connector = std::make_unique<ADO_Connector>(databasePath);
    gConnector = connector.get();
    seedSongRandom(quint32(QDateTime::currentMSecsSinceEpoch()));
    return true;
}

bool mdlMain_Term() {
    gConnector = nullptr;
    connector.reset();
    return true;
}
