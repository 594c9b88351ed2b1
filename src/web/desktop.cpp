#include "web/desktop.h"

#include <QDesktopServices>

namespace desktop {

namespace {
Opener& installed() {
    static Opener opener;
    return opener;
}
} // namespace

bool open(const QUrl& url) {
    return installed() ? installed()(url) : QDesktopServices::openUrl(url);
}

void setOpener(Opener opener) {
    installed() = std::move(opener);
}

} // namespace desktop
