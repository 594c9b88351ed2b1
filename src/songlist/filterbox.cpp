#include "songlist/filterbox.h"

#include "songlist/rowfilter.h"
#include "songlist/songlistview.h"

#include <QItemSelection>
#include <QKeyEvent>

#include <algorithm>
#include <utility>

FilterBox::FilterBox(SongListView& list, QWidget* parent) : QLineEdit(parent), list_(list) {
    setClearButtonEnabled(true);
    setPlaceholderText(QStringLiteral("絞り込み (Ctrl+L)"));
    setToolTip(QStringLiteral("曲名・アーティスト・ジャンルで一覧を絞り込みます（Esc で解除）"));
    connect(this, &QLineEdit::textChanged, this, &FilterBox::apply);
}

void FilterBox::apply(const QString& text) {
    const RowFilter filter(text);
    if (filter.active() && !narrowed_) {
        savedKeys_ = list_.selectedKeys();
        const QModelIndex current = list_.currentIndex();
        savedCurrent_ = current.isValid() ? list_.songs().keyAt(current.row()) : QString();
    }
    list_.songs().setFilter(filter);
    if (narrowed_ && !filter.active())
        restoreSelection();
    narrowed_ = filter.active();
}

// In ranges of neighbouring rows, so that thousands of selected songs come
// back in one step.
void FilterBox::restoreSelection() {
    const bool kept = !list_.selectedKeys().isEmpty();
    const QStringList saved = std::exchange(savedKeys_, {});
    const QString current = std::exchange(savedCurrent_, {});
    if (kept)
        return;
    const SongListModel& songs = list_.songs();
    QList<int> rows;
    for (const QString& key : saved) {
        if (const int row = songs.position(key); row >= 0)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    QItemSelection selection;
    const int last = std::max(0, songs.columnCount() - 1);
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(songs.index(rows[i], 0), songs.index(rows[j], last));
        i = j + 1;
    }
    const int currentRow = songs.position(current);
    if (currentRow >= 0)
        list_.selectionModel()->setCurrentIndex(songs.index(currentRow, 0),
                                                QItemSelectionModel::NoUpdate);
    list_.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (currentRow >= 0)
        list_.scrollTo(songs.index(currentRow, 0));
}

void FilterBox::focusInEvent(QFocusEvent* event) {
    list_.songs().prepareFilter();
    QLineEdit::focusInEvent(event);
}

void FilterBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        if (!text().isEmpty()) {
            clear();
            return;
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        list_.setFocus();
        return;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}
