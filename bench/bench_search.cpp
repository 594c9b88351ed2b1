// Builds a 100,000-song library, shows "ALL" in an offscreen list view and
// prints the search figures beside their target: "find next" walking every
// row without a match, in each column, with plain and wildcard text; then
// again with titles that hold half-width katakana and signs, which fold
// the slow way.

#include "base/messagepresenter.h"
#include "benchlibrary.h"
#include "songlist/search.h"
#include "songlist/serchdialog.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kSongs = 100000;

class SilentPresenter final : public MessagePresenter {
public:
    int present(const QString&, int, const QString&) override {
        ++shown;
        return msgbox::Ok;
    }
    int shown = 0;
};

// Plain text, Japanese text, wildcards around plain letters, and
// wildcards alone (which no plain run can rule out).
const QStringList kTexts = {QStringLiteral("zzz"), QString::fromUtf16(u"存在しない"),
                            QStringLiteral("[!a-z]#?x*q"), QStringLiteral("#[g-k]#")};

// Search texts of 1,000 characters, each made to cost the most of one
// kind: a list of 998 entries, lists alone, wildcards between stars, one
// segment of wildcards longer than a text, plain text, and a mixture.
QStringList longTexts() {
    QString list = QStringLiteral("[");
    for (int i = 0; i < 998; ++i)
        list += QChar(0x4E00 + 3 * i);
    list += QStringLiteral("]");
    return {list,
            QStringLiteral("[!a]").repeated(250),
            QStringLiteral("?*").repeated(500),
            QStringLiteral("#").repeated(1000),
            QStringLiteral("x").repeated(1000),
            QStringLiteral("a?[b-k]#*").repeated(111) + QStringLiteral("z")};
}

// The slowest "find next" without a match over every column and text.
double worstWalk(SongListView& list, const QStringList& texts = kTexts) {
    double worst = 0;
    for (int column = 0; column < list.songs().columnCount(); ++column) {
        for (const QString& text : texts) {
            QElapsedTimer timer;
            timer.start();
            lvSerchNext(column, text, list, true);
            worst = std::max(worst, ms(timer));
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                std::printf("  %s, \"%s\": %.1f ms\n", qPrintable(list.songs().captions()[column]),
                            qPrintable(text.left(40)), ms(timer));
        }
    }
    return worst;
}
} // namespace

int main(int argc, char* argv[]) {
    drawOffscreenByDefault();
    QApplication app(argc, argv);
    BenchLibrary library(kSongs);
    SilentPresenter boxes;
    msgbox::setPresenter(&boxes);

    SongListView list;
    list.resize(1000, 700);
    lvSetColumns(list);
    lvSetSongList(0, QStringLiteral("ALL"), list.songs());
    list.show();
    app.processEvents();
    report("find next, 100,000 rows, no match (worst)", worstWalk(list) / 1000, "s", "<= 0.1");
    report("  the same, texts of 1,000 characters", worstWalk(list, longTexts()) / 1000, "s",
           "<= 0.1");

    // Every third title in half-width katakana, every tenth with a star.
    std::vector<std::pair<QString, QStringList>> titles;
    for (int p = 0; p < list.songs().count(); ++p) {
        QString title = list.songs().cellAt(p, 0).toString();
        if (p % 3 == 0)
            title += QString::fromUtf16(u" ﾗﾌﾞｿﾝｸﾞ");
        if (p % 10 == 0)
            title += QString::fromUtf16(u" ☆");
        titles.emplace_back(list.songs().keyAt(p), QStringList{title});
    }
    list.songs().setCellsOfRows(titles);
    report("  the same, titles in half-width kana and signs", worstWalk(list) / 1000, "s",
           "<= 0.1");

    const int walks = list.songs().columnCount() * int(2 * kTexts.size() + longTexts().size());
    return boxes.shown == walks && gSerchPos == 0 ? 0 : 1;
}
