#include "library/playlistreading.h"

#include "base/modal.h"
#include "base/widgetnames.h"
#include "playlists/m3ufile.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

// Playlists this large (some thousands of lines) show the progress window
// at once; a smaller read shows it only if it has not ended in this time,
// as on a slow disk.
constexpr qint64 kLongPlaylistBytes = 256 * 1024;
constexpr int kQuietMs = 200;
constexpr int kMissingShown = 5;

const QString kReading = QStringLiteral("プレイリストを読み込んでいます...");

} // namespace

frmM3uProgress::frmM3uProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmM3uProgress"));
    setWindowTitle(QStringLiteral("m3uファイル選択"));
    lblProgress = named(new QLabel(kReading, this), "lblProgress");
    prgRead = named(new QProgressBar(this), "prgRead");
    prgRead->setRange(0, 1000);
    prgRead->setValue(0);
    prgRead->setMinimumWidth(360);
    cmdCancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(prgRead);
    layout->addLayout(buttons);
    connect(cmdCancel, &QPushButton::clicked, this, &frmM3uProgress::reject);
}

void frmM3uProgress::showRead(int perMille) {
    prgRead->setValue(perMille);
}

void frmM3uProgress::reject() {
    if (!cmdCancel->isEnabled())
        return;
    cmdCancel->setEnabled(false);
    lblProgress->setText(QStringLiteral("キャンセルしています..."));
    emit cancelRequested();
}

PlaylistReading ReadPlaylists(QWidget* owner, const QStringList& playlists) {
    PlaylistReading reading;
    if (playlists.isEmpty())
        return reading;
    qint64 total = 0;
    for (const QString& playlist : playlists)
        total += QFileInfo(playlist).size();
    std::atomic<bool> cancel = false;
    frmM3uProgress progress(owner);
    QObject::connect(&progress, &frmM3uProgress::cancelRequested, [&cancel] { cancel = true; });
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        qint64 before = 0;
        for (const QString& playlist : playlists) {
            M3uRead read;
            read.progress = [&](qint64 done, qint64) {
                const int perMille = int(1000 * (before + done) / std::max<qint64>(total, 1));
                QMetaObject::invokeMethod(
                    &progress, [&progress, perMille] { progress.showRead(perMille); },
                    Qt::QueuedConnection);
                return !cancel;
            };
            QStringList entries;
            if (ReadM3uFile(playlist, entries, &read)) {
                reading.entries += entries;
                reading.missing += read.missing;
                for (const QString& line : read.missingShown) {
                    if (reading.missingShown.size() < kMissingShown)
                        reading.missingShown << line;
                }
            }
            if (cancel)
                return;
            before += QFileInfo(playlist).size();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &progress, &QDialog::accept);
    worker->start();
    if (total >= kLongPlaylistBytes || !worker->wait(QDeadlineTimer(kQuietMs)))
        runModal(progress);
    worker->wait();
    if (cancel)
        reading = PlaylistReading{{}, 0, {}, true};
    return reading;
}

QString MissingEntriesText(const PlaylistReading& reading) {
    if (reading.missing == 0)
        return QString();
    QStringList lines = {QStringLiteral("プレイリストの %1 件の項目は、ファイルが見つからないため"
                                        "追加しませんでした。")
                             .arg(reading.missing)};
    for (const QString& line : reading.missingShown)
        lines << QStringLiteral("  ") + line;
    if (reading.missing > reading.missingShown.size())
        lines << QStringLiteral("  …");
    return lines.join(u'\n');
}
