#pragma once

#include "songlist/songlistmodel.h"

#include <QStringList>

// Song lists filled by hand, and read back in display order.
namespace listrows {

// Sets the columns, then rows Key_1, Key_2, ... with the given cells.
inline void fill(SongListModel& list, const QStringList& captions, const QList<QStringList>& rows) {
    list.setColumns(captions);
    std::vector<SongListItem> items;
    for (int i = 0; i < rows.size(); ++i)
        items.emplace_back(QStringLiteral("Key_%1").arg(i + 1), rows[i]);
    list.setItems(std::move(items));
}

// The keys in display order; a key whose own position disagrees is marked.
inline QStringList keys(const SongListModel& list) {
    QStringList out;
    for (int p = 0; p < list.count(); ++p)
        out << (list.position(list.keyAt(p)) == p
                    ? list.keyAt(p)
                    : QStringLiteral("<moved ") + list.keyAt(p) + QStringLiteral(">"));
    return out;
}

// The cells of one column in display order.
inline QStringList column(const SongListModel& list, int c) {
    QStringList out;
    for (int p = 0; p < list.count(); ++p)
        out << list.cell(list.keyAt(p), c);
    return out;
}

} // namespace listrows
