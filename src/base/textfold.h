#pragma once

#include <QString>

// Text comparison that ignores letter case and the full-width/half-width
// distinction ("ＡＢＣ" == "abc", "ﾗﾝﾀﾞﾑ" == "ランダム"). Every place that
// compares user-visible names this way goes through these functions.
namespace text {

// The comparison key: NFKC normalisation followed by case folding.
QString fold(const QString& s);
// The same into `out`, whose storage is reused: for walks that fold many
// texts in turn.
void foldInto(QStringView s, QString& out);

bool equalsFolded(const QString& a, const QString& b);

// <0, 0, >0 like QString::compare, on the folded forms.
int compareFolded(const QString& a, const QString& b);

} // namespace text
