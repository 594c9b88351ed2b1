#pragma once

#include "data/song.h"

#include <QHash>
#include <QMainWindow>

#include <optional>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class SongListView;

// The main window: it brings the program up when loaded and writes the
// user's settings back when it closes.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // `databasePath` empty: the program's own database file.
    explicit frmMain(const QString& databasePath = QString(), QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: the connector, the splash, then frmMain_Init. On failure
    // shows message 1 and shuts down; returns whether the window runs.
    bool Form_Load();

    bool frmMain_Init();
    void frmMain_SetSetListCombo();
    void frmMain_ReloadSetList();
    void frmMain_StopSong();

    QAction* action(const QString& name) const { return actions_.value(name); }

    // Controls, under the names the rest of the program uses.
    SongListView* lvSongList;
    QLabel* lblSetList;
    QComboBox* cboSetList;
    QLabel* lblPlayState;
    QComboBox* cboHowToPlay;
    QGroupBox* fraSong;
    QLabel* lblSongDisp1;
    QLabel* lblSongDisp2;
    QFrame* linSongName;
    QFrame* linArtist;
    QSlider* sldDuration;
    QToolButton* cmdPlay;
    QToolButton* cmdStop;
    QToolButton* cmdNext;
    QSlider* sldVolume;
    QStatusBar* statBar;
    QTimer* tmDuration;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void frmMain_SetMainAppearance();
    void layoutControls(int width, int height);
    // Shutdown: the settings in their order, then the connector.
    void Form_Unload();

    QString databasePath_;
    QHash<QString, QAction*> actions_;
    std::optional<Song> currentSong_;
    bool compact_ = false;
    bool comboGuard_ = false;
    bool counted_ = false;
    bool webPane_ = false;
    bool started_ = false;  // frmMain_Init completed: its settings may be saved
    bool unloaded_ = false; // the shutdown runs once
};
