#include "songlist/like.h"

#include "base/textfold.h"

#include <QList>

#include <algorithm>

namespace {

// The code point at `i` and how many UTF-16 units it takes.
char32_t codePointAt(QStringView s, qsizetype i, qsizetype& length) {
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        length = 2;
        return QChar::surrogateToUcs4(c, s[i + 1]);
    }
    length = 1;
    return c.unicode();
}

} // namespace

LikePattern::LikePattern(const QString& pattern) {
    const QList<uint> p = text::fold(pattern).toUcs4();
    const qsizetype n = p.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = p[i];
        // A "[" without its "]" is a plain character.
        const qsizetype close = c == U'[' ? p.indexOf(U']', i + 1) : -1;
        if (c == U'*') {
            // A run of stars matches what one star matches.
            if (tokens_.empty() || tokens_.back().kind != Token::Star)
                tokens_.push_back({Token::Star});
        } else if (c == U'?') {
            tokens_.push_back({Token::Any});
        } else if (c == U'#') {
            tokens_.push_back({Token::Digit});
        } else if (close > i) {
            qsizetype first = i + 1;
            if (first == close) {
                i = close; // "[]": no character at all
                continue;
            }
            Token set{Token::Set};
            if (p[first] == U'!') {
                set.negated = true;
                ++first;
            }
            std::vector<Range> ranges;
            for (qsizetype k = first; k < close; ++k) {
                if (k + 2 < close && p[k + 1] == U'-') {
                    const char32_t a = p[k];
                    const char32_t b = p[k + 2];
                    ranges.push_back({std::min(a, b), std::max(a, b)});
                    k += 2;
                } else {
                    ranges.push_back({char32_t(p[k]), char32_t(p[k])});
                }
            }
            set.set = int(sets_.size());
            sets_.push_back(std::move(ranges));
            tokens_.push_back(set);
            i = close;
        } else {
            Token literal{Token::Literal};
            literal.ch = c;
            tokens_.push_back(literal);
        }
    }
    QString run;
    for (const Token& token : tokens_) {
        if (token.kind == Token::Literal) {
            run.append(QString::fromUcs4(&token.ch, 1));
        } else if (!run.isEmpty()) {
            runs_.push_back(run);
            run.clear();
        }
    }
    if (!run.isEmpty())
        runs_.push_back(run);
}

bool LikePattern::matchOne(const Token& token, char32_t c) const {
    switch (token.kind) {
    case Token::Literal:
        return c == token.ch;
    case Token::Any:
        return true;
    case Token::Digit:
        return c >= U'0' && c <= U'9';
    case Token::Set: {
        bool in = false;
        for (const Range& r : sets_[size_t(token.set)]) {
            if (c >= r.low && c <= r.high) {
                in = true;
                break;
            }
        }
        return in != token.negated;
    }
    case Token::Star:
        break;
    }
    return false;
}

bool LikePattern::matches(QStringView text) const {
    text::foldInto(text, folded_);
    return matchesFolded(folded_);
}

bool LikePattern::matchesFolded(QStringView text) const {
    for (const QString& run : runs_) {
        if (!text.contains(run))
            return false;
    }
    // Every token but "*" takes exactly one character, so going back to
    // the last star and letting it take one more character is enough.
    const size_t m = tokens_.size();
    const qsizetype n = text.size();
    size_t p = 0;
    qsizetype t = 0;
    size_t starToken = m; // none yet
    qsizetype starText = 0;
    while (t < n) {
        if (p < m && tokens_[p].kind == Token::Star) {
            starToken = p++;
            starText = t;
            continue;
        }
        qsizetype length = 1;
        const char32_t c = codePointAt(text, t, length);
        if (p < m && matchOne(tokens_[p], c)) {
            ++p;
            t += length;
            continue;
        }
        if (starToken == m)
            return false;
        codePointAt(text, starText, length);
        starText += length;
        t = starText;
        p = starToken + 1;
    }
    while (p < m && tokens_[p].kind == Token::Star)
        ++p;
    return p == m;
}

bool likeText(const QString& text, const QString& pattern) {
    return LikePattern(pattern).matches(text);
}
