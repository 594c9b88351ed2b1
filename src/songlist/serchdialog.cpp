#include "songlist/serchdialog.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/textfold.h"
#include "base/widgetnames.h"
#include "songlist/search.h"
#include "songlist/songlistview.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmSerch::frmSerch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSerch"));
    setWindowTitle(QStringLiteral("検索"));

    Label1 = named(new QLabel(QStringLiteral("検索対象列"), this), QStringLiteral("Label1"));
    cboSerchColumn = named(new QComboBox(this), QStringLiteral("cboSerchColumn"));
    cboSerchColumn->setEditable(true);
    // A typed text names a column; it never becomes an entry.
    cboSerchColumn->setInsertPolicy(QComboBox::NoInsert);
    lblSerch = named(new QLabel(QStringLiteral("検索文字列"), this), QStringLiteral("lblSerch"));
    txtSerch = named(new QLineEdit(this), QStringLiteral("txtSerch"));
    txtSerch->setMinimumWidth(200);
    cmdNext = named(new QPushButton(QStringLiteral("次を検索"), this), QStringLiteral("cmdNext"));
    cmdNext->setDefault(true);
    cmdCancel =
        named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancel"));
    Label1->setBuddy(cboSerchColumn);
    lblSerch->setBuddy(txtSerch);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cboSerchColumn, 0, 1);
    grid->addWidget(cmdNext, 0, 2);
    grid->addWidget(lblSerch, 1, 0);
    grid->addWidget(txtSerch, 1, 1);
    grid->addWidget(cmdCancel, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetMinimumSize);

    // Only typing raises textEdited; picking an entry does not restart.
    connect(cboSerchColumn->lineEdit(), &QLineEdit::textEdited, this, [this] { restart_ = true; });
    connect(cmdNext, &QPushButton::clicked, this, &frmSerch::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    txtSerch->setFocus();
}

void frmSerch::frmSerch_AddSerchCol(const QString& name) {
    cboSerchColumn->addItem(name);
    cboSerchColumn->setCurrentIndex(cboSerchColumn->count() - 1);
}

int frmSerch::serchColumn() const {
    const QString name = cboSerchColumn->currentText();
    const QStringList& captions = SerchListView->songs().captions();
    for (int c = 0; c < captions.size(); ++c) {
        if (text::equalsFolded(captions[c], name))
            return c;
    }
    return -1;
}

void frmSerch::cmdNext_Click() {
    if (!SerchListView)
        return;
    const int column = serchColumn();
    if (column < 0) {
        // Nothing was searched, so the restart still stands.
        msgbox::show(QStringLiteral("検索対象列「%1」はリストにありません")
                         .arg(cboSerchColumn->currentText()),
                     0, kDefaultMessageTitle);
        return;
    }
    lvSerchNext(column, txtSerch->text(), *SerchListView, restart_);
    restart_ = false;
}

void lvSerchNext(int column, const QString& text, SongListView& list, bool restart) {
    const int row = lvSerchWalk(list.songs(), column, text, restart);
    if (row < 0) {
        ShowMessage(Msg::SearchedToEnd, 0);
        return;
    }
    // The hit becomes the only selected row even where several were.
    list.setMultiSelect(false);
    list.selectKey(list.songs().keyAt(row));
    list.window()->activateWindow();
    list.setFocus();
    list.setMultiSelect(true);
}
