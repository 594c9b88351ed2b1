#pragma once

#include "data/displayitems.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the display settings store and how they are read back: the list's
// columns, the now-playing frame and status bar items, and the colours and
// background pictures of the main list and of the compact window. The
// dialog edits a copy; the windows apply what they read.
namespace displaysettings {

// The file path is always the last column, so it is never offered.
inline const QString kFilePath = QString::fromUtf16(displayitems::kFilePath.name);
// Shown for, and stored from, a picture path that is not set.
inline const QString kNotSet = QStringLiteral("未指定");

// The eight names the column lists offer, in their order.
const QStringList& columnNames();
// The nine names the frame and status bar items offer, in their order.
const QStringList& itemNames();

// One window's stored appearance, read in one go. A colour or an edge that
// is missing or not a number is nothing; a picture path that is empty,
// Null or "未指定" is the empty path.
struct Appearance {
    std::optional<QString> picturePath;
    std::optional<qint32> textColor;
    std::optional<qint32> backColor;
    std::optional<qint32> left; // twips; the compact window only
    std::optional<qint32> top;
};
enum class Window { Main, Compact };
// False when the read fails (the connector has shown why).
bool readAppearance(Window window, Appearance& out);

// Seconds the next song overlaps the end of the playing one, stored as
// "曲間クロスフェード"; 0 (none) when missing or not a number, and clamped
// to 0 to 10.
inline const QString kCrossfade = QStringLiteral("曲間クロスフェード");
inline constexpr int kMaxCrossfade = 10;
int readCrossfade();

// The dialog's working copy. Colours are stored values (red + 256 x green
// + 65536 x blue); the defaults are the dialog's own black on white.
struct Settings {
    QStringList shown;     // displayed columns, left to right
    QStringList available; // offered but not displayed
    QString frameItems[2]; // empty: none chosen
    QString statusItem;
    QString mainPicture = kNotSet;
    qint32 mainText = 0;
    qint32 mainBack = 0xFFFFFF;
    QString compactPicture = kNotSet;
    qint32 compactText = 0;
    qint32 compactBack = 0xFFFFFF;
    int crossfade = 0; // seconds
};

// The stored settings. A read that fails leaves its part as in a fresh
// Settings (lists empty, items unchosen, default colours).
Settings load();

// One request of a save: a write kind and its parameters.
struct SettingWrite {
    int kind;
    QStringList params;
    bool operator==(const SettingWrite&) const = default;
};
// The writes that store `settings`, in order: the reset of the items, each
// displayed column then the file path last, the frame and status items,
// the six appearance rows and the crossfade.
QList<SettingWrite> writes(const Settings& settings);
// Runs writes(settings) as one bulk write: all of them or none.
bool save(const Settings& settings);

} // namespace displaysettings
