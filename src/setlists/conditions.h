#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Recordset;

// The conditions of a set list as the editor holds them, the row that
// stores them for editing and the query that selects their songs.
namespace setlists {

enum class Kind { Unset, PlayCount, Priority, Genre, Artist, BreakOut, Trend, Album };

inline constexpr int kRows = 5;

QString caption(Kind kind);
// The kind of a caption; Unset for any other text.
Kind kindOf(const QString& caption);
bool isNumeric(Kind kind);

// The largest number a numeric condition takes.
int maximumOf(Kind kind);

inline const QString kAtLeast = QStringLiteral("以上");
inline const QString kAtMost = QStringLiteral("以下");
inline const QString kChecked = QStringLiteral("チェック有り");
inline const QString kUnchecked = QStringLiteral("チェック無し");

struct Condition {
    Kind kind = Kind::Unset;
    QString comparison = kAtLeast;        // numeric kinds
    QString value;                        // the number, or the chosen name or check
    QString join = QStringLiteral("and"); // "and" or "or", to the next row
};
using Conditions = std::array<Condition, kRows>;

// The number a numeric condition's text stands for: digits only (blanks
// around them aside), 0 to maximumOf(kind). Nothing for any other text.
// The number box and OK both judge by this.
std::optional<int> numberOf(Kind kind, const QString& text);
std::optional<int> numberOf(const Condition& condition);
// The first row whose number is not usable, or nothing.
std::optional<int> invalidRow(const Conditions& rows);

// The nineteen stored values after the name: Where, Cond, Val and the
// joint of each row (" or" with its blank; none after the fifth), empty
// for unset rows.
QStringList storedValues(const Conditions& rows);
// The INSERT of the conditions row, its values written as SQL literals.
QString conditionsInsert(const QString& name, const Conditions& rows);
// The SELECT of the set list's songs. Rows must hold valid numbers.
QString songQuery(const Conditions& rows);

// The conditions of a stored row (read 17). Kinds, comparisons and joints
// are trimmed; values are kept as stored, since a name may end in a blank.
Conditions fromStoredRow(const Recordset& row);

} // namespace setlists
