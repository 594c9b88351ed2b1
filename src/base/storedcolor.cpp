#include "base/storedcolor.h"

QColor storedColor(qint32 value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 storedValue(const QColor& color) {
    return color.red() + 256 * color.green() + 65536 * color.blue();
}
