#pragma once

#include <QString>

#include <vector>

// The wildcard comparison of the song search, ignoring letter case and
// the full-width/half-width difference:
//   ?        any one character
//   *        any run of characters, the empty run included
//   #        one digit 0-9
//   [list]   one character of the list; "a-f" in a list is a range
//   [!list]  one character not in the list
// Inside brackets "*", "?" and "#" stand for themselves, and a "-" first
// or last in the list is a plain "-". "[]" matches nothing (no character);
// a "[" without its "]" is a plain "[". Both texts are folded first, so
// full-width wildcard characters act as wildcards too.
class LikePattern {
public:
    explicit LikePattern(const QString& pattern);

    // Not to be called from two threads at once: it folds into a buffer
    // of its own, so a walk over many texts allocates nothing.
    bool matches(QStringView text) const;

private:
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct Token {
        enum Kind { Literal, Any, Digit, Set, Star } kind;
        char32_t ch = 0; // Literal
        int set = -1;    // Set: index into sets_
        bool negated = false;
    };

    bool matchOne(const Token& token, char32_t c) const;
    bool matchesFolded(QStringView text) const;

    std::vector<Token> tokens_;
    std::vector<std::vector<Range>> sets_;
    // Runs of plain characters the pattern holds: a text without one of
    // them cannot match, which rules most texts out at once.
    std::vector<QString> runs_;
    mutable QString folded_;
};

// `text` matches the whole of `pattern`.
bool likeText(const QString& text, const QString& pattern);
