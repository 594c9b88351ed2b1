// Linked into every test: the tests write their settings, Qt's own (the
// file dialog's) included, into the test folders of QStandardPaths, never
// into the user's configuration. Set before any test code runs.

#include <QStandardPaths>
#include <QtGlobal>

namespace {
void enableTestMode() {
    QStandardPaths::setTestModeEnabled(true);
}
} // namespace

Q_CONSTRUCTOR_FUNCTION(enableTestMode)
