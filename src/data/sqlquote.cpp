#include "data/sqlquote.h"

namespace sql {

namespace {
QString quoted(const QString& s, QChar quote) {
    QString out;
    out.reserve(s.size() + 2);
    out += quote;
    for (QChar c : s) {
        // NUL would end the statement text early; nothing typed holds one.
        if (c.isNull())
            continue;
        if (c == quote)
            out += quote;
        out += c;
    }
    out += quote;
    return out;
}
} // namespace

QString quoteText(const QString& value) {
    return quoted(value, QLatin1Char('\''));
}

QString quoteName(const QString& name) {
    return quoted(name, QLatin1Char('"'));
}

} // namespace sql
