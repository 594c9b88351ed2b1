#include "songlist/songlistview.h"

#include "data/adoconnector.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QtNumeric>

#include <algorithm>
#include <cmath>

int twipsToPixels(double twips, double dpi) {
    return int(std::lround(twips * dpi / 1440.0));
}

double pixelsToTwips(int pixels, double dpi) {
    return dpi > 0 ? pixels * 1440.0 / dpi : 0.0;
}

namespace {

// A song that cannot be played is shown muted.
class MutedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(SongListModel::kUnplayableRole).toBool()) {
            // Half way from the text colour to the background: muted on
            // whatever colours the user chose.
            const QColor text = option->palette.color(QPalette::Text);
            const QColor back = option->palette.color(QPalette::Base);
            const QColor muted((text.red() + back.red()) / 2, (text.green() + back.green()) / 2,
                               (text.blue() + back.blue()) / 2);
            option->palette.setColor(QPalette::Text, muted);
        }
    }
};

} // namespace

SongListView::SongListView(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
    setItemDelegate(new MutedRowDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fitRowHeight();
    connect(header(), &QHeaderView::sectionClicked, this, &SongListView::columnClicked);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit itemDoubleClicked(model_.keyAt(index.row()));
    });
    connect(&model_, &SongListModel::sortChanged, this, &SongListView::showSortIndicator);
    connect(&model_, &QAbstractItemModel::modelReset, this, &SongListView::showSortIndicator);
}

// Every row is as high as the font needs for Latin and Japanese text
// alike, whatever the rows hold.
void SongListView::fitRowHeight() {
    QStyleOptionViewItem sample;
    initViewItemOption(&sample);
    sample.features |= QStyleOptionViewItem::HasDisplay;
    sample.text = QStringLiteral("Ag曲名ｶﾞ");
    verticalHeader()->setDefaultSectionSize(
        style()->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), this).height());
}

void SongListView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitRowHeight();
}

void SongListView::setColumnWidthTwips(int column, double twips) {
    // Such a width would hide the column, and shutdown would store the 0.
    if (!std::isfinite(twips) || twips < 0)
        twips = kDefaultColumnTwips;
    setColumnWidth(column, twipsToPixels(twips, logicalDpiX()));
}

double SongListView::columnWidthTwips(int column) const {
    return pixelsToTwips(columnWidth(column), logicalDpiX());
}

QString SongListView::selectedKey() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return model_.keyAt(current.row());
    const QStringList keys = selectedKeys();
    return keys.isEmpty() ? QString() : keys.front();
}

QStringList SongListView::selectedKeys() const {
    QList<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows << r;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList keys;
    keys.reserve(rows.size());
    for (int r : rows)
        keys << model_.keyAt(r);
    return keys;
}

bool SongListView::selectKey(const QString& key, bool add) {
    const int row = model_.position(key);
    if (row < 0)
        return false;
    const QModelIndex index = model_.index(row, 0);
    if (add) {
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::Rows | QItemSelectionModel::Select);
    } else {
        // The view's own setter also makes the row where Shift with an
        // arrow key starts extending; the selection model's would leave
        // that at the row last clicked. In single selection the view
        // selects the row alone, whatever keys are held.
        const SelectionMode mode = selectionMode();
        setSelectionMode(QAbstractItemView::SingleSelection);
        setCurrentIndex(index);
        setSelectionMode(mode);
    }
    scrollTo(index);
    return true;
}

bool SongListView::multiSelect() const {
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void SongListView::setMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
}

QColor SongListView::textColor() const {
    return palette().color(QPalette::Text);
}

void SongListView::setTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QColor SongListView::backColor() const {
    return palette().color(QPalette::Base);
}

void SongListView::setBackColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

bool SongListView::setPicture(const QString& path) {
    picture_ = QPixmap();
    if (!path.isEmpty())
        picture_.load(path);
    viewport()->update();
    return !picture_.isNull();
}

void SongListView::paintEvent(QPaintEvent* event) {
    if (!picture_.isNull()) {
        QPainter painter(viewport());
        painter.drawPixmap(0, 0, picture_);
    }
    QTableView::paintEvent(event);
}

void SongListView::showSortIndicator() {
    header()->setSortIndicatorShown(model_.sorted());
    if (model_.sorted())
        header()->setSortIndicator(model_.sortKey(), model_.sortOrder() == 0 ? Qt::AscendingOrder
                                                                             : Qt::DescendingOrder);
}

bool lvSetColumns(SongListView& list) {
    Recordset rs;
    if (!gConnector->adoGetData(Read::DisplayItems, rs))
        return false;
    QStringList captions;
    QList<double> widths;
    for (; !rs.Eof(); rs.MoveNext()) {
        captions << rs.text(QStringLiteral("列名"));
        bool number = false;
        const double width = rs.Field(QStringLiteral("幅")).toDouble(&number);
        widths << (number ? width : qQNaN());
    }
    list.songs().setColumns(captions);
    for (int c = 0; c < widths.size(); ++c)
        list.setColumnWidthTwips(c, float(widths[c]));
    return true;
}

QString lvGetSelectedKey(const SongListView& list) {
    return list.selectedKey();
}

void lvGetSelectedKeys(const SongListView& list, QStringList& keys) {
    const QStringList selected = list.selectedKeys();
    if (!selected.isEmpty())
        keys = selected;
}

void lvFitControl(int width, int rightMargin, int height, int bottomMargin, QWidget& control) {
    control.resize(std::max(0, width - control.x() - rightMargin),
                   std::max(0, height - control.y() - bottomMargin));
}
