#include "songlist/like.h"

#include "base/textfold.h"

#include <QList>

#include <algorithm>

namespace {

// Runs of plain characters checked before a text is compared: the longest
// ones say the most, and each costs a scan of the text.
constexpr size_t kRunsChecked = 3;

// A list's character as the folded texts hold it; one that folds into
// several characters is kept as it is.
char32_t foldOne(char32_t c) {
    const QList<uint> folded = text::fold(QString::fromUcs4(&c, 1)).toUcs4();
    return folded.size() == 1 ? char32_t(folded[0]) : c;
}

} // namespace

bool LikePattern::CharSet::contains(char32_t c) const {
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), c,
                                        [](char32_t v, const Range& r) { return v < r.low; });
    const bool in = after != ranges.begin() && c <= std::prev(after)->high;
    return in != negated;
}

LikePattern::LikePattern(const QString& pattern) {
    const QList<uint> p = pattern.toUcs4();
    const qsizetype n = p.size();
    QString plain; // plain characters not yet folded into tokens
    int segmentStart = 0;
    bool starLast = false;
    const auto flushPlain = [&] {
        const size_t before = tokens_.size();
        addLiterals(plain);
        plain.clear();
        if (tokens_.size() != before)
            starLast = false;
    };
    const auto push = [&](const Token& token) {
        flushPlain();
        tokens_.push_back(token);
        starLast = false;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = p[i];
        // A "[" without its "]" is a plain character.
        const qsizetype close = c == U'[' ? p.indexOf(U']', i + 1) : -1;
        if (c == U'*') {
            flushPlain();
            if (tokens_.empty())
                starFirst_ = true;
            hasStar_ = true;
            starLast = true;
            const int count = int(tokens_.size()) - segmentStart;
            if (count > 0)
                segments_.push_back({segmentStart, count});
            segmentStart = int(tokens_.size());
        } else if (c == U'?') {
            push({Token::Any});
        } else if (c == U'#') {
            push({Token::Digit});
        } else if (close > i) {
            qsizetype first = i + 1;
            i = close;
            if (first == close)
                continue; // "[]": no character at all
            CharSet set;
            if (p[first] == U'!') {
                set.negated = true;
                ++first;
            }
            for (qsizetype k = first; k < close; ++k) {
                if (k + 2 < close && p[k + 1] == U'-') {
                    const char32_t a = foldOne(p[k]);
                    const char32_t b = foldOne(p[k + 2]);
                    set.ranges.push_back({std::min(a, b), std::max(a, b)});
                    k += 2;
                } else {
                    const char32_t one = foldOne(p[k]);
                    set.ranges.push_back({one, one});
                }
            }
            // Sorted and merged, so a character is looked up by halving.
            std::sort(set.ranges.begin(), set.ranges.end(),
                      [](const Range& a, const Range& b) { return a.low < b.low; });
            std::vector<Range> merged;
            for (const Range& r : set.ranges) {
                if (!merged.empty() && r.low <= merged.back().high + 1)
                    merged.back().high = std::max(merged.back().high, r.high);
                else
                    merged.push_back(r);
            }
            set.ranges = std::move(merged);
            Token token{Token::Set};
            token.set = int(sets_.size());
            sets_.push_back(std::move(set));
            push(token);
        } else {
            plain.append(QString::fromUcs4(&c, 1));
        }
    }
    flushPlain();
    starLast_ = starLast;
    const int count = int(tokens_.size()) - segmentStart;
    if (count > 0)
        segments_.push_back({segmentStart, count});
    words_ = int((tokens_.size() + 63) / 64);

    for (const Segment& s : segments_) {
        QString run;
        for (int t = s.first; t <= s.first + s.count; ++t) {
            if (t < s.first + s.count && tokens_[size_t(t)].kind == Token::Literal) {
                run.append(QString::fromUcs4(&tokens_[size_t(t)].ch, 1));
            } else if (!run.isEmpty()) {
                runs_.push_back(run);
                run.clear();
            }
        }
    }
    std::stable_sort(runs_.begin(), runs_.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    if (runs_.size() > kRunsChecked)
        runs_.resize(kRunsChecked);
}

void LikePattern::addLiterals(const QString& plain) {
    if (plain.isEmpty())
        return;
    // A run is folded whole, so marks fold onto the kana before them.
    for (uint c : text::fold(plain).toUcs4()) {
        Token literal{Token::Literal};
        literal.ch = c;
        tokens_.push_back(literal);
    }
}

bool LikePattern::accepts(const Token& token, char32_t c) const {
    switch (token.kind) {
    case Token::Literal:
        return c == token.ch;
    case Token::Any:
        return true;
    case Token::Digit:
        return c >= U'0' && c <= U'9';
    case Token::Set:
        return sets_[size_t(token.set)].contains(c);
    }
    return false;
}

const std::uint64_t* LikePattern::maskOf(char32_t c) const {
    std::int32_t* slot;
    if (c < 0x10000) {
        if (bmpMask_.empty())
            bmpMask_.assign(0x10000, -1);
        slot = &bmpMask_[c];
    } else {
        slot = &otherMask_.try_emplace(c, -1).first->second;
    }
    if (*slot < 0) {
        *slot = std::int32_t(masks_.size() / size_t(words_));
        masks_.resize(masks_.size() + size_t(words_), 0);
        std::uint64_t* mask = masks_.data() + size_t(*slot) * size_t(words_);
        for (size_t t = 0; t < tokens_.size(); ++t) {
            if (accepts(tokens_[t], c))
                mask[t / 64] |= std::uint64_t(1) << (t % 64);
        }
    }
    return masks_.data() + size_t(*slot) * size_t(words_);
}

bool LikePattern::matchesAt(const Segment& s, qsizetype at) const {
    for (int k = 0; k < s.count; ++k) {
        if (!tokenAccepts(s.first + k, text_[size_t(at + k)]))
            return false;
    }
    return true;
}

qsizetype LikePattern::find(const Segment& s, qsizetype from) const {
    // Bit t of the state: the segment's tokens up to t match the text
    // ending at the current character.
    const int first = s.first;
    const int last = s.first + s.count - 1;
    const int w0 = first / 64;
    const int w1 = last / 64;
    const std::uint64_t start = std::uint64_t(1) << (first % 64);
    const std::uint64_t done = std::uint64_t(1) << (last % 64);
    state_.assign(size_t(words_), 0);
    std::uint64_t* state = state_.data();
    const qsizetype n = qsizetype(text_.size());
    for (qsizetype j = from; j < n; ++j) {
        const std::uint64_t* mask = maskOf(text_[size_t(j)]);
        std::uint64_t carry = 0;
        for (int w = w0; w <= w1; ++w) {
            const std::uint64_t next = carry;
            carry = state[w] >> 63;
            state[w] = ((state[w] << 1) | next | (w == w0 ? start : 0)) & mask[w];
        }
        if (state[w1] & done)
            return j + 1;
    }
    return -1;
}

bool LikePattern::matches(QStringView text) const {
    text::foldInto(text, folded_);
    for (const QString& run : runs_) {
        if (!QStringView(folded_).contains(run))
            return false;
    }
    text_.clear();
    for (qsizetype i = 0; i < folded_.size(); ++i) {
        const QChar c = folded_[i];
        if (c.isHighSurrogate() && i + 1 < folded_.size() && folded_[i + 1].isLowSurrogate()) {
            text_.push_back(QChar::surrogateToUcs4(c, folded_[i + 1]));
            ++i;
        } else {
            text_.push_back(c.unicode());
        }
    }
    const qsizetype n = qsizetype(text_.size());
    // Every token takes exactly one character.
    if (qsizetype(tokens_.size()) > n)
        return false;
    if (!hasStar_)
        return qsizetype(tokens_.size()) == n && (segments_.empty() || matchesAt(segments_[0], 0));

    // Between stars the leftmost place of each segment leaves the most
    // room for the rest, so no place needs to be tried again.
    size_t first = 0;
    size_t end = segments_.size();
    qsizetype at = 0;
    if (!starFirst_) {
        if (!matchesAt(segments_[0], 0))
            return false;
        at = segments_[0].count;
        first = 1;
    }
    if (!starLast_)
        --end;
    for (size_t i = first; i < end; ++i) {
        at = find(segments_[i], at);
        if (at < 0)
            return false;
    }
    if (starLast_)
        return true;
    const Segment& last = segments_.back();
    return n - last.count >= at && matchesAt(last, n - last.count);
}

bool likeText(const QString& text, const QString& pattern) {
    return LikePattern(pattern).matches(text);
}
