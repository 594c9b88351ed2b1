// Builds a database of 100,000 songs through write kind 31 in one bulk
// write, reads the "ALL" set list and walks every row, and looks one song
// up by ID, printing each figure beside its target.

#include "data/adoconnector.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int kSongs = 100000;

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ADO_Connector db(dir.path() + "/DataBase/MelodaraPlayer.db");

    QElapsedTimer timer;
    timer.start();
    {
        ADO_Connector::BulkWrite bulk(db);
        for (int i = 0; i < kSongs; ++i) {
            const QString title = QString("Song %1").arg(i, 6, 10, QChar('0'));
            db.adoSetData(31, {QString("/music/Artist %1/%2.mp3").arg(i % 500).arg(title), title});
        }
        bulk.commit();
    }
    std::printf("insert %d songs (kind 31, one bulk write): %7.1f ms  (target <= 1000)\n", kSongs,
                ms(timer));

    timer.restart();
    Recordset rs;
    db.adoGetData(3, rs, "Q_SetList_ALL");
    const double openMs = ms(timer);
    qint64 sum = 0;
    for (; !rs.Eof(); rs.MoveNext())
        sum += rs.Field("ID").toLongLong() + rs.text("タイトル").size();
    std::printf(
        "open and walk \"ALL\" (%d rows, kind 3):      %7.1f ms  (target <= 300; open %.1f)\n",
        rs.RecordCount(), ms(timer), openMs);

    constexpr int kLookups = 1000;
    timer.restart();
    for (int i = 0; i < kLookups; ++i) {
        Recordset one;
        db.adoGetData(10, one, QString::number(1 + (i * 97) % kSongs));
        sum += one.RecordCount();
    }
    std::printf("one song by ID (kind 10), mean of %d:       %7.3f ms  (target < 1)\n", kLookups,
                ms(timer) / kLookups);
    return sum > 0 ? 0 : 1;
}
