#include "base/windowplace.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QPoint windowPlace(const QRect& wanted, const QList<QRect>& screens, const QRect& home) {
    const bool shown = std::any_of(screens.begin(), screens.end(),
                                   [&](const QRect& screen) { return screen.intersects(wanted); });
    if (shown)
        return wanted.topLeft();
    return {home.x() + home.width() / 2 - wanted.width() / 2,
            home.y() + home.height() / 2 - wanted.height() / 2};
}

QList<QRect> screenGeometries() {
    QList<QRect> out;
    for (const QScreen* screen : QGuiApplication::screens())
        out << screen->geometry();
    return out;
}
