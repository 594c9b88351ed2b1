#include "songlist/songrows.h"

#include "base/textfold.h"
#include "data/recordset.h"
#include "data/song.h"

#include <array>
#include <cstdio>

namespace songrows {

namespace {

const QString kNone = QStringLiteral("指定無し");

// A caption's cell and the query field it reads.
struct Column {
    Cell cell;
    const char16_t* caption;
    const char16_t* field;
};

const std::array<Column, 9> kColumns = {{
    {Cell::Count, u"ｶｳﾝﾄ", u"カウント"},
    {Cell::Priority, u"優先度", u"優先度"},
    {Cell::Genre, u"ｼﾞｬﾝﾙ", nullptr},
    {Cell::Title, u"曲名", u"タイトル"},
    {Cell::FilePath, u"ﾌｧｲﾙﾊﾟｽ", u"ファイルパス"},
    {Cell::BreakOut, u"ﾌﾞﾚｰｸｱｳﾄ", u"ブレークアウト"},
    {Cell::Trend, u"ﾄﾚﾝﾄﾞ", u"トレンド"},
    {Cell::Volume, u"ﾎﾞﾘｭｰﾑ補正", u"ボリューム補正"},
    {Cell::Artist, u"ｱｰﾃｨｽﾄ名", u"アーティスト名"},
}};

QString genreText(const QString& g1, const QString& g2, const QString& g3, NoneCheck& isNone) {
    if (isNone(g1))
        return kNone;
    if (isNone(g2))
        return g1;
    if (isNone(g3))
        return g1 + u'/' + g2;
    return g1 + u'/' + g2 + u'/' + g3;
}

} // namespace

bool NoneCheck::operator()(const QString& name) {
    if (name == kNone)
        return true;
    const auto found = known_.constFind(name);
    if (found != known_.constEnd())
        return *found;
    const bool none = text::equalsFolded(name, kNone);
    known_.insert(name, none);
    return none;
}

Cell cellOf(const QString& caption) {
    if (caption.isEmpty())
        return Cell::Skip;
    for (const Column& c : kColumns) {
        if (text::equalsFolded(caption, QString::fromUtf16(c.caption)))
            return c.cell;
    }
    return Cell::Other;
}

QString keyOf(const QString& id) {
    return QStringLiteral("Key_") + id;
}

QString keyOf(qint64 id) {
    // One allocation per key: this runs once per row of a list.
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "Key_%lld", static_cast<long long>(id));
    return QString::fromLatin1(buffer, n);
}

QString listKey(const QString& key) {
    return key.contains(QStringLiteral("Key_")) ? key : keyOf(key);
}

QString idOfKey(const QString& key) {
    return key.contains(QStringLiteral("Key_")) ? key.mid(4) : key;
}

QString genreText(const QString& g1, const QString& g2, const QString& g3) {
    NoneCheck isNone;
    return genreText(g1, g2, g3, isNone);
}

ItemBuilder::ItemBuilder(const QStringList& captions)
    : decoder_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless) {
    for (const QString& caption : captions) {
        const Cell cell = cellOf(caption);
        if (cell != Cell::Skip)
            cells_ << cell;
    }
}

void ItemBuilder::resolveFields(const Recordset& row) {
    // Field positions are found once, not per row.
    for (Cell cell : cells_) {
        int field = -1;
        for (const Column& c : kColumns) {
            if (c.cell == cell && c.field)
                field = row.fieldIndex(QString::fromUtf16(c.field));
        }
        fields_ << field;
    }
    id_ = row.fieldIndex(QStringLiteral("Id"));
    genres_[0] = row.fieldIndex(QStringLiteral("ジャンル1"));
    genres_[1] = row.fieldIndex(QStringLiteral("ジャンル2"));
    genres_[2] = row.fieldIndex(QStringLiteral("ジャンル3"));
    resolved_ = true;
}

// Appends a field's text form to the row being built, decoding text in
// place rather than through a temporary string.
void ItemBuilder::appendField(const Recordset& row, int field) {
    const QByteArrayView bytes = row.utf8(field);
    if (bytes.isEmpty()) {
        row_ += row.text(field);
        return;
    }
    const qsizetype at = row_.size();
    row_.resize(at + bytes.size()); // UTF-16 never needs more units than UTF-8 bytes
    QChar* end = decoder_.appendToBuffer(row_.data() + at, bytes);
    row_.resize(end - row_.constData());
}

void ItemBuilder::add(const Recordset& row) {
    if (!resolved_)
        resolveFields(row);
    qint64 id = 0;
    SongListItem item;
    item.key = row.integer(id_, id) ? keyOf(id) : keyOf(row.text(id_));
    row_.resize(0);
    for (int i = 0; i < cells_.size(); ++i) {
        if (cells_[i] == Cell::Genre) {
            row_ += genreText(row.text(genres_[0]), row.text(genres_[1]), row.text(genres_[2]),
                              isNone_);
        } else if (fields_[i] >= 0) {
            appendField(row, fields_[i]);
        }
        row_ += SongListItem::kCellEnd;
    }
    // An exact copy: the working buffer keeps its spare room for the next row.
    item.cells = QString(row_.constData(), row_.size());
    items_.push_back(std::move(item));
}

std::vector<SongListItem> ItemBuilder::take() {
    return std::move(items_);
}

QList<Cell> cellsOf(const QStringList& captions) {
    QList<Cell> cells;
    cells.reserve(captions.size());
    for (const QString& caption : captions)
        cells << cellOf(caption);
    return cells;
}

QStringList cellsOfSong(const Song& song, const QStringList& captions) {
    return cellsOfSong(song, cellsOf(captions));
}

QStringList cellsOfSong(const Song& song, const QList<Cell>& columns) {
    QStringList cells;
    cells.reserve(columns.size());
    for (const Cell column : columns) {
        switch (column) {
        case Cell::Count:
            cells << QString::number(song.Count());
            break;
        case Cell::Priority:
            cells << QString::number(song.Priority());
            break;
        case Cell::Volume:
            cells << QString::number(song.Volume());
            break;
        case Cell::Genre:
            cells << song.Janl();
            break;
        case Cell::Title:
            cells << song.Title();
            break;
        case Cell::FilePath:
            cells << song.FilePath();
            break;
        case Cell::BreakOut:
            cells << song.BreakOut();
            break;
        case Cell::Trend:
            cells << song.Trend();
            break;
        case Cell::Artist:
            cells << song.Artist();
            break;
        case Cell::Skip:
        case Cell::Other:
            cells << QString();
            break;
        }
    }
    return cells;
}

} // namespace songrows
