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

// What a condition of a kind compares its column with.
enum class Operand { None, Album, Number, Name, Check };

// Which rows of the editor offer a kind.
enum class Offered { LaterRows, FirstRowWithAlbums, EveryRow };

// All that is known of one kind.
struct KindInfo {
    Kind kind;
    const char16_t* caption;
    const char16_t* column; // the query's column, or null
    Operand operand;
    int maximum; // the largest number a numeric condition takes
    Offered offered;
};

// The kinds in the order the editor offers them.
inline constexpr std::array<KindInfo, 8> kKinds = {{
    {Kind::Unset, u"未設定", nullptr, Operand::None, 0, Offered::LaterRows},
    {Kind::Album, u"アルバムが...", nullptr, Operand::Album, 0, Offered::FirstRowWithAlbums},
    {Kind::PlayCount, u"再生カウントが...", u"song.カウント", Operand::Number, 999999,
     Offered::EveryRow},
    {Kind::Priority, u"優先度が...", u"song.優先度", Operand::Number, 100, Offered::EveryRow},
    {Kind::Genre, u"ジャンルが...", u"janl1.ジャンル名", Operand::Name, 0, Offered::EveryRow},
    {Kind::Artist, u"アーティストが...", u"art.アーティスト名", Operand::Name, 0,
     Offered::EveryRow},
    {Kind::BreakOut, u"ブレークアウトが...", u"song.ブレークアウト", Operand::Check, 0,
     Offered::EveryRow},
    {Kind::Trend, u"トレンドが...", u"song.トレンド", Operand::Check, 0, Offered::EveryRow},
}};

const KindInfo& infoOf(Kind kind);

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
