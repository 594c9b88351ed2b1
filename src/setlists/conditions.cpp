#include "setlists/conditions.h"

#include "data/recordset.h"
#include "data/schema.h"
#include "data/sqlquote.h"

namespace setlists {

namespace {

// The query fragment of one condition.
QString fragment(const Condition& c) {
    const QString column = QString::fromUtf16(infoOf(c.kind).column);
    switch (infoOf(c.kind).operand) {
    case Operand::Number:
        return u' ' + column + u' ' +
               (c.comparison == kAtMost ? QStringLiteral("<=") : QStringLiteral(">=")) +
               QString::number(numberOf(c).value_or(0));
    case Operand::Name:
        return u' ' + column + QStringLiteral(" = ") + sql::quoteText(c.value);
    case Operand::Check:
        return u' ' + column + u' ' +
               (c.value == kUnchecked ? QStringLiteral("<>") : QStringLiteral("=")) +
               QStringLiteral("TRUE");
    case Operand::None:
    case Operand::Album:
        break;
    }
    return QString();
}

bool isSet(const Conditions& rows, int i) {
    return i < kRows && rows[size_t(i)].kind != Kind::Unset;
}

} // namespace

const KindInfo& infoOf(Kind kind) {
    for (const KindInfo& k : kKinds) {
        if (k.kind == kind)
            return k;
    }
    return kKinds[0];
}

QString caption(Kind kind) {
    return QString::fromUtf16(infoOf(kind).caption);
}

Kind kindOf(const QString& text) {
    for (const KindInfo& k : kKinds) {
        if (text == QString::fromUtf16(k.caption))
            return k.kind;
    }
    return Kind::Unset;
}

bool isNumeric(Kind kind) {
    return infoOf(kind).operand == Operand::Number;
}

int maximumOf(Kind kind) {
    return infoOf(kind).maximum;
}

std::optional<int> numberOf(Kind kind, const QString& value) {
    const QString text = value.trimmed();
    bool ok = false;
    const int n = text.toInt(&ok);
    // Digits only: no sign, no spaces inside, no other notation.
    for (QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            ok = false;
    }
    if (!ok || n < 0 || n > maximumOf(kind))
        return std::nullopt;
    return n;
}

std::optional<int> numberOf(const Condition& c) {
    return numberOf(c.kind, c.value);
}

std::optional<int> invalidRow(const Conditions& rows) {
    for (int i = 0; i < kRows; ++i) {
        const Condition& c = rows[size_t(i)];
        if (c.kind == Kind::Album)
            break;
        if (isNumeric(c.kind) && !numberOf(c))
            return i;
    }
    return std::nullopt;
}

QStringList storedValues(const Conditions& rows) {
    QStringList values;
    for (int i = 0; i < kRows; ++i) {
        const Condition& c = rows[size_t(i)];
        if (c.kind == Kind::Album) {
            values << caption(Kind::Album) << QStringLiteral("=") << c.value;
            while (values.size() < 19)
                values << QString();
            break;
        }
        if (c.kind == Kind::Unset) {
            values << QString() << QString() << QString();
        } else if (isNumeric(c.kind)) {
            values << caption(c.kind) << c.comparison << c.value;
        } else {
            values << caption(c.kind) << QStringLiteral("=") << c.value;
        }
        if (i < kRows - 1) {
            if (c.kind != Kind::Unset && isSet(rows, i + 1))
                values << (c.join == u"or" ? QStringLiteral(" or") : QStringLiteral("and"));
            else
                values << QString();
        }
    }
    return values;
}

QString conditionsInsert(const QString& name, const Conditions& rows) {
    QString text = QStringLiteral(
        " INSERT INTO TM_セットリスト条件 ( セットリスト名, Where_1, Cond_1, Val_1, Oper_1,"
        " Where_2, Cond_2, Val_2, Oper_2, Where_3, Cond_3, Val_3, Oper_3, Where_4, Cond_4,"
        " Val_4, Oper_4, Where_5, Cond_5, Val_5 )  Values(");
    QStringList literals = {sql::quoteText(name)};
    for (const QString& v : storedValues(rows))
        literals << sql::quoteText(v);
    return text + literals.join(u',') + u')';
}

QString songQuery(const Conditions& rows) {
    const QString source =
        schema::songColumns() + QStringLiteral(" FROM (") + schema::songSource() + u')';
    const Condition& first = rows[0];
    if (first.kind == Kind::Album)
        return source +
               QStringLiteral(" INNER JOIN TM_アルバム AS Album ON song.ID = Album.曲ID"
                              " WHERE Album.アルバム名 = ") +
               sql::quoteText(first.value);
    QString where = QStringLiteral(" WHERE ");
    for (int i = 0; i < kRows && isSet(rows, i); ++i) {
        where += fragment(rows[size_t(i)]);
        if (isSet(rows, i + 1))
            where +=
                rows[size_t(i)].join == u"or" ? QStringLiteral(" or  ") : QStringLiteral(" and ");
    }
    return source + where;
}

Conditions fromStoredRow(const Recordset& row) {
    Conditions rows;
    for (int i = 0; i < kRows; ++i) {
        const QString n = QString::number(i + 1);
        Condition& c = rows[size_t(i)];
        c.kind = kindOf(row.text(QStringLiteral("Where_") + n).trimmed());
        const QString cond = row.text(QStringLiteral("Cond_") + n).trimmed();
        c.value = row.text(QStringLiteral("Val_") + n);
        if (isNumeric(c.kind))
            c.comparison = cond;
        const QString join = row.text(QStringLiteral("Oper_") + n).trimmed();
        c.join = join.isEmpty() ? QStringLiteral("and") : join;
    }
    return rows;
}

} // namespace setlists
