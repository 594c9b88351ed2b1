#include "songlist/displaysettings.h"

#include "data/adoconnector.h"

#include <algorithm>

namespace displaysettings {

namespace {

const QString kName = QStringLiteral("列名");

std::optional<qint32> number(const QString& text) {
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(v) : std::nullopt;
}

// The names of read `kind` (the display items) in order; nothing when the
// read fails.
std::optional<QStringList> readNames(int kind) {
    QStringList names;
    if (!gConnector->adoGetColumn(kind, kName, names))
        return std::nullopt;
    return names;
}

} // namespace

const QStringList& columnNames() {
    static const QStringList names = [] {
        QStringList all = itemNames();
        all.removeOne(kFilePath);
        return all;
    }();
    return names;
}

const QStringList& itemNames() {
    static const QStringList names = [] {
        QStringList all;
        for (const displayitems::Item& item : displayitems::kItems)
            all << QString::fromUtf16(item.name);
        return all;
    }();
    return names;
}

bool readAppearance(Window window, Appearance& out) {
    const QString prefix =
        window == Window::Main ? QStringLiteral("メイン画面") : QStringLiteral("コンパクト画面");
    Recordset rs;
    if (!gConnector->adoGetData(
            window == Window::Main ? Read::MainListSettings : Read::CompactSettings, rs))
        return false;
    out = Appearance();
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString key = rs.text(QStringLiteral("設定情報"));
        if (!key.startsWith(prefix))
            continue;
        const QString value = rs.text(QStringLiteral("設定値"));
        const QStringView what = QStringView(key).sliced(prefix.size());
        if (what == u"背景画像パス")
            out.picturePath = value == kNotSet ? QString() : value;
        else if (what == u"フォント色")
            out.textColor = number(value);
        else if (what == u"背景色")
            out.backColor = number(value);
        else if (what == u"Left" && window == Window::Compact)
            out.left = number(value);
        else if (what == u"Top" && window == Window::Compact)
            out.top = number(value);
    }
    return true;
}

int readCrossfade() {
    Recordset rs;
    if (!gConnector->adoGetData(Read::Setting, rs, kCrossfade) || rs.Eof())
        return 0;
    return std::clamp(number(rs.text(QStringLiteral("設定値"))).value_or(0), 0, kMaxCrossfade);
}

Settings load() {
    Settings out;
    if (const auto shown = readNames(Read::DisplayItems)) {
        for (const QString& name : *shown) {
            if (!name.isEmpty() && name != kFilePath)
                out.shown << name;
        }
        // A displayed name is never offered as well.
        for (const QString& name : columnNames()) {
            if (!shown->contains(name))
                out.available << name;
        }
    }
    if (const auto frame = readNames(Read::FrameItems)) {
        // Row k is frame line k; rows beyond the second have no line.
        for (int k = 0; k < 2 && k < frame->size(); ++k) {
            if (itemNames().contains(frame->at(k)))
                out.frameItems[k] = frame->at(k);
        }
    }
    if (const auto status = readNames(Read::StatusBarItems)) {
        for (const QString& name : *status) {
            if (itemNames().contains(name))
                out.statusItem = name;
        }
    }
    Appearance look;
    if (readAppearance(Window::Main, look)) {
        if (look.picturePath && !look.picturePath->isEmpty())
            out.mainPicture = *look.picturePath;
        out.mainText = look.textColor.value_or(out.mainText);
        out.mainBack = look.backColor.value_or(out.mainBack);
    }
    if (readAppearance(Window::Compact, look)) {
        if (look.picturePath && !look.picturePath->isEmpty())
            out.compactPicture = *look.picturePath;
        out.compactText = look.textColor.value_or(out.compactText);
        out.compactBack = look.backColor.value_or(out.compactBack);
    }
    out.crossfade = readCrossfade();
    return out;
}

QList<SettingWrite> writes(const Settings& s) {
    QList<SettingWrite> out = {{Write::ResetDisplayItems, {}}};
    for (int i = 0; i < s.shown.size(); ++i)
        out << SettingWrite{Write::ShowColumn, {QString::number(i + 1), s.shown[i]}};
    out << SettingWrite{Write::ShowColumn, {QString::number(s.shown.size() + 1), kFilePath}};
    out << SettingWrite{Write::FrameOrder, {QStringLiteral("1"), s.frameItems[0]}};
    out << SettingWrite{Write::FrameOrder, {QStringLiteral("2"), s.frameItems[1]}};
    out << SettingWrite{Write::StatusBarOrder, {QStringLiteral("1"), s.statusItem}};
    out << SettingWrite{Write::CompactPicture, {s.compactPicture}}
        << SettingWrite{Write::CompactFontColor, {QString::number(s.compactText)}}
        << SettingWrite{Write::CompactBackColor, {QString::number(s.compactBack)}}
        << SettingWrite{Write::MainPicture, {s.mainPicture}}
        << SettingWrite{Write::MainFontColor, {QString::number(s.mainText)}}
        << SettingWrite{Write::MainBackColor, {QString::number(s.mainBack)}}
        << SettingWrite{Write::Setting, {kCrossfade, QString::number(s.crossfade)}};
    return out;
}

bool save(const Settings& settings) {
    ADO_Connector::BulkWrite bulk(*gConnector);
    for (const SettingWrite& w : writes(settings)) {
        if (!gConnector->adoSetData(w.kind, w.params))
            return false;
    }
    return bulk.commit();
}

} // namespace displaysettings
