#include "export/copydialog.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "base/widgetnames.h"
#include "export/foldercopy.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

frmCopyProgress::frmCopyProgress(int count, QWidget* parent) : QDialog(parent), count_(count) {
    setObjectName(QStringLiteral("frmCopyProgress"));
    setWindowTitle(QStringLiteral("指定フォルダへコピー"));
    lblProgress = named(new QLabel(this), QStringLiteral("lblProgress"));
    lblFile = named(new QLabel(this), QStringLiteral("lblFile"));
    lblFile->setMinimumWidth(360);
    lblFile->setTextFormat(Qt::PlainText);
    // A long name is cut at the label's edge rather than widening the window.
    lblFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    prgCopy = named(new QProgressBar(this), QStringLiteral("prgCopy"));
    prgCopy->setRange(0, count);
    prgCopy->setValue(0);
    cmdCancel =
        named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(lblFile);
    layout->addWidget(prgCopy);
    layout->addLayout(buttons);

    connect(cmdCancel, &QPushButton::clicked, this, &frmCopyProgress::reject);
    showFile(0, QString());
}

void frmCopyProgress::showFile(int index, const QString& name) {
    // After a cancel the window says so until the copy has stopped.
    if (cmdCancel->isEnabled())
        lblProgress->setText(
            QStringLiteral("ファイルをコピーしています（%1 / %2）").arg(index + 1).arg(count_));
    lblFile->setText(name);
    prgCopy->setValue(index);
}

void frmCopyProgress::reject() {
    if (!cmdCancel->isEnabled())
        return;
    cmdCancel->setEnabled(false);
    lblProgress->setText(QStringLiteral("キャンセルしています..."));
    emit cancelRequested();
}

void CopyToFolder(QWidget* owner, const QStringList& sources, const QString& folder) {
    if (sources.isEmpty())
        return;
    FolderCopy copy(sources, folder);
    // Files of the same name are replaced only when the user says so, once
    // for all of them.
    if (const int existing = copy.existingTargets()) {
        const int answer = msgbox::show(
            QStringLiteral("コピー先に同じ名前のファイルが %1 個あります。\n"
                           "置き換えますか？（「いいえ」でそれらのファイルを残します）")
                .arg(existing),
            3 | 0x20, kDefaultMessageTitle);
        if (answer != msgbox::Yes && answer != msgbox::No)
            return;
        copy.keepExisting(answer == msgbox::No);
    }
    frmCopyProgress progress(copy.count(), owner);
    QObject::connect(&progress, &frmCopyProgress::cancelRequested, [&copy] { copy.cancel(); });
    const std::unique_ptr<QThread> worker(QThread::create([&copy, &progress] {
        copy.run([&copy, &progress](int index) {
            const QString name = QFileInfo(copy.targetOf(index)).fileName();
            QMetaObject::invokeMethod(
                &progress, [&progress, index, name] { progress.showFile(index, name); },
                Qt::QueuedConnection);
        });
    }));
    QObject::connect(worker.get(), &QThread::finished, &progress, &QDialog::accept);
    worker->start();
    runModal(progress);
    worker->wait();
    if (!copy.error().isEmpty())
        msgbox::show(copy.error(), 0, kDefaultMessageTitle);
}
