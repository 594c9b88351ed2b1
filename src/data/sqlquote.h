#pragma once

#include <QString>

// The one place that writes a value into SQL text, for the rare SQL that
// must carry its values (stored views, the set-list editor's INSERT).
namespace sql {

// A text value as an SQL literal: 'it''s'.
QString quoteText(const QString& value);

// A table or view name as an SQL identifier: "Q_SetList_""x""".
QString quoteName(const QString& name);

} // namespace sql
