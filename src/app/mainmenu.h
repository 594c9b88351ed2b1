#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenuBar;

// Builds the main window's menu bar: every menu and item under its own
// name, with captions, access keys, shortcuts and separators. Returns the
// items by name.
QHash<QString, QAction*> buildMainMenu(QMenuBar& bar);
