#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SongListView;

// The search window: finds rows of a song list by a piece of text in one
// of its columns. It is modeless; each "次を検索" selects the next
// matching row after the previous hit (see lvSerchWalk).
class frmSerch : public QDialog {
    Q_OBJECT

public:
    explicit frmSerch(QWidget* parent = nullptr);

    // Appends a column caption to cboSerchColumn and selects it.
    void frmSerch_AddSerchCol(const QString& name);
    // The list searched.
    QPointer<SongListView> SerchListView;

    // The next search starts from the top: set when the window opens and
    // whenever the column text is edited by typing.
    bool restart() const { return restart_; }

    void cmdNext_Click();

    QLabel* Label1;
    QComboBox* cboSerchColumn;
    QLabel* lblSerch;
    QLineEdit* txtSerch;
    QPushButton* cmdNext;
    QPushButton* cmdCancel;

private:
    // The list column named by cboSerchColumn's text (ignoring case and
    // width), or -1 when no column has that caption.
    int serchColumn() const;

    bool restart_ = true;
};

// One "find next" on `list`: selects the next matching row alone, scrolls
// it into view and gives the list the focus in its window; without a match
// shows message 25.
void lvSerchNext(int column, const QString& text, SongListView& list, bool restart);
