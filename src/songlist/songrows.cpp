#include "songlist/songrows.h"

#include "app/textfold.h"
#include "data/recordset.h"
#include "data/song.h"

#include <array>

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

// Genre names repeat on almost every row: decide "none" once per name.
class NoneCheck {
public:
    bool operator()(const QString& name) {
        if (name == kNone)
            return true;
        const auto found = known_.constFind(name);
        if (found != known_.constEnd())
            return *found;
        const bool none = text::equalsFolded(name, kNone);
        known_.insert(name, none);
        return none;
    }

private:
    QHash<QString, bool> known_;
};

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

QString genreText(const QString& g1, const QString& g2, const QString& g3) {
    NoneCheck isNone;
    return genreText(g1, g2, g3, isNone);
}

std::vector<SongListItem> itemsFromRows(Recordset& rs, const QStringList& captions) {
    // Field positions are found once, not per row.
    struct Source {
        Cell cell;
        int field;
    };
    QList<Source> sources;
    for (const QString& caption : captions) {
        const Cell cell = cellOf(caption);
        if (cell == Cell::Skip)
            continue;
        int field = -1;
        for (const Column& c : kColumns) {
            if (c.cell == cell && c.field)
                field = rs.fieldIndex(QString::fromUtf16(c.field));
        }
        sources << Source{cell, field};
    }
    const int id = rs.fieldIndex(QStringLiteral("Id"));
    const int g1 = rs.fieldIndex(QStringLiteral("ジャンル1"));
    const int g2 = rs.fieldIndex(QStringLiteral("ジャンル2"));
    const int g3 = rs.fieldIndex(QStringLiteral("ジャンル3"));

    NoneCheck isNone;
    std::vector<SongListItem> items;
    items.reserve(size_t(std::max(0, rs.RecordCount())));
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        SongListItem item{keyOf(rs.text(id)), {}};
        item.cells.reserve(sources.size());
        for (const Source& s : sources) {
            if (s.cell == Cell::Genre)
                item.cells << genreText(rs.text(g1), rs.text(g2), rs.text(g3), isNone);
            else if (s.field >= 0)
                item.cells << rs.text(s.field);
            else
                item.cells << QString();
        }
        items.push_back(std::move(item));
    }
    return items;
}

QStringList cellsOfSong(const Song& song, const QStringList& captions) {
    QStringList cells;
    cells.reserve(captions.size());
    for (const QString& caption : captions) {
        switch (cellOf(caption)) {
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
