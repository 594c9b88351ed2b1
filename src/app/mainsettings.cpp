#include "app/mainsettings.h"

#include "data/adoconnector.h"
#include "data/requests.h"
#include "playback/selectsong.h"

namespace mainsettings {

namespace {
std::optional<qint32> number(const QString& text) {
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(v) : std::nullopt;
}
// The main window's place, under names of its own beside the compact
// window's.
const char16_t* const kLeft = u"メイン画面Left";
const char16_t* const kTop = u"メイン画面Top";
const char16_t* const kWidth = u"メイン画面Width";
const char16_t* const kHeight = u"メイン画面Height";
const char16_t* const kMaximised = u"メイン画面最大化";

std::optional<qint32> setting(const char16_t* name) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::Setting, rs, QString::fromUtf16(name)) || rs.Eof())
        return std::nullopt;
    return number(rs.text(QStringLiteral("設定値")));
}

void writeSetting(const char16_t* name, qint32 value) {
    gConnector->adoSetData(Write::Setting, {QString::fromUtf16(name), QString::number(value)});
}

} // namespace

std::optional<Place> readPlace() {
    const auto left = setting(kLeft);
    const auto top = setting(kTop);
    const auto width = setting(kWidth);
    const auto height = setting(kHeight);
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return Place{QRect(*left, *top, *width, *height), setting(kMaximised).value_or(0) != 0};
}

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
    if (values.place) {
        const QRect& r = values.place->twips;
        writeSetting(kLeft, r.x());
        writeSetting(kTop, r.y());
        writeSetting(kWidth, r.width());
        writeSetting(kHeight, r.height());
        writeSetting(kMaximised, values.place->maximised ? 1 : 0);
    }
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
