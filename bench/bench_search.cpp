// Builds a 100,000-song list shaped like a real one (Japanese and Latin
// titles, half-width katakana and signs, artists, counts and long file
// paths) in an offscreen list view
// and prints the search figures beside their target: "find next" walking
// every row without a match, in each column, with plain and wildcard text.

#include "base/messagepresenter.h"
#include "songlist/search.h"
#include "songlist/serchdialog.h"
#include "songlist/songlistview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

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

std::vector<SongListItem> buildRows() {
    QRandomGenerator random(7);
    std::vector<SongListItem> rows;
    rows.reserve(kSongs);
    for (int i = 1; i <= kSongs; ++i) {
        // One title in ten has a sign the fast fold does not know (a star).
        QString title = i % 3
                            ? QString::fromUtf16(u"曲 %1 の歌 ﾗﾌﾞｿﾝｸﾞ").arg(random.bounded(1000000))
                            : QString("Song number %1 (Live)").arg(random.bounded(1000000));
        if (i % 10 == 0)
            title += QString::fromUtf16(u" ☆");
        const QString artist = QString::fromUtf16(u"アーティスト %1").arg(random.bounded(2000));
        const QString path = QString("/home/user/Music/Artist %1/Album %2/%3.mp3")
                                 .arg(i % 2000)
                                 .arg(i % 97)
                                 .arg(title);
        rows.emplace_back(QString("Key_%1").arg(i),
                          QStringList{title, artist, "Rock/Pop",
                                      QString::number(random.bounded(300)),
                                      QString::number(random.bounded(101)), path});
    }
    return rows;
}

void report(const char* what, double value, const char* unit, const char* target) {
    std::printf("%-52s %9.3f %s  (target %s)\n", what, value, unit, target);
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPresenter boxes;
    msgbox::setPresenter(&boxes);

    SongListView list;
    list.resize(1000, 700);
    list.songs().setColumns({"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"});
    list.songs().setItems(buildRows());
    list.show();
    app.processEvents();

    // Plain text, Japanese text, wildcards around plain letters, and
    // wildcards alone (which no plain run can rule out).
    const QStringList texts = {"zzz", QString::fromUtf16(u"存在しない"), "[!a-z]#?x*q", "#[g-k]#"};
    double worst = 0;
    QElapsedTimer timer;
    for (int column = 0; column < list.songs().columnCount(); ++column) {
        for (const QString& text : texts) {
            timer.start();
            lvSerchNext(column, text, list, true);
            const double ms = timer.nsecsElapsed() / 1e6;
            worst = std::max(worst, ms);
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                std::printf("  %s, \"%s\": %.1f ms\n", qPrintable(list.songs().captions()[column]),
                            qPrintable(text), ms);
        }
    }
    report("find next through 100,000 rows, no match (worst)", worst / 1000.0, "s", "<= 0.1");
    return boxes.shown == list.songs().columnCount() * int(texts.size()) && gSerchPos == 0 ? 0 : 1;
}
