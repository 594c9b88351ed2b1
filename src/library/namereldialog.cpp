#include "library/namereldialog.h"

#include "base/okcancelrow.h"
#include "library/nameedit.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct RelTexts {
    const char* formName;
    const char* listName;
    QString caption;
    QString designLabel;
    QString questionBefore;
    QString questionAfter;
};

const RelTexts& textsOf(library::NameKind kind) {
    static const RelTexts genre{"frmJanlRel",
                                "cboJanl",
                                QStringLiteral("旧ジャンル名との関連付け"),
                                QStringLiteral("ジャンルとの関連付け"),
                                QStringLiteral("ジャンル"),
                                QStringLiteral("をどのジャンルと関連付けますか")};
    static const RelTexts artist{"frmArtistRel",
                                 "cboArtist",
                                 QStringLiteral("旧アーティスト名との関連付け"),
                                 QStringLiteral("アーティストとの関連付け"),
                                 QStringLiteral("旧アーティスト名称"),
                                 QStringLiteral("をどのアーティストと関連付けますか")};
    return kind == library::NameKind::Genre ? genre : artist;
}

} // namespace

NameRelDialog::NameRelDialog(library::NameKind kind, QWidget* parent)
    : QDialog(parent), kind_(kind) {
    const RelTexts& texts = textsOf(kind);
    setObjectName(QLatin1String(texts.formName));
    setWindowTitle(texts.caption);

    lblMes = new QLabel(texts.designLabel, this);
    lblMes->setObjectName(QStringLiteral("lblMes"));
    lblMes->setWordWrap(true);
    // The question names the user's genre or artist: never read as markup.
    lblMes->setTextFormat(Qt::PlainText);
    lblMes->setMinimumWidth(320);
    cboList = new QComboBox(this);
    cboList->setObjectName(QLatin1String(texts.listName));
    cboList->setMinimumContentsLength(24);
    linLine = sunkenLine(this, QStringLiteral("linLine"));
    const OkCancelRow buttons = okCancelRow(this, CancelButton::None);
    cmdOK = buttons.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMes);
    layout->addWidget(cboList);
    layout->addStretch();
    layout->addWidget(linLine);
    layout->addLayout(buttons.layout);
    // Fixed at the size the question needs, so a wrapped question is never cut.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdOK, &QPushButton::clicked, this, &NameRelDialog::cmdOK_Click);
}

bool NameRelDialog::prepare(const QString& removed, const QStringList& names) {
    const RelTexts& texts = textsOf(kind_);
    lblMes->setText(texts.questionBefore + removed + texts.questionAfter);
    cboList->clear();
    for (const QString& name : names) {
        if (!name.isEmpty())
            cboList->addItem(name);
    }
    index_ = 0;
    if (cboList->count() == 0)
        return false;
    cboList->setCurrentIndex(0);
    return true;
}

void NameRelDialog::cmdOK_Click() {
    index_ = cboList->currentIndex();
    accept();
}

frmJanlRel::frmJanlRel(QWidget* parent)
    : NameRelDialog(library::NameKind::Genre, parent), cboJanl(cboList) {}

frmArtistRel::frmArtistRel(QWidget* parent)
    : NameRelDialog(library::NameKind::Artist, parent), cboArtist(cboList) {}
