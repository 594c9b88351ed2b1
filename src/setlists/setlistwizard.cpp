#include "setlists/setlistwizard.h"

#include "base/combohelpers.h"
#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/widgetnames.h"
#include "data/adoconnector.h"
#include "setlists/setlistsave.h"
#include "setlists/updown.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <QValidator>

namespace {

const QString kRowLabels[setlists::kRows] = {QStringLiteral("条件１："), QStringLiteral("条件２："),
                                             QStringLiteral("条件３："), QStringLiteral("条件４："),
                                             QStringLiteral("条件５：")};

// The number box is acceptable exactly when OK accepts its text. It still
// takes whatever is typed: refusing a keystroke would quietly turn "3.5"
// into "35"; OK says what is wrong instead.
class NumberValidator : public QValidator {
public:
    NumberValidator(setlists::Kind kind, QObject* parent) : QValidator(parent), kind_(kind) {}

    State validate(QString& input, int&) const override {
        return setlists::numberOf(kind_, input) ? Acceptable : Intermediate;
    }

private:
    setlists::Kind kind_;
};

} // namespace

using namespace setlists;

frmSetListWizard::frmSetListWizard(QWidget* parent)
    : QDialog(parent), isFree_([](const QString&) { return true; }) {
    setObjectName(QStringLiteral("frmSetListWizard"));
    setWindowTitle(QStringLiteral("セットリスト追加／編集Wizard"));

    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(named(new QLabel(QStringLiteral("セットリスト名称："), this), "lblName"));
    txtSetListName = named(new QLineEdit(this), QStringLiteral("txtSetListName"));
    nameRow->addWidget(txtSetListName, 1);
    layout->addLayout(nameRow);
    layout->addWidget(
        named(new QLabel(QStringLiteral("セットリストの選曲条件を設定して下さい。"), this),
              "lblMessage"));

    auto* grid = new QGridLayout;
    for (int i = 0; i < kRows; ++i) {
        grid->addWidget(named(new QLabel(kRowLabels[i], this), indexed("lblCond", i)), i, 0);
        cboCond[i] = named(new QComboBox(this), indexed("cboCond", i));
        cboCond[i]->setMinimumContentsLength(14);
        cboExt[i] = named(new QComboBox(this), indexed("cboExt", i));
        cboExt[i]->addItems({kAtLeast, kAtMost});
        txtVal[i] = named(new QLineEdit(this), indexed("txtVal", i));
        txtVal[i]->setMaximumWidth(80);
        txtVal[i]->setAlignment(Qt::AlignRight);
        udVal[i] = named(new UpDown(this), indexed("udVal", i));
        udVal[i]->setBuddy(txtVal[i]);
        cboSelKind[i] = named(new QComboBox(this), indexed("cboSelKind", i));
        cboSelKind[i]->setMinimumContentsLength(16);
        cboJoin[i] = named(new QComboBox(this), indexed("cboJoin", i));
        cboJoin[i]->addItems({QStringLiteral("and"), QStringLiteral("or")});
        auto* number = new QHBoxLayout;
        number->setSpacing(0);
        number->addWidget(txtVal[i]);
        number->addWidget(udVal[i]);
        grid->addWidget(cboCond[i], i, 1);
        grid->addWidget(cboExt[i], i, 2);
        grid->addLayout(number, i, 3);
        grid->addWidget(cboSelKind[i], i, 4);
        grid->addWidget(cboJoin[i], i, 5);
        connect(cboCond[i], &QComboBox::currentIndexChanged, this, [this, i] {
            if (!busy_)
                frmSlw_SetCondRow(i);
        });
    }
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel =
        named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmSetListWizard::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // On load: not busy, every joint on "and", only row 0 open.
    busy_ = false;
    for (int i = 0; i < kRows; ++i) {
        cboJoin[i]->setCurrentIndex(0);
        cboCond[i]->setEnabled(i == 0);
        showControls(i, false, false, false);
    }
}

void frmSetListWizard::setSetListName(const QString& name) {
    oldName_ = name;
    txtSetListName->setText(name);
}

void frmSetListWizard::frmSlw_InitForm() {
    frmSlw_SetCondList();
    for (int i = 0; i < kRows; ++i)
        selectKind(i, QString());
    if (State != 1)
        return;
    Recordset rs;
    if (gConnector->adoGetData(Read::SetListConditions, rs, oldName_) && !rs.Eof())
        frmSlw_LoadCondition(rs);
}

void frmSetListWizard::frmSlw_SetCondList() {
    const QScopedValueRollback busy(busy_, true);
    Recordset albums;
    const bool hasAlbums = gConnector->adoGetData(Read::Albums, albums) && !albums.Eof();
    for (int i = 0; i < kRows; ++i) {
        cboCond[i]->clear();
        if (i > 0)
            cboCond[i]->addItem(caption(Kind::Unset));
        else if (hasAlbums)
            cboCond[i]->addItem(caption(Kind::Album));
        for (Kind k : {Kind::PlayCount, Kind::Priority, Kind::Genre, Kind::Artist, Kind::BreakOut,
                       Kind::Trend})
            cboCond[i]->addItem(caption(k));
    }
    cboCond[0]->setCurrentIndex(0);
}

void frmSetListWizard::selectKind(int row, const QString& text) {
    const int before = cboCond[row]->currentIndex();
    SelectComboItem(cboCond[row], text);
    if (cboCond[row]->currentIndex() == before && !busy_)
        frmSlw_SetCondRow(row);
}

void frmSetListWizard::showControls(int row, bool selection, bool number, bool join) {
    cboSelKind[row]->setVisible(selection);
    txtVal[row]->setVisible(number);
    udVal[row]->setVisible(number);
    cboExt[row]->setVisible(number);
    cboJoin[row]->setVisible(join && row < kRows - 1);
}

void frmSetListWizard::clearRowsAfter(int row) {
    for (int j = row + 1; j < kRows; ++j) {
        cboCond[j]->setCurrentIndex(0);
        cboCond[j]->setEnabled(false);
        showControls(j, false, false, false);
    }
}

void frmSetListWizard::frmSlw_SetCondRow(int row) {
    const QScopedValueRollback busy(busy_, true);
    const Kind kind = kindOf(cboCond[row]->currentText());
    switch (kind) {
    case Kind::Unset:
        showControls(row, false, false, false);
        clearRowsAfter(row);
        return;
    case Kind::Album:
        clearRowsAfter(row);
        showControls(row, true, false, false);
        frmSlw_SetAlbumList(row);
        return;
    default:
        break;
    }
    if (row < kRows - 1) {
        cboCond[row + 1]->setEnabled(true);
        cboJoin[row]->setCurrentIndex(0);
    }
    if (isNumeric(kind)) {
        showControls(row, false, true, true);
        txtVal[row]->setText(QStringLiteral("0"));
        cboExt[row]->setCurrentIndex(0);
        setNumberRange(row);
        return;
    }
    showControls(row, true, false, true);
    if (kind == Kind::Genre)
        frmSlw_SetJanlList(row);
    else if (kind == Kind::Artist)
        frmSlw_SetArtistList(row);
    else
        frmSlw_SetCheckList(row);
}

void frmSetListWizard::setNumberRange(int row) {
    // Whole numbers only, within what the condition can mean.
    const Kind kind = kindOf(cboCond[row]->currentText());
    delete txtVal[row]->validator();
    txtVal[row]->setValidator(new NumberValidator(kind, txtVal[row]));
    udVal[row]->setRange(0, maximumOf(kind));
}

void frmSetListWizard::fillSelection(int row, int kind, const QString& field) {
    cboSelKind[row]->clear();
    Recordset rs;
    if (gConnector->adoGetData(kind, rs)) {
        for (; !rs.Eof(); rs.MoveNext())
            cboSelKind[row]->addItem(rs.text(field));
    }
    cboSelKind[row]->setCurrentIndex(cboSelKind[row]->count() ? 0 : -1);
}

void frmSetListWizard::frmSlw_SetJanlList(int row) {
    fillSelection(row, 13, QStringLiteral("ジャンル名"));
}

void frmSetListWizard::frmSlw_SetArtistList(int row) {
    fillSelection(row, 18, QStringLiteral("アーティスト名"));
}

void frmSetListWizard::frmSlw_SetAlbumList(int row) {
    fillSelection(row, 11, QStringLiteral("アルバム名"));
}

void frmSetListWizard::frmSlw_SetCheckList(int row) {
    cboSelKind[row]->clear();
    cboSelKind[row]->addItems({kChecked, kUnchecked});
    cboSelKind[row]->setCurrentIndex(0);
}

void frmSetListWizard::frmSlw_LoadCondition(const Recordset& row) {
    txtSetListName->setText(row.text(QStringLiteral("セットリスト名")));
    const Conditions stored = fromStoredRow(row);
    for (int i = 0; i < kRows; ++i) {
        const Condition& c = stored[size_t(i)];
        selectKind(i, c.kind == Kind::Unset ? QString() : caption(c.kind));
        if (c.kind == Kind::Album) {
            SelectComboItem(cboSelKind[i], c.value);
            break;
        }
        if (isNumeric(c.kind)) {
            txtVal[i]->setText(c.value);
            SelectComboItem(cboExt[i], c.comparison);
        } else if (c.kind != Kind::Unset) {
            SelectComboItem(cboSelKind[i], c.value);
        }
        SelectComboItem(cboJoin[i], c.join);
    }
}

setlists::Conditions frmSetListWizard::conditions() const {
    Conditions rows;
    for (int i = 0; i < kRows; ++i) {
        Condition& c = rows[size_t(i)];
        c.kind = kindOf(cboCond[i]->currentText());
        c.comparison = cboExt[i]->currentText();
        c.value = isNumeric(c.kind) ? txtVal[i]->text() : cboSelKind[i]->currentText();
        c.join = cboJoin[i]->currentText();
    }
    return rows;
}

void frmSetListWizard::cmdOK_Click() {
    const QString name = txtSetListName->text();
    if (name.isEmpty()) {
        ShowMessage(Msg::EnterSetListName, 0);
        return;
    }
    if (!isFree_(name) && !(State == 1 && name == oldName_)) {
        ShowMessage(Msg::SetListExists, 0);
        return;
    }
    // A number that is not a whole number in range would make a broken query.
    const Conditions rows = conditions();
    if (const auto row = invalidRow(rows)) {
        // Message 11, with the row and the range it takes.
        msgbox::show(MessageText(Msg::SetConditions) + QStringLiteral("\r\n") + kRowLabels[*row] +
                         QStringLiteral("0 から %1 までの整数を入力して下さい")
                             .arg(maximumOf(rows[size_t(*row)].kind)),
                     0, kDefaultMessageTitle);
        txtVal[*row]->setFocus();
        txtVal[*row]->selectAll();
        return;
    }
    if (State == 1 ? frmSlw_UpdateSetList() : frmSlw_SaveSetList())
        accept();
}

bool frmSetListWizard::frmSlw_SaveSetList() {
    QString error;
    if (saveSetList(txtSetListName->text(), conditions(), error))
        return true;
    if (!error.isEmpty())
        msgbox::show(error, 0, QStringLiteral("DBError"));
    ShowMessage(Msg::SetListFailed, 0);
    return false;
}

bool frmSetListWizard::frmSlw_UpdateSetList() {
    QString error;
    if (updateSetList(oldName_, txtSetListName->text(), conditions(), error))
        return true;
    if (!error.isEmpty())
        msgbox::show(error, 0, QStringLiteral("DBError"));
    ShowMessage(Msg::SetListFailed, 0);
    return false;
}
