// Builds a database of 100,000 songs through write kind 31 in one bulk
// write, reads the "ALL" set list and walks every row, looks one song up by
// ID, draws songs for random play, and opens the library again (its
// integrity check included), with the file in the system's cache and read
// from disk, printing each figure beside its target.

#include "base/random.h"
#include "data/adoconnector.h"
#include "data/song.h"
#include "data/sqlite.h"
#include "playback/selectsong.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kSongs = 100000;

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// Drops the file from the system's cache, as after a reboot, so the next
// open reads it from disk; false when the system would not.
bool evict(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return ok;
}

struct OpenTimes {
    double open = -1;  // the connector, integrity check included
    double list = -1;  // then the first read of "ALL", as at start-up
    double check = -1; // the integrity check alone, on a connection of its own
};

OpenTimes openTimes(const QString& path, bool cold) {
    OpenTimes out;
    if (cold && !evict(path))
        return out;
    QElapsedTimer timer;
    timer.start();
    {
        ADO_Connector db(path);
        out.open = ms(timer);
        Recordset rs;
        if (!db.adoGetData(Read::StoredQuery, rs, QStringLiteral("Q_SetList_ALL")))
            return out;
        out.list = ms(timer) - out.open;
    }
    if (cold)
        evict(path);
    sqlite::Database raw;
    QString error;
    raw.open(path, false, error);
    raw.exec(QStringLiteral("PRAGMA cache_size = -65536"), error);
    timer.restart();
    sqlite::Statement check(raw, QStringLiteral("PRAGMA quick_check"));
    if (check.step() == sqlite::Statement::Step::Row && check.value(0).toString() == u"ok")
        out.check = ms(timer);
    return out;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/DataBase/MelodaraPlayer.db");
    auto connector = std::make_unique<ADO_Connector>(path);
    ADO_Connector& db = *connector;

    QElapsedTimer timer;
    timer.start();
    {
        ADO_Connector::BulkWrite bulk(db);
        for (int i = 0; i < kSongs; ++i) {
            const QString title = QStringLiteral("Song %1").arg(i, 6, 10, QLatin1Char('0'));
            db.adoSetData(
                Write::AddSong,
                {QStringLiteral("/music/Artist %1/%2.mp3").arg(i % 500).arg(title), title});
        }
        bulk.commit();
    }
    std::printf("insert %d songs (kind 31, one bulk write): %7.1f ms  (target <= 1000)\n", kSongs,
                ms(timer));

    timer.restart();
    Recordset rs;
    db.adoGetData(Read::StoredQuery, rs, QStringLiteral("Q_SetList_ALL"));
    const double openMs = ms(timer);
    qint64 sum = 0;
    for (; !rs.Eof(); rs.MoveNext())
        sum += rs.Field(QStringLiteral("ID")).toLongLong() +
               rs.text(QStringLiteral("タイトル")).size();
    std::printf(
        "open and walk \"ALL\" (%d rows, kind 3):      %7.1f ms  (target <= 300; open %.1f)\n",
        rs.RecordCount(), ms(timer), openMs);

    constexpr int kLookups = 1000;
    timer.restart();
    for (int i = 0; i < kLookups; ++i) {
        Recordset one;
        db.adoGetData(Read::SongById, one, QString::number(1 + (i * 97) % kSongs));
        sum += one.RecordCount();
    }
    std::printf("one song by ID (kind 10), mean of %d:       %7.3f ms  (target < 1)\n", kLookups,
                ms(timer) / kLookups);
    // Random play at each change of song: a draw over the whole set list.
    gConnector = &db;
    seedSongRandom(1);
    constexpr int kDraws = 200;
    double slowest = 0;
    timer.restart();
    for (int i = 0; i < kDraws; ++i) {
        QElapsedTimer one;
        one.start();
        QString mode = kRandomPlay;
        QString key;
        Song song;
        SelectSong(QStringLiteral("ALL"), mode, song, key);
        slowest = std::max(slowest, ms(one));
        sum += song.FilePath().size();
    }
    std::printf("random draw over \"ALL\", mean of %d:         %7.3f ms  (target <= 50; slowest "
                "%.1f)\n",
                kDraws, ms(timer) / kDraws, slowest);
    gConnector = nullptr;
    connector.reset();

    std::printf("library file: %.1f MB\n", QFile(path).size() / 1e6);
    for (const bool cold : {false, true}) {
        const OpenTimes t = openTimes(path, cold);
        std::printf("open the library, file %s: %7.1f ms  (target <= 300; quick_check alone "
                    "%.1f; then \"ALL\" read in %.1f)\n",
                    cold ? "read from disk " : "in system cache", t.open, t.check, t.list);
    }

    return sum > 0 ? 0 : 1;
}
