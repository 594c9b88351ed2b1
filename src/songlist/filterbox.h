#pragma once

#include <QLineEdit>
#include <QStringList>

class SongListView;

// The box above a song list that narrows it as the user types: the rows
// whose title, artist or genre hold the text (RowFilter). Escape empties
// it; Down or Enter goes to the list. Emptied, the box shows the whole
// list again with the selection it had before the typing began, unless
// rows were selected while it was narrowed: those stay selected.
class FilterBox : public QLineEdit {
    Q_OBJECT

public:
    FilterBox(SongListView& list, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The list's rows are folded for the search as the box takes the focus.
    void focusInEvent(QFocusEvent* event) override;

private:
    void apply(const QString& text);
    void restoreSelection();

    SongListView& list_;
    bool narrowed_ = false;
    QStringList savedKeys_; // selected when the typing began
    QString savedCurrent_;
};
