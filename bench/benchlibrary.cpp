#include "benchlibrary.h"

#include "data/adoconnector.h"

#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <ctime>

namespace {
void buildLibrary(ADO_Connector& db, int songs) {
    ADO_Connector::BulkWrite bulk(db);
    for (int g = 0; g < 40; ++g)
        db.adoSetData(Write::AddGenre, {QString::fromUtf16(u"ジャンル%1").arg(g)});
    for (int a = 0; a < 2000; ++a)
        db.adoSetData(Write::AddArtist, {QString::fromUtf16(u"アーティスト %1").arg(a)});
    QRandomGenerator random(7);
    for (int i = 1; i <= songs; ++i) {
        const QString title = QString::fromUtf16(u"曲 %1 の歌").arg(random.bounded(1000000));
        const QString path = QStringLiteral("/home/user/Music/Artist %1/Album %2/%3.mp3")
                                 .arg(i % 2000)
                                 .arg(i % 97)
                                 .arg(title);
        db.adoSetData(Write::AddSong, {path, title});
        const QString genre = [&] { return QString::number(1 + random.bounded(41)); }();
        db.adoSetData(Write::UpdateSongKeepPath,
                      {path, title, QString::number(random.bounded(101)), genre,
                       QString::number(1 + random.bounded(41)), QStringLiteral("1"),
                       QString::number(1 + random.bounded(2001)),
                       random.bounded(2) ? QStringLiteral("Yes") : QStringLiteral("No"),
                       random.bounded(2) ? QStringLiteral("Yes") : QStringLiteral("No"),
                       QString::number(-random.bounded(1000)), QString::number(i),
                       QString::number(random.bounded(300))});
    }
    // Show every column.
    const QStringList all = {
        QStringLiteral("曲名"),  QStringLiteral("ｱｰﾃｨｽﾄ名"),   QStringLiteral("ｼﾞｬﾝﾙ"),
        QStringLiteral("ｶｳﾝﾄ"),  QStringLiteral("優先度"),     QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ"),
        QStringLiteral("ﾄﾚﾝﾄﾞ"), QStringLiteral("ﾎﾞﾘｭｰﾑ補正"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")};
    for (int c = 0; c < all.size(); ++c)
        db.adoSetData(Write::ShowColumn, {QString::number(c + 1), all[c]});
    bulk.commit();
}
} // namespace

BenchLibrary::BenchLibrary(int songs) : db_(std::make_unique<ADO_Connector>(path())) {
    gConnector = db_.get();
    buildLibrary(*db_, songs);
}

BenchLibrary::~BenchLibrary() {
    gConnector = nullptr;
}

void drawOffscreenByDefault() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

double ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void report(const char* what, double value, const char* unit, const char* target) {
    std::printf("%-44s %9.3f %s  (target %s)\n", what, value, unit, target);
}

double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return -1;
}

double loadAverage() {
    QFile load(QStringLiteral("/proc/loadavg"));
    return load.open(QIODevice::ReadOnly) ? load.readAll().split(' ').front().toDouble() : -1;
}

AnswerOk::AnswerOk() {
    msgbox::setPresenter(this);
}

AnswerOk::~AnswerOk() {
    msgbox::setPresenter(nullptr);
}

int AnswerOk::present(const QString&, int, const QString&) {
    ++boxes_;
    return msgbox::Ok;
}
