#include "data/recordset.h"

#include <algorithm>

void Recordset::close() {
    open_ = false;
    names_.clear();
    yesNo_.clear();
    values_.clear();
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

QVariant Recordset::Field(int column) const {
    if (Eof() || column < 0 || column >= names_.size())
        return QVariant();
    const QVariant& v = values_[qsizetype(current_) * names_.size() + column];
    if (yesNo_[column] && !v.isNull())
        return QVariant(v.toLongLong() != 0);
    return v;
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

void Recordset::finishRows() {
    rows_ = names_.isEmpty() ? 0 : int(values_.size() / names_.size());
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
