// The main window's copy command: the files of the list on screen into a
// folder the user picks, for example a portable player's.

#include "app/mainwindow.h"

#include "base/messagecatalogue.h"
#include "base/messagepresenter.h"
#include "base/modal.h"
#include "data/adoconnector.h"
#include "export/copydialog.h"
#include "songlist/songlistview.h"

#include <QAction>
#include <QFileDialog>

namespace {

// STAND-IN until the folder picker lands: a plain folder dialog that opens
// at the stored "ファイル検索パス" folder and stores the folder chosen.
std::optional<QString> pickFolder(QWidget* owner) {
    QString start;
    Recordset rs;
    if (gConnector->adoGetData(15, rs) && !rs.Eof())
        start = rs.text(QStringLiteral("設定値"));
    QFileDialog picker(owner, QStringLiteral("ディレクトリ選択"), start);
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    picker.setOption(QFileDialog::DontUseNativeDialog);
    if (runModal(picker) != QDialog::Accepted || picker.selectedFiles().isEmpty())
        return std::nullopt;
    const QString folder = picker.selectedFiles().front();
    gConnector->adoSetData(30, {folder});
    return folder;
}

// The cells of the list's first "ﾌｧｲﾙﾊﾟｽ" column in display order; false
// when it has none.
bool filePathsOf(const SongListModel& list, QStringList& paths) {
    const int column = list.captions().indexOf(QStringLiteral("ﾌｧｲﾙﾊﾟｽ"));
    if (column < 0)
        return false;
    for (int p = 0; p < list.count(); ++p)
        paths << list.cellAt(p, column).toString();
    return true;
}

} // namespace

void frmMain::connectCopy() {
    connect(action(QStringLiteral("mnuFile_CopySong")), &QAction::triggered, this,
            &frmMain::mnuFile_CopySong_Click);
}

std::optional<QString> frmMain::chooseCopyFolder() {
    return pickFolder(this);
}

void frmMain::mnuFile_CopySong_Click() {
    ShowMessage(26, 0);
    const std::optional<QString> folder = chooseCopyFolder();
    if (!folder)
        return;
    QStringList sources;
    if (!filePathsOf(lvSongList->songs(), sources)) {
        msgbox::show(QStringLiteral("ﾌｧｲﾙﾊﾟｽの列が表示されていないため、コピーできません"), 0,
                     kDefaultMessageTitle);
        return;
    }
    CopyToFolder(this, sources, *folder);
}
