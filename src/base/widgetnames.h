#pragma once

#include <QString>

// Controls carry their names as object names, so the rest of the program
// and the tests find them by the names the program uses.
template <typename T> T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
template <typename T> T* named(T* widget, const char* name) {
    return named(widget, QString::fromLatin1(name));
}

// The name of element `index` of a control array, e.g. "cboCond(2)".
inline QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}
