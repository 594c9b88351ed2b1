#pragma once

#include "app/mainsettings.h"
#include "data/song.h"

#include <QMainWindow>
#include <QPointer>

#include <optional>
#include <vector>

class Browser;
class MediaPlayer;
class PlayerControl;
class QAction;
class QComboBox;
class QFrame;
class frmCompact;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class SongListView;
class FilterBox;
class frmSerch;
class frmMelodara;
class Mpris;

// The main window: it brings the program up when loaded and writes the
// user's settings back when it closes.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // `databasePath` empty: the program's own database file. `player`
    // (taken over) replaces the real one, for tests.
    explicit frmMain(const QString& databasePath = QString(), MediaPlayer* player = nullptr,
                     QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: the connector, the splash, then frmMain_Init. On failure
    // shows message 1 and shuts down; returns whether the window runs.
    bool Form_Load();

    bool frmMain_Init();
    void frmMain_SetSetListCombo();
    void frmMain_ReloadSetList();
    // The same set list read again after an edit of names or of the
    // display: unlike frmMain_ReloadSetList, the playing song plays on.
    void frmMain_RefreshSetList();

    // Player control: each forwards to the player control.
    void frmMain_PlaySong(const QString& key);
    void frmMain_StopSong();
    void frmMain_NextSong();
    // The one-second tick of tmDuration: the position and the play count.
    void tmDuration_Timer();
    void sldVolume_Change();
    PlayerControl& playerControl() { return *player_; }
    void mnuEdit_PlaySelListSong_Click();
    void mnuEdit_SetList_Click();
    void mnuEdit_Category_Click();
    void mnuEdit_Artist_Click();
    void mnuEdit_Album_Click();
    // The search window, modeless; at most one is open.
    void mnuEdit_Serch_Click();
    // Copies the files of the list on screen to a folder the user picks.
    void mnuFile_CopySong_Click();

    // The library window and the M3U export.
    void mnuFile_ShowMLP_Click();
    // The library window with `pending` added as its add commands add them.
    void frmMain_ShowLibrary(const QStringList& pending);
    // Files from outside (dropped, on the command line, or handed over by a
    // later start): brings the program to the front and adds them in the
    // library window, opening it when it is closed. While another dialog
    // is open they wait until it has closed.
    void frmMain_OpenFiles(const QStringList& paths);
    void frmMain_Raise();
    Mpris* mpris() const { return mpris_; }
    void mnuFile_ExportM3u_Click();

    // Now-playing display.
    void frmMain_SetFrameSong(const Song* song = nullptr);
    void frmMain_SetStatusBarSong();
    void frmMain_SetPlayButton(QToolButton* button, const QString& state);
    void frmMain_ShowPlaySong();
    QStringList frmMain_MakeSongParams() const;

    // Web pane and help menu.
    void frmMain_ShowWeb(int mode);
    void frmMain_SetWebVisible(bool visible);
    void frmMain_LayoutWeb(int mode);
    void cmdWebClose_Click();
    void mnuHelp_ShowHelp_Click();
    void mnuHelp_Help_Click();
    void mnuHelp_HP_Click();
    bool webPaneOpen() const { return webPane_; }

    // The display settings dialog; after OK the columns, the list and the
    // list's appearance are rebuilt from what it stored.
    void mnuSetting_Disp_Click();

    // Compact mode: the compact window stands in for the minimised main
    // window until it returns with its edges in twips.
    void frmMain_EndCompact(int left, int top);
    bool compact() const { return compact_; }
    frmCompact* compactWindow() const { return frmCpt_; }

    // Song editing: one song (menu and double-click), or the selected
    // songs together.
    // Nothing when the read fails or the song is gone (`removed`).
    std::optional<Song> frmMain_LoadSong(const QString& key, bool* removed = nullptr);
    void frmMain_EditSongProp();
    void frmMain_EditSongPropDirect();

    const std::optional<Song>& currentSong() const;
    bool counted() const;

    // The menu items, built by buildMenus under these names.
    QAction* mnuFile_ShowMLP;
    QAction* mnuFile_ExportM3u;
    QAction* mnuFile_CopySong;
    QAction* mnuFile_Exit;
    QAction* mnuEdit_SetList;
    QAction* mnuEdit_Album;
    QAction* mnuEdit_Category;
    QAction* mnuEdit_Artist;
    QAction* mnuEdit_SongProp;
    QAction* mnuEdit_SongPropDirect;
    QAction* mnuEdit_Serch;
    QAction* mnuEdit_Filter;
    QAction* mnuEdit_PlaySelListSong;
    QAction* mnuSetting_Disp;
    QAction* mnuWeb_SerchGoods;
    QAction* mnuWeb_SerchAuction;
    QAction* mnuWeb_ShowZep;
    QAction* mnuDisp_ShowPlaySong;
    QAction* mnuDisp_Compact;
    QAction* mnuHelp_ShowHelp;
    QAction* mnuHelp_Help;
    QAction* mnuHelp_HP;

    // Controls, under the names the rest of the program uses.
    SongListView* lvSongList;
    FilterBox* txtFilter; // narrows lvSongList as the user types
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
    QLabel* lblDuration; // the place in the song and its length, beside sldDuration
    QToolButton* cmdPlay;
    QToolButton* cmdStop;
    QToolButton* cmdNext;
    QSlider* sldVolume;
    QStatusBar* statBar;
    QLabel* lblStatBarSong; // the status bar's song text
    QTimer* tmDuration;     // the player control's
    MediaPlayer* mpPlayer;
    Browser* brwIE = nullptr; // created when the web pane first opens
    QLineEdit* txtWebAddress;
    QToolButton* cmdWebGoBack;
    QToolButton* cmdWebGoNext;
    QToolButton* cmdWebRefresh;
    QToolButton* cmdWebHome;
    QToolButton* cmdWebClose;

signals:
    // The player's state or song may have changed.
    void playerChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    // The one place where the menu items meet their handlers.
    void connectMenus();
    // Puts the focus in the filter box, its text selected.
    void mnuEdit_Filter_Click();
    void reloadSetList(bool playOn);
    void frmMain_SetMainAppearance();
    // The window's place and size, stored at shutdown and restored at start.
    mainsettings::Place storedPlace() const;
    void restorePlace();
    void layoutControls(int width, int height);
    void layoutDuration(int width);
    void connectPlayer();
    // Space, Enter and double-click in the list.
    void connectListKeys();
    // The playing song takes its edited record, if it was among `written`.
    void followEditedSong(const std::vector<Song>& written);
    void showSkippedSong(const Song& song, const QString& reason);
    void clearSongDisplay();
    void connectFiles();
    void handWaitingFiles();
    void connectMpris();
    void syncMpris();
    void buildWebPane();
    Browser* webBrowser();
    void openWebPage(const QString& address);
    void frmMain_StartCompact();
    // Shutdown: the settings in their order, then the connector.
    void Form_Unload();

    QString databasePath_;
    PlayerControl* player_ = nullptr;
    QPointer<frmSerch> serch_;
    QPointer<frmMelodara> library_; // while the library window is open
    QStringList waitingFiles_;      // files from outside, until a window can take them
    QTimer* filesTimer_ = nullptr;
    Mpris* mpris_ = nullptr;
    bool mprisSyncQueued_ = false;
    bool compact_ = false;
    frmCompact* frmCpt_ = nullptr; // while compact mode lasts
    bool comboGuard_ = false;
    bool skipShown_ = false; // the status bar names a song passed over
    bool webPane_ = false;
    bool loaded_ = false;   // Form_Load opened the connector, so unloading closes it
    bool started_ = false;  // frmMain_Init completed: its settings may be saved
    bool unloaded_ = false; // the shutdown runs once
};
