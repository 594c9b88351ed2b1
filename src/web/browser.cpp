#include "web/browser.h"

#include "base/programfolders.h"

#include <QLibrary>

namespace browser {

namespace {

Factory& installed() {
    static Factory factory = nullptr;
    return factory;
}

} // namespace

Factory load(const QString& path) {
    // The library stays loaded for the life of the process: its pages may
    // live as long as the window.
    QLibrary library(path);
    auto factory = reinterpret_cast<Factory>(library.resolve(kFactorySymbol));
    if (!factory)
        qWarning("The web pane cannot be shown: %s", qPrintable(library.errorString()));
    return factory;
}

Browser* create(QWidget* parent) {
    if (!installed())
        installed() = load(programfolders::current().modules + QStringLiteral("/melodara_web"));
    return installed() ? installed()(parent) : nullptr;
}

void setFactory(Factory factory) {
    installed() = factory;
}

} // namespace browser
