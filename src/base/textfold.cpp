#include "base/textfold.h"

namespace text {

namespace {
bool isPlainAscii(const QString& s) {
    for (QChar c : s) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString fold(const QString& s) {
    // NFKC leaves ASCII untouched; skipping it keeps list sorts cheap.
    if (isPlainAscii(s))
        return s.toCaseFolded();
    return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
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
