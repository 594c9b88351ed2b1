#include "export/copydialog.h"

#include "base/longwork.h"
#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "export/foldercopy.h"

#include <QFileInfo>

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
    runLongWork(
        owner, QStringLiteral("ファイルをコピーしています..."), [&](WorkProgress& progress) {
            progress.setMaximum(copy.count());
            return copy.run(
                [&](int index) {
                    progress.setValue(index);
                    progress.setText(QStringLiteral("ファイルをコピーしています（%1 / %2）\n%3")
                                         .arg(index + 1)
                                         .arg(copy.count())
                                         .arg(QFileInfo(copy.targetOf(index)).fileName()));
                },
                [&] { return progress.isCancelled(); });
        });
    if (!copy.skipped().isEmpty())
        msgbox::show(
            QStringLiteral("通常のファイルではないため、次のファイルはコピーしませんでした。\n") +
                copy.skipped().join(u'\n'),
            0, kDefaultMessageTitle);
    if (!copy.error().isEmpty())
        msgbox::show(copy.error(), 0, kDefaultMessageTitle);
}
