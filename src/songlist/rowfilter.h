#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class RowStore;

// The rows a typed text shows in a song list: those whose title, artist or
// genre holds it, compared ignoring case and width (kana as they are).
// An empty text shows every row.
class RowFilter {
public:
    RowFilter() = default;
    explicit RowFilter(const QString& text);

    // The columns searched, found by caption among the list's columns.
    void setColumns(const QStringList& captions);

    bool active() const { return !needle_.isEmpty(); }
    // Every row this filter shows is shown by `wider` too: the typed text
    // grew from wider's, so only the rows shown now need testing again.
    bool narrows(const RowFilter& wider) const;
    bool matches(const RowStore& rows, int id) const;

private:
    QString needle_;   // folded
    QList<int> columns_;
    mutable QString folded_; // reused for each cell
};
