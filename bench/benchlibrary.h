#pragma once

#include "base/messagepresenter.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

class ADO_Connector;

// What the benchmarks share: a large library and the way figures are shown.

// A library of `songs` songs with random titles, paths, genres, artists,
// flags, volumes and counts (40 genres, 2,000 artists) and every column
// shown, in a temporary folder; the program's connector while it lives.
class BenchLibrary {
public:
    explicit BenchLibrary(int songs);
    ~BenchLibrary();
    ADO_Connector& db() { return *db_; }
    QString path() const { return dir_.path() + QStringLiteral("/DataBase/MelodaraPlayer.db"); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<ADO_Connector> db_;
};

// Windows are drawn offscreen unless a platform is chosen; call before
// the application object is made.
void drawOffscreenByDefault();

double ms(const QElapsedTimer& timer);
// Processor time of this thread: on a busy machine it shows what the
// work itself costs, apart from waiting for a core.
double threadCpuMs();
// Processor time of every thread of the program: work handed to a worker
// counts too.
double processCpuMs();

// One figure beside its target.
void report(const char* what, double value, const char* unit, const char* target);

// Resident memory of this process in megabytes.
double residentMb();

// The machine's load average over the last minute, shown with the figures:
// other work on a shared machine slows every figure down.
double loadAverage();

// Answers every box with OK, counting them, while it lives.
class AnswerOk final : public MessagePresenter {
public:
    AnswerOk();
    ~AnswerOk() override;
    int present(const QString& text, int style, const QString& title) override;
    int boxes() const { return boxes_; }

private:
    int boxes_ = 0;
};
