#include "playback/nowplaying.h"

#include "data/adoconnector.h"
#include "data/song.h"
#include "songlist/songrows.h"

#include <algorithm>

namespace nowplaying {

std::optional<QString> fieldText(const Song& song, const QString& itemName) {
    using songrows::Cell;
    const Cell cell = songrows::cellOf(itemName);
    if (cell == Cell::Skip || cell == Cell::Other)
        return std::nullopt;
    return songrows::cellsOfSong(song, {itemName}).front();
}

std::optional<std::pair<QString, QString>> frameTexts(const Song& song) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::FrameItems, rs))
        return std::nullopt;
    QString lines[2];
    // Rows beyond the second have no slot.
    for (int slot = 0; slot < 2 && !rs.Eof(); ++slot, rs.MoveNext()) {
        if (const auto text = fieldText(song, rs.text(QStringLiteral("列名"))))
            lines[slot] = *text;
    }
    return std::make_pair(lines[0], lines[1]);
}

std::optional<QString> statusText(const Song& song) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::StatusBarItems, rs))
        return std::nullopt;
    std::optional<QString> text;
    for (; !rs.Eof(); rs.MoveNext()) {
        if (const auto field = fieldText(song, rs.text(QStringLiteral("列名"))))
            text = field;
    }
    return text;
}

QString skippedText(const Song& song, const QString& reason) {
    return QStringLiteral("再生できない曲を飛ばしました：%1（%2）").arg(song.FilePath(), reason);
}

namespace {
constexpr int kHour = 3600;
}

QString timeText(int seconds, bool hours) {
    seconds = std::max(0, seconds);
    hours = hours || seconds >= kHour;
    const QChar zero(u'0');
    const QString ss = QStringLiteral("%1").arg(seconds % 60, 2, 10, zero);
    if (!hours)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(ss);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / kHour)
        .arg((seconds / 60) % 60, 2, 10, zero)
        .arg(ss);
}

QString positionText(int seconds, int length) {
    const bool hours = length >= kHour;
    return timeText(seconds, hours) + QStringLiteral(" / ") + timeText(length, hours);
}

} // namespace nowplaying
