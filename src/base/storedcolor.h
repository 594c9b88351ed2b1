#pragma once

#include <QColor>

// Colours as the settings store them: red + 256 x green + 65536 x blue.
// Bits above blue are ignored when read.
QColor storedColor(qint32 value);
qint32 storedValue(const QColor& color);
