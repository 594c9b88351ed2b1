#pragma once

#include "base/largememory.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Text form of a field value as the program shows it: "" for Null,
// "True"/"False" for Yes/No, numbers in decimal.
QString fieldText(const QVariant& value);

// A read-only snapshot of a query's rows with a current-row cursor, read
// by column name. Names are matched ignoring case ("ID" and "Id" are one
// column). A Null field reads as an invalid QVariant, distinct from empty
// text; Yes/No columns read as bool.
class Recordset {
public:
    bool isOpen() const { return open_; }
    void close();

    bool Eof() const { return !open_ || current_ >= rows_; }
    bool Bof() const { return !open_ || rows_ == 0; }
    int RecordCount() const { return open_ ? rows_ : -1; }
    void MoveFirst() { current_ = 0; }
    void MoveNext();
    // Moves `offset` rows from the current one, stopping at either end.
    void Move(int offset);
    int position() const { return current_; }

    int fieldCount() const { return int(names_.size()); }
    QString fieldName(int column) const { return names_.value(column); }
    bool hasField(const QString& name) const { return columnOf(name) >= 0; }
    // The column of `name`, or -1; for reading many rows by position.
    int fieldIndex(const QString& name) const { return columnOf(name); }

    // The field of the current row; an invalid QVariant for Null, an
    // unknown name or no current row.
    QVariant Field(const QString& name) const;
    QVariant Field(int column) const;
    bool isNull(const QString& name) const { return Field(name).isNull(); }
    // The field as text: "" for Null, "True"/"False" for Yes/No columns.
    QString text(const QString& name) const;
    QString text(int column) const;
    // The UTF-8 bytes of a text field, valid while the recordset is;
    // empty for any other field. For reading many rows cheaply.
    QByteArrayView utf8(int column) const;
    // True with the value when the field holds an integer.
    bool integer(int column, qint64& value) const;
    // Whether the column is a Yes/No one, read as bool.
    bool isYesNo(int column) const { return yesNo_.value(column); }

    // Filled by the connector, row by row, one append per column.
    void reset(const QStringList& names, const QList<bool>& yesNo);
    void appendNull() { cells_.push_back({Cell::Null, 0, 0}); }
    void appendInteger(qint64 v) { cells_.push_back({Cell::Integer, 0, v}); }
    void appendReal(double v);
    void appendText(const char* utf8, int size);
    void finishRows();
    void clearRows(); // keeps the columns and the memory

private:
    // Cells are kept compact and turned into QVariants only when read: a
    // 100,000-song list is read once, and one QString per cell would cost
    // more than the query itself.
    struct Cell {
        enum Type : quint8 { Null, Integer, Real, Text } type;
        quint32 size;   // text: UTF-8 bytes
        qint64 payload; // integer; real's bits; text: offset into text_
    };
    int columnOf(const QString& name) const;
    const Cell* cellAt(int column) const;
    QVariant value(const Cell& cell) const;

    bool open_ = false;
    QStringList names_;
    QList<bool> yesNo_;
    // A list's rows are appended a million cells at a time: arrays whose
    // appends are the cheapest there are and that grow without copying.
    largememory::Array<Cell> cells_; // row-major
    largememory::Array<char> text_;
    int rows_ = 0;
    int current_ = 0;
};
