#include "songlist/songrows.h"

#include "base/textfold.h"
#include "base/utf8.h"
#include "data/displayitems.h"
#include "data/recordset.h"
#include "data/song.h"

#include <array>
#include <charconv>

namespace songrows {

namespace {

using displayitems::kItems;

// The cells of the display items follow Other in the items' order.
static_assert(int(Cell::Artist) - int(Cell::Other) == int(kItems.size()));

Cell cellOfItem(std::size_t item) {
    return Cell(int(Cell::Other) + 1 + int(item));
}

const QString kTrue = fieldText(QVariant(true));
const QString kFalse = fieldText(QVariant(false));

constexpr qsizetype kNumberUnits = 20; // a 64-bit number's sign and digits

// Writes the number's decimal digits at `out`; returns the end.
QChar* writeNumber(QChar* out, qint64 number) {
    char digits[kNumberUnits + 4];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (const char* d = digits; d < end; ++d)
        *out++ = QLatin1Char(*d);
    return out;
}

} // namespace

Cell cellOf(const QString& caption) {
    if (caption.isEmpty())
        return Cell::Skip;
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        if (text::equalsFolded(caption, QString::fromUtf16(kItems[i].name)))
            return cellOfItem(i);
    }
    return Cell::Other;
}

RowBuilder::RowBuilder(const QStringList& captions) {
    for (const QString& caption : captions) {
        const Cell cell = cellOf(caption);
        if (cell != Cell::Skip)
            cells_ << cell;
    }
}

void RowBuilder::resolveFields(const Recordset& row) {
    // Field positions are found once, not per row.
    for (Cell cell : cells_) {
        int field = -1;
        for (std::size_t i = 0; i < kItems.size(); ++i) {
            if (cellOfItem(i) == cell && kItems[i].field)
                field = row.fieldIndex(QString::fromUtf16(kItems[i].field));
        }
        fields_ << field;
    }
    id_ = row.fieldIndex(QStringLiteral("Id"));
    genres_[0] = row.fieldIndex(QStringLiteral("ジャンル1"));
    genres_[1] = row.fieldIndex(QStringLiteral("ジャンル2"));
    genres_[2] = row.fieldIndex(QStringLiteral("ジャンル3"));
    resolved_ = true;
}

void RowBuilder::appendUtf8(QByteArrayView bytes) {
    // Decoded in place; UTF-16 never needs more units than UTF-8 bytes.
    rows_.setEnd(utf8::decodeInto(rows_.room(bytes.size()), bytes));
}

void RowBuilder::appendField(const Recordset& row, int field) {
    const QByteArrayView bytes = row.utf8(field);
    qint64 number = 0;
    if (!bytes.isEmpty()) {
        appendUtf8(bytes);
    } else if (row.integer(field, number)) {
        // Written in place, as Recordset::text words them.
        if (row.isYesNo(field))
            rows_.append(number != 0 ? kTrue : kFalse);
        else
            rows_.setEnd(writeNumber(rows_.room(kNumberUnits), number));
    } else {
        rows_.append(row.text(field));
    }
}

bool RowBuilder::isNone(const Recordset& row, int field) {
    const QByteArrayView bytes = row.utf8(field);
    if (bytes.isEmpty())
        return isNone_(row.text(field));
    // Looked up in place; a name is copied only the first time it is met.
    const QByteArray name = QByteArray::fromRawData(bytes.data(), bytes.size());
    const auto found = noneBytes_.constFind(name);
    if (found != noneBytes_.constEnd())
        return *found;
    const bool none = isNone_(row.text(field));
    noneBytes_.insert(QByteArray(bytes.data(), bytes.size()), none);
    return none;
}

void RowBuilder::appendGenres(const Recordset& row) {
    songrecord::writeGenres(
        rows_, [&](int g) { return isNone(row, genres_[g]); },
        [&](int g) {
            const QByteArrayView bytes = row.utf8(genres_[g]);
            if (bytes.isEmpty())
                rows_.append(row.text(genres_[g]));
            else
                appendUtf8(bytes);
        });
}

void RowBuilder::add(const Recordset& row) {
    if (!resolved_)
        resolveFields(row);
    rows_.beginRow();
    qint64 id = 0;
    if (row.integer(id_, id))
        rows_.setEnd(songrecord::writeKey(rows_.room(songrecord::kKeyUnits), id));
    else
        rows_.append(songrecord::keyOf(row.text(id_)));
    rows_.append(RowStore::kCellEnd);
    for (int i = 0; i < cells_.size(); ++i) {
        if (cells_[i] == Cell::Genre)
            appendGenres(row);
        else if (fields_[i] >= 0)
            appendField(row, fields_[i]);
        rows_.append(RowStore::kCellEnd);
    }
    rows_.endRow();
}

RowStore RowBuilder::take() {
    return std::move(rows_);
}

QList<Cell> cellsOf(const QStringList& captions) {
    QList<Cell> cells;
    cells.reserve(captions.size());
    for (const QString& caption : captions)
        cells << cellOf(caption);
    return cells;
}

QStringList cellsOfSong(const Song& song, const QStringList& captions) {
    return cellsOfSong(song, cellsOf(captions));
}

QStringList cellsOfSong(const Song& song, const QList<Cell>& columns) {
    QStringList cells;
    cells.reserve(columns.size());
    for (const Cell column : columns) {
        switch (column) {
        case Cell::Count:
            cells << QString::number(song.Count());
            break;
        case Cell::Priority:
            cells << QString::number(song.Priority());
            break;
        case Cell::Volume:
            cells << QString::number(song.Volume());
            break;
        case Cell::Genre:
            cells << song.Janl();
            break;
        case Cell::Title:
            cells << song.Title();
            break;
        case Cell::FilePath:
            cells << song.FilePath();
            break;
        case Cell::BreakOut:
            cells << song.BreakOut();
            break;
        case Cell::Trend:
            cells << song.Trend();
            break;
        case Cell::Artist:
            cells << song.Artist();
            break;
        case Cell::Skip:
        case Cell::Other:
            cells << QString();
            break;
        }
    }
    return cells;
}

} // namespace songrows
