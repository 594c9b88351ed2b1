#include "data/song.h"

#include <QTest>

class TestSong : public QObject {
    Q_OBJECT

private slots:
    void priorityOutsideRangeKeepsPreviousValue() {
        Song song;
        QList<int> kept;
        for (int value : {100, 101, -1, 0}) {
            song.setPriority(value);
            kept << song.Priority();
        }
        QCOMPARE(kept, QList<int>({100, 100, 100, 0}));
    }
};

QTEST_GUILESS_MAIN(TestSong)
#include "tst_song.moc"
