#pragma once

#include <QString>

#include <functional>

class QWidget;

// The page of the main window's web pane, as the window sees it. The
// engine behind it lives in a library of its own ("melodara_web", beside
// the executable), loaded the first time the pane opens: a user who never
// opens the pane never loads it. The interface is plain C++ so the library
// needs nothing of ours.
class Browser {
public:
    virtual ~Browser() = default;

    // The page's widget, owned by the parent the browser was created with.
    virtual QWidget* widget() = 0;

    // Opens an address as typed ("example.com" and local paths included).
    virtual void navigate(const QString& address) = 0;
    // Back and forward do nothing without history.
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void refresh() = 0;

    // Called with the address before every navigation, links and frames
    // included.
    std::function<void(const QString& address)> beforeNavigate;
};

namespace browser {

// The web library's entry point, by this name.
using Factory = Browser* (*)(QWidget* parent);
inline constexpr char kFactorySymbol[] = "melodara_createBrowser";

// Loads the library at `path` (a file, or a name without "lib" and ".so")
// and returns its factory; nullptr, with a warning logged, when it cannot.
Factory load(const QString& path);

// Creates a browser through the installed factory; the first call without
// one loads "melodara_web" from the executable's folder. nullptr when the
// library cannot be loaded.
Browser* create(QWidget* parent);

// Replaces the factory (tests load the library from the build tree).
void setFactory(Factory factory);

} // namespace browser
