#pragma once

#include "app/mainwindow.h"
#include "fakeplayer.h"
#include "scriptedpresenter.h"
#include "templibrary.h"

#include <QTest>

#include <memory>

// The main window over a fresh library, its message boxes answered by
// script: fill `lib`, then start the window.
struct MainFixture {
    TempLibrary lib;
    ScriptedPresenter boxes;
    std::unique_ptr<frmMain> w;

    // The window loaded over the library (the player taken over) and
    // shown; nullptr when the start failed.
    frmMain* start(MediaPlayer* player = new FakePlayer) {
        lib.close();
        w = std::make_unique<frmMain>(lib.path(), player);
        if (!w->Form_Load())
            return nullptr;
        w->show();
        return QTest::qWaitForWindowExposed(w.get()) ? w.get() : nullptr;
    }
};
