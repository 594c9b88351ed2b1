#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

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
    // The same on the row's searched cells as foldedCells gives them.
    bool matches(QStringView folded) const { return !active() || folded.contains(needle_); }
    // Appends the searched cells of row `id`, folded and joined, to `out`.
    void foldedCells(const RowStore& rows, int id, QString& out) const;

private:
    QString needle_; // folded
    QList<int> columns_;
    mutable QString folded_; // reused for each row
    mutable QString cells_;  // reused for each cell
};

// Each row's searched cells folded once, so that a text typed letter by
// letter tests a row with one search of prepared text.
class FoldedRows {
public:
    // The rows or the columns changed: every row is folded again.
    void clear();
    // Row `id` was rewritten.
    void forget(int id);
    QStringView of(const RowStore& rows, const RowFilter& filter, int id);

private:
    QString text_;
    std::vector<qsizetype> start_; // by id; -1 until folded
    std::vector<qsizetype> length_;
};
