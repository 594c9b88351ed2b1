#pragma once

#include <QUrl>

#include <functional>

// Opening files and addresses with the program the desktop associates with
// them, behind a seam so tests see what would be opened instead of
// starting programs.
namespace desktop {

// True when a program was started for it; false when the desktop has none.
bool open(const QUrl& url);

// Replaces how things are opened; an empty opener restores the desktop's.
using Opener = std::function<bool(const QUrl&)>;
void setOpener(Opener opener);

} // namespace desktop
