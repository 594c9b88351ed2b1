#include "app/mainsettings.h"

#include "data/adoconnector.h"
#include "playback/selectsong.h"

namespace mainsettings {

namespace {
std::optional<qint32> number(const QString& text) {
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(v) : std::nullopt;
}
} // namespace

SetLists readSetLists() {
    SetLists out;
    Recordset rs;
    if (!gConnector->adoGetData(Read::SetLists, rs))
        return out;
    out.read = true;
    for (; !rs.Eof(); rs.MoveNext()) {
        out.names << rs.text(QStringLiteral("セットリスト名"));
        if (rs.Field(QStringLiteral("選択")).toBool())
            out.selected = int(out.names.size()) - 1;
    }
    return out;
}

std::optional<QString> readPlayMode() {
    Recordset rs;
    if (!gConnector->adoGetData(Read::PlayModes, rs))
        return std::nullopt;
    for (; !rs.Eof(); rs.MoveNext()) {
        if (rs.Field(QStringLiteral("選択")).toBool())
            return rs.text(QStringLiteral("再生種別"));
    }
    return std::nullopt;
}

int readVolume() {
    Recordset rs;
    if (!gConnector->adoGetData(Read::SystemVolume, rs) || rs.Eof())
        return kDefaultVolume;
    return number(rs.text(QStringLiteral("設定値"))).value_or(kDefaultVolume);
}

void writeShutdown(const Shutdown& values) {
    gConnector->adoSetData(Write::SystemVolume, {QString::number(values.volume)});
    // A library made before random play by priority has no row for it.
    if (values.playMode == kPriorityPlay)
        gConnector->adoSetData(Write::RunSql,
                               {QStringLiteral("INSERT OR IGNORE INTO TM_再生種別(再生種別, 選択)"
                                               " VALUES ('優先度ﾗﾝﾀﾞﾑ再生', 0)")});
    gConnector->adoSetData(Write::SelectPlayMode, {values.playMode});
    for (const auto& [caption, twips] : values.columnWidths)
        gConnector->adoSetData(Write::ColumnWidth, {QString::number(float(twips)), caption});
    // The stored pairing: order 1 is written as "昇順", order 0 as "降順".
    gConnector->adoSetData(Write::SortSettings,
                           {values.sortOrder == 1 ? QStringLiteral("昇順") : QStringLiteral("降順"),
                            QString::number(values.sortKey)});
}

} // namespace mainsettings
