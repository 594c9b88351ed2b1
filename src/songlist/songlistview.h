#pragma once

#include "songlist/songlistmodel.h"

#include <QHeaderView>
#include <QPixmap>
#include <QTableView>

// A song list in report view: one row per song, multiple selection, a
// clickable header. Sorting is the model's; the header only shows it.
// A table view keeps nothing per row, so filling or sorting 100,000 rows
// costs the view only the rows it draws.
class SongListView : public QTableView {
    Q_OBJECT

public:
    explicit SongListView(QWidget* parent = nullptr);

    // The column header.
    QHeaderView* header() const { return horizontalHeader(); }

    SongListModel& songs() { return model_; }
    const SongListModel& songs() const { return model_; }

    // Column widths as stored: twips, shown with the screen's logical DPI.
    // A width that is negative, infinite or NaN (lvSetColumns passes NaN
    // for a stored width that is not a number) gets kDefaultColumnTwips.
    static constexpr double kDefaultColumnTwips = 1500;
    void setColumnWidthTwips(int column, double twips);
    double columnWidthTwips(int column) const;

    // The focused item's key when it is selected, else the first selected
    // row's; empty when nothing is selected.
    QString selectedKey() const;
    // Keys of the selected rows, top to bottom in display order.
    QStringList selectedKeys() const;
    // Selects and focuses the row of `key` (alone unless `add`), scrolled
    // into view. False when there is no such row.
    bool selectKey(const QString& key, bool add = false);

    bool multiSelect() const;
    void setMultiSelect(bool on);

    // Appearance: text and background colours, and a background picture
    // drawn at the top left. setPicture clears the picture, then loads
    // `path`; false when nothing could be loaded (no picture then).
    QColor textColor() const;
    void setTextColor(const QColor& color);
    QColor backColor() const;
    void setBackColor(const QColor& color);
    bool setPicture(const QString& path);
    bool hasPicture() const { return !picture_.isNull(); }

signals:
    // 0-based position of the clicked column.
    void columnClicked(int column);
    void itemDoubleClicked(const QString& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showSortIndicator();
    void fitRowHeight();

    SongListModel model_;
    QPixmap picture_;
};

// Replaces the columns by the displayed items of the display settings,
// with their stored widths. False when the read fails; the columns stay.
bool lvSetColumns(SongListView& list);

// The selected (focused) row's key, or empty.
QString lvGetSelectedKey(const SongListView& list);
// The selected rows' keys top to bottom; `keys` is untouched when none.
void lvGetSelectedKeys(const SongListView& list, QStringList& keys);

// Stretches `control` to width W and height H minus its position and the
// margins.
void lvFitControl(int width, int rightMargin, int height, int bottomMargin, QWidget& control);
