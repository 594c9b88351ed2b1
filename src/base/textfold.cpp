#include "base/textfold.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace text {

namespace {

constexpr char16_t kNone = 0xFFFF;

QString normalizedFold(const QString& s) {
    return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// The folded form of the characters song lists are mostly made of (ASCII,
// full-width ASCII, kana of either width, CJK ideographs), taken once from
// the normaliser itself, so that folding them needs no normalisation.
// None of these characters composes with the character before it, so
// each folds on its own; the sound marks that do compose with a preceding
// kana have a table of their own.
struct Table {
    char16_t map[0x10000];
    char16_t marked[0xC0][2]; // kana U+3040.. with a voiced, semi-voiced mark

    Table() {
        std::fill(std::begin(map), std::end(map), kNone);
        const auto take = [this](char16_t from, char16_t to) {
            for (char32_t c = from; c <= to; ++c) {
                const QString folded = normalizedFold(QString(QChar(c)));
                if (folded.size() == 1 && QChar(c).combiningClass() == 0 &&
                    folded[0].combiningClass() == 0)
                    map[c] = folded[0].unicode();
            }
        };
        take(0x0000, 0x007F);
        take(0x3000, 0x30FF);
        take(0xFF01, 0xFF9D);
        // Unified ideographs are their own normal form and have no case.
        for (char32_t c = 0x4E00; c <= 0x9FFF; ++c)
            map[c] = char16_t(c);
        for (char16_t k = 0; k < 0xC0; ++k) {
            for (int m = 0; m < 2; ++m) {
                const QString pair = QString(QChar(0x3040 + k)) + QChar(m == 0 ? 0x3099 : 0x309A);
                const QString composed = pair.normalized(QString::NormalizationForm_C);
                marked[k][m] = composed.size() == 1 ? composed[0].unicode() : kNone;
            }
        }
    }
};

const Table& table() {
    static const std::unique_ptr<Table> t = std::make_unique<Table>();
    return *t;
}

// Folds `s` into `out` by the table; false when `s` holds a character the
// table does not cover.
bool foldByTable(QStringView s, QString& out) {
    const Table& t = table();
    out.resize(s.size());
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    for (QChar qc : s) {
        const char16_t c = qc.unicode();
        if (t.map[c] != kNone) {
            o[n++] = t.map[c];
            continue;
        }
        const int mark = c == 0x3099 || c == 0xFF9E ? 0 : c == 0x309A || c == 0xFF9F ? 1 : -1;
        if (mark < 0 || n == 0 || o[n - 1] < 0x3040 || o[n - 1] >= 0x3100)
            return false;
        const char16_t composed = t.marked[o[n - 1] - 0x3040][mark];
        if (composed == kNone)
            return false;
        o[n - 1] = composed;
    }
    out.truncate(n);
    return true;
}

bool isPlainAscii(const QString& s) {
    for (QChar c : s) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

void foldInto(QStringView s, QString& out) {
    if (!foldByTable(s, out))
        out = normalizedFold(s.toString());
}

QString fold(const QString& s) {
    QString out;
    foldInto(s, out);
    return out;
}

bool equalsFolded(const QString& a, const QString& b) {
    if (a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0 && isPlainAscii(a))
        return true;
    return fold(a) == fold(b);
}

int compareFolded(const QString& a, const QString& b) {
    return fold(a).compare(fold(b));
}

} // namespace text
