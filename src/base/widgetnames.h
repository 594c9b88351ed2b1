#pragma once

#include <QAnyStringView>
#include <QString>

// Controls carry their names as object names, so the rest of the program
// and the tests find them by the names the program uses. A name may be a
// plain literal: names are ASCII, so no encoding needs saying.
template <typename T> T* named(T* widget, QAnyStringView name) {
    widget->setObjectName(name);
    return widget;
}

// The name of element `index` of a control array, e.g. "cboCond(2)".
inline QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}
