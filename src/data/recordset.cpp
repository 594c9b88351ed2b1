#include "data/recordset.h"

#include <algorithm>
#include <cstring>

void Recordset::close() {
    open_ = false;
    names_.clear();
    yesNo_.clear();
    cells_ = {};
    text_ = {};
    rows_ = 0;
    current_ = 0;
}

void Recordset::MoveNext() {
    if (current_ < rows_)
        ++current_;
}

void Recordset::Move(int offset) {
    current_ = std::clamp(current_ + offset, 0, rows_);
}

int Recordset::columnOf(const QString& name) const {
    // A handful of columns: a scan beats hashing a folded copy per access,
    // and the first of two columns of one name wins.
    for (int i = 0; i < names_.size(); ++i) {
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const Recordset::Cell* Recordset::cellAt(int column) const {
    if (Eof() || column < 0 || column >= names_.size())
        return nullptr;
    return &cells_[size_t(current_) * size_t(names_.size()) + size_t(column)];
}

QVariant Recordset::Field(int column) const {
    const Cell* cell = cellAt(column);
    if (!cell)
        return QVariant();
    if (yesNo_[column] && cell->type != Cell::Null)
        return QVariant(value(*cell).toLongLong() != 0);
    return value(*cell);
}

QString Recordset::text(int column) const {
    const Cell* cell = cellAt(column);
    if (!cell)
        return QString();
    if (cell->type == Cell::Text && !yesNo_[column])
        return QString::fromUtf8(text_.data() + cell->payload, qsizetype(cell->size));
    return fieldText(Field(column));
}

bool Recordset::integer(int column, qint64& value) const {
    const Cell* cell = cellAt(column);
    if (!cell || cell->type != Cell::Integer)
        return false;
    value = cell->payload;
    return true;
}

QByteArrayView Recordset::utf8(int column) const {
    const Cell* cell = cellAt(column);
    if (!cell || cell->type != Cell::Text)
        return {};
    return QByteArrayView(text_.data() + cell->payload, qsizetype(cell->size));
}

QVariant Recordset::value(const Cell& cell) const {
    switch (cell.type) {
    case Cell::Null:
        break;
    case Cell::Integer:
        return QVariant(qlonglong(cell.payload));
    case Cell::Real: {
        double d;
        std::memcpy(&d, &cell.payload, sizeof d);
        return QVariant(d);
    }
    case Cell::Text:
        return QVariant(QString::fromUtf8(text_.data() + cell.payload, qsizetype(cell.size)));
    }
    return QVariant();
}

void Recordset::appendReal(double v) {
    Cell cell{Cell::Real, 0, 0};
    std::memcpy(&cell.payload, &v, sizeof v);
    cells_.push_back(cell);
}

void Recordset::appendText(const char* utf8, int size) {
    cells_.push_back({Cell::Text, quint32(size), qint64(text_.size())});
    text_.append(utf8, size_t(size));
}

QVariant Recordset::Field(const QString& name) const {
    return Field(columnOf(name));
}

QString Recordset::text(const QString& name) const {
    return fieldText(Field(name));
}

void Recordset::reset(const QStringList& names, const QList<bool>& yesNo) {
    close();
    names_ = names;
    yesNo_ = yesNo;
}

void Recordset::clearRows() {
    cells_.clear();
    text_.clear();
    rows_ = 0;
    current_ = 0;
}

void Recordset::finishRows() {
    rows_ = names_.isEmpty() ? 0 : int(cells_.size() / size_t(names_.size()));
    current_ = 0;
    open_ = true;
}

QString fieldText(const QVariant& value) {
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}
