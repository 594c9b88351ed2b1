#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointF>

class PlayerControl;
class QFrame;
class QLabel;
class QToolButton;

namespace displaysettings {
struct Appearance;
}

// The compact player: a small frameless window with rounded corners that
// stands in for the main window. It shows the two now-playing texts and
// the play, stop, next and return buttons, stays on top until its "●"
// mark is clicked, and is moved by dragging its surface or its texts.
class frmCompact : public QDialog {
    Q_OBJECT

public:
    explicit frmCompact(QWidget* parent = nullptr);

    // The corner ellipse of the window's shape, in pixels.
    static constexpr int kCorner = 35;
    // The "●" mark's stored colours while pinned on top and while not.
    static constexpr qint32 kPinnedColor = 8454143;
    static constexpr qint32 kUnpinnedColor = 16711680;

    // The now-playing texts, each only when it is not empty, and the
    // pictures of the main window's play, stop and next buttons.
    void frmCpt_SetCaption(const QString& text1, const QString& text2, const QToolButton& play,
                           const QToolButton& stop, const QToolButton& next);

    // From now on the texts and the play button show what `player` reports,
    // as the main window's do.
    void follow(const PlayerControl& player);

    // Reads the stored appearance and position and applies them: a stored
    // edge that is not 0 places that edge; with neither, or a place that
    // no screen shows, the window is centred on its screen. A failed read
    // leaves the design appearance, centred.
    void frmCpt_LoadSettings();
    // The appearance alone; a value that is missing changes nothing, and
    // a picture that cannot be loaded leaves no picture.
    void applyAppearance(const displaysettings::Appearance& look);

    bool unpinned() const { return unpinned_; }
    bool dragging() const { return dragging_; }
    bool hasPicture() const { return !picture_.isNull(); }

    // Back to the main window with the window's edges in twips.
    void cmdReturn_Click();
    // The platform's close command (and Escape) acts as the return button.
    void reject() override;

    QToolButton* cmdReturn;
    QToolButton* cmdPlay;
    QToolButton* cmdStop;
    QToolButton* cmdNext;
    QLabel* lblTopMost;
    QLabel* lblSongDisp1;
    QLabel* lblSongDisp2;
    QFrame* linSongName;
    QFrame* linArtist;

signals:
    // Left and top edges in twips, before the window closes.
    void returned(int left, int top);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lblTopMost_Click();
    // False keeps the window above others, true makes it an ordinary
    // window; its size, position and activation stay as they are.
    void setTopMost(bool unpinned);
    void centreOnScreen();

    bool dragging_ = false;
    QPointF dragStart_; // the pointer's place in the window when the drag began
    bool unpinned_ = false;
    QPixmap picture_;
};

// The rounded-rectangle shape of a `size` window whose corners are
// quarters of a `corner` x `corner` ellipse.
QRegion roundedRegion(const QSize& size, int corner);

// Copies a picture button's picture (and its tip, which names the state).
void copyPicture(const QToolButton& from, QToolButton& to);
