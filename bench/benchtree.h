#pragma once

// The music tree the walk benchmarks share: 100,000 audio files in 200
// artists x 5 albums x 100 tracks, with a cover picture per album and a
// dot-folder per artist, and find(1)'s time over it as the yardstick.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>

namespace benchtree {

constexpr int kArtists = 200;
constexpr int kAlbumsPerArtist = 5;
constexpr int kTracksPerAlbum = 100;
constexpr int kFiles = kArtists * kAlbumsPerArtist * kTracksPerAlbum;

inline void build(const QString& root) {
    static const char* const kExtensions[] = {"mp3", "wav", "aiff", "mid"};
    for (int a = 0; a < kArtists; ++a) {
        for (int b = 0; b < kAlbumsPerArtist; ++b) {
            const QString album = QStringLiteral("%1/Artist %2/Album %3").arg(root).arg(a).arg(b);
            QDir().mkpath(album);
            for (int t = 0; t < kTracksPerAlbum; ++t) {
                QFile(QStringLiteral("%1/%2 Track.%3")
                          .arg(album)
                          .arg(t, 3, 10, QLatin1Char('0'))
                          .arg(QString::fromUtf8(kExtensions[t % 4])))
                    .open(QIODevice::WriteOnly);
            }
            QFile(album + QStringLiteral("/cover.jpg")).open(QIODevice::WriteOnly);
        }
        QDir().mkpath(QStringLiteral("%1/Artist %2/.thumbs").arg(root).arg(a));
    }
}

// Milliseconds find(1) takes to list the music files as the walk does.
inline double timeFind(const QString& root, qsizetype& count) {
    QElapsedTimer timer;
    timer.start();
    QProcess find;
    find.start(QStringLiteral("find"), {root,
                                        QStringLiteral("-name"),
                                        QStringLiteral(".*"),
                                        QStringLiteral("-type"),
                                        QStringLiteral("d"),
                                        QStringLiteral("-prune"),
                                        QStringLiteral("-o"),
                                        QStringLiteral("-type"),
                                        QStringLiteral("f"),
                                        QStringLiteral("("),
                                        QStringLiteral("-iname"),
                                        QStringLiteral("*mp3"),
                                        QStringLiteral("-o"),
                                        QStringLiteral("-iname"),
                                        QStringLiteral("*wav"),
                                        QStringLiteral("-o"),
                                        QStringLiteral("-iname"),
                                        QStringLiteral("*aif"),
                                        QStringLiteral("-o"),
                                        QStringLiteral("-iname"),
                                        QStringLiteral("*aiff"),
                                        QStringLiteral("-o"),
                                        QStringLiteral("-iname"),
                                        QStringLiteral("*mid"),
                                        QStringLiteral("-o"),
                                        QStringLiteral("-iname"),
                                        QStringLiteral("*midi"),
                                        QStringLiteral(")"),
                                        QStringLiteral("-print")});
    find.waitForFinished(-1);
    count = find.readAllStandardOutput().count('\n');
    return timer.nsecsElapsed() / 1e6;
}

} // namespace benchtree
