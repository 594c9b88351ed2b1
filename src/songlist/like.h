#pragma once

#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

// The wildcard comparison of the song search, ignoring letter case and
// the full-width/half-width difference:
//   ?        any one character
//   *        any run of characters, the empty run included
//   #        one digit 0-9
//   [list]   one character of the list; "a-f" in a list is a range
//   [!list]  one character not in the list
// Only the half-width characters ? * # [ ] ! - have these meanings: the
// pattern is parsed first and only its plain parts are folded, so "［Live］"
// looks for the text "[live]". Inside brackets "*", "?" and "#" stand for
// themselves, and a "-" first or last in the list is a plain "-". "[]"
// matches nothing (no character); a "[" without its "]" is a plain "[".
//
// The pattern is compiled once: each list into sorted ranges, and what
// every pattern character accepts into one bit mask per text character
// met, so a text is compared in time that grows with its length and not
// with the pattern's (bit-parallel, between the stars).
class LikePattern {
public:
    explicit LikePattern(const QString& pattern);

    // Not to be called from two threads at once: it folds into buffers
    // of its own and learns the masks of the characters it meets.
    bool matches(QStringView text) const;

private:
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct CharSet {
        std::vector<Range> ranges; // sorted, not overlapping
        bool negated = false;
        bool contains(char32_t c) const;
    };
    struct Token {
        enum Kind { Literal, Any, Digit, Set } kind;
        char32_t ch = 0; // Literal
        int set = -1;    // Set: index into sets_
    };
    // The tokens between two stars: [first, first + count).
    struct Segment {
        int first;
        int count;
    };

    void addLiterals(const QString& plain);
    bool accepts(const Token& token, char32_t c) const;
    // Bit t of the mask says whether token t accepts `c`.
    const std::uint64_t* maskOf(char32_t c) const;
    bool tokenAccepts(int token, char32_t c) const {
        return (maskOf(c)[token / 64] >> (token % 64)) & 1;
    }
    // Whether the segment matches the text at `at` exactly.
    bool matchesAt(const Segment& s, qsizetype at) const;
    // The end of the leftmost match of the segment at or after `from`; -1
    // when there is none.
    qsizetype find(const Segment& s, qsizetype from) const;

    std::vector<Token> tokens_;
    std::vector<CharSet> sets_;
    std::vector<Segment> segments_;
    bool starFirst_ = false; // the pattern begins with "*"
    bool starLast_ = false;  // the pattern ends with "*"
    bool hasStar_ = false;
    // The longest runs of plain characters: a text without one of them
    // cannot match, which rules most texts out at once.
    std::vector<QString> runs_;
    int words_ = 0; // 64-bit words of one mask

    mutable QString folded_;
    mutable std::vector<char32_t> text_;
    mutable std::vector<std::uint64_t> state_;
    mutable std::vector<std::uint64_t> masks_;
    mutable std::vector<std::int32_t> bmpMask_; // index into masks_ / words_, -1 unknown
    mutable std::unordered_map<char32_t, std::int32_t> otherMask_;
};

// `text` matches the whole of `pattern`.
bool likeText(const QString& text, const QString& pattern);
