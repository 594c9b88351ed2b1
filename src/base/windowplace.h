#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// Where a window goes: at the top left of `wanted` when one of `screens`
// shows some of it, else centred on `home` (the screen it opens on). A
// place stored before a screen was removed must not leave the window out
// of reach.
QPoint windowPlace(const QRect& wanted, const QList<QRect>& screens, const QRect& home);

// The geometries of the screens at hand.
QList<QRect> screenGeometries();
