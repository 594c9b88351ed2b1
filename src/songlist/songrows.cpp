#include "songlist/songrows.h"

#include "base/textfold.h"
#include "data/recordset.h"
#include "data/song.h"

#include <array>

namespace songrows {

namespace {

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

} // namespace

Cell cellOf(const QString& caption) {
    if (caption.isEmpty())
        return Cell::Skip;
    for (const Column& c : kColumns) {
        if (text::equalsFolded(caption, QString::fromUtf16(c.caption)))
            return c.cell;
    }
    return Cell::Other;
}

RowBuilder::RowBuilder(const QStringList& captions)
    : decoder_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless) {
    for (const QString& caption : captions) {
        const Cell cell = cellOf(caption);
        if (cell != Cell::Skip)
            cells_ << cell;
    }
    numbers_.resize(cells_.size());
}

void RowBuilder::resolveFields(const Recordset& row) {
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

namespace {
// Decodes UTF-8 at the end of `out`, without a string in between.
void appendUtf8(QString& out, QByteArrayView bytes, QStringDecoder& decoder) {
    const qsizetype at = out.size();
    out.resize(at + bytes.size()); // UTF-16 never needs more units than UTF-8 bytes
    QChar* end = decoder.appendToBuffer(out.data() + at, bytes);
    out.resize(end - out.constData());
}
} // namespace

void RowBuilder::appendField(QString& out, const Recordset& row, int i, int field) {
    const QByteArrayView bytes = row.utf8(field);
    qint64 number = 0;
    if (!bytes.isEmpty()) {
        appendUtf8(out, bytes, decoder_);
    } else if (row.integer(field, number)) {
        // Numbers and flags take few values: each one's text is made once.
        QHash<qint64, QString>& known = numbers_[i];
        auto found = known.constFind(number);
        if (found == known.constEnd())
            found = known.insert(number, row.text(field));
        out += *found;
    } else {
        out += row.text(field);
    }
}

bool RowBuilder::isNone(const Recordset& row, int field) {
    const QByteArrayView bytes = row.utf8(field);
    if (bytes.isEmpty())
        return isNone_(row.text(field));
    // Looked up in place; a name is copied only the first time it is met.
    const QByteArray name = QByteArray::fromRawData(bytes.data(), bytes.size());
    const auto found = noneBytes_.constFind(name);
    if (found != noneBytes_.constEnd())
        return *found;
    const bool none = isNone_(row.text(field));
    noneBytes_.insert(QByteArray(bytes.data(), bytes.size()), none);
    return none;
}

void RowBuilder::appendGenres(QString& out, const Recordset& row) {
    songrecord::writeGenres(
        out, [&](int g) { return isNone(row, genres_[g]); },
        [&](int g) {
            const QByteArrayView bytes = row.utf8(genres_[g]);
            if (bytes.isEmpty())
                out += row.text(genres_[g]);
            else
                appendUtf8(out, bytes, decoder_);
        });
}

void RowBuilder::add(const Recordset& row) {
    if (!resolved_)
        resolveFields(row);
    QString& out = rows_.beginRow();
    qint64 id = 0;
    if (row.integer(id_, id))
        songrecord::appendKey(out, id);
    else
        out += songrecord::keyOf(row.text(id_));
    out += RowStore::kCellEnd;
    for (int i = 0; i < cells_.size(); ++i) {
        if (cells_[i] == Cell::Genre)
            appendGenres(out, row);
        else if (fields_[i] >= 0)
            appendField(out, row, i, fields_[i]);
        out += RowStore::kCellEnd;
    }
    rows_.endRow();
}

RowStore RowBuilder::take() {
    return std::move(rows_);
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
