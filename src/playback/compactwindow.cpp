#include "playback/compactwindow.h"

#include "base/pictures.h"
#include "base/storedcolor.h"
#include "base/twips.h"
#include "base/widgetnames.h"
#include "base/windowplace.h"
#include "playback/nowplaying.h"
#include "playback/playbutton.h"
#include "playback/playercontrol.h"
#include "songlist/displaysettings.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

void setColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette p = widget->palette();
    p.setColor(role, color);
    widget->setPalette(p);
}

// A line under a text: a one-pixel bar in the text colour.
QFrame* underline(QWidget* parent, const char* name) {
    auto* line = named(new QFrame(parent), name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

void frmCompact::follow(const PlayerControl& player) {
    connect(&player, &PlayerControl::songStarted, this, [this](const Song& song) {
        if (const auto texts = nowplaying::frameTexts(song)) {
            lblSongDisp1->setText(texts->first);
            lblSongDisp2->setText(texts->second);
        }
    });
    connect(&player, &PlayerControl::stateChanged, this,
            [this](int state) { setPlayButton(*cmdPlay, playStateWord(state)); });
    connect(&player, &PlayerControl::stopped, this, [this] {
        lblSongDisp1->clear();
        lblSongDisp2->clear();
    });
}

QRegion roundedRegion(const QSize& size, int corner) {
    const int w = size.width();
    const int h = size.height();
    const int r = corner / 2;
    QRegion region(r, 0, w - 2 * r, h);
    region += QRegion(0, r, w, h - 2 * r);
    for (const QPoint& at : {QPoint(0, 0), QPoint(w - corner, 0), QPoint(0, h - corner),
                             QPoint(w - corner, h - corner)})
        region += QRegion(at.x(), at.y(), corner, corner, QRegion::Ellipse);
    return region;
}

frmCompact::frmCompact(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCompact"));
    setWindowTitle(QStringLiteral("MelodaraPlayer"));
    setAutoFillBackground(true);

    lblTopMost = named(new QLabel(QStringLiteral("●"), this), "lblTopMost");
    lblTopMost->setToolTip(QStringLiteral("常に手前に表示"));
    lblTopMost->installEventFilter(this);
    lblSongDisp1 = named(new QLabel(this), "lblSongDisp1");
    lblSongDisp2 = named(new QLabel(this), "lblSongDisp2");
    // Song titles, artists and paths are shown as typed, never as markup.
    for (QLabel* label : {lblSongDisp1, lblSongDisp2})
        label->setTextFormat(Qt::PlainText);
    QFont title = lblSongDisp1->font();
    title.setPointSizeF(title.pointSizeF() * 1.2);
    title.setBold(true);
    lblSongDisp1->setFont(title);
    linSongName = underline(this, "linSongName");
    linArtist = underline(this, "linArtist");
    using pictures::Picture;
    cmdPlay =
        pictures::button(this, QStringLiteral("cmdPlay"), QStringLiteral("再生"), Picture::Play);
    cmdStop =
        pictures::button(this, QStringLiteral("cmdStop"), QStringLiteral("停止"), Picture::Stop);
    cmdNext =
        pictures::button(this, QStringLiteral("cmdNext"), QStringLiteral("次の曲"), Picture::Next);
    cmdReturn = pictures::button(this, QStringLiteral("cmdReturn"),
                                 QStringLiteral("メイン画面に戻る"), Picture::Return);

    // Design size and places, in pixels; the corners keep 17 pixels clear.
    setFixedSize(380, 116);
    lblTopMost->setGeometry(20, 12, 18, 22);
    lblSongDisp1->setGeometry(44, 10, 312, 24);
    linSongName->setGeometry(44, 35, 312, 1);
    lblSongDisp2->setGeometry(44, 40, 312, 20);
    linArtist->setGeometry(44, 61, 312, 1);
    cmdPlay->setGeometry(44, 68, 40, 40);
    cmdStop->setGeometry(88, 68, 40, 40);
    cmdNext->setGeometry(132, 68, 40, 40);
    cmdReturn->setGeometry(316, 68, 40, 40);
    for (QToolButton* b : {cmdPlay, cmdStop, cmdNext, cmdReturn})
        b->setAutoRaise(true);
    for (QFrame* line : {linSongName, linArtist})
        setColor(line, QPalette::Window, lblSongDisp1->palette().color(QPalette::WindowText));
    connect(cmdReturn, &QToolButton::clicked, this, &frmCompact::cmdReturn_Click);

    // On load: not dragging, pinned on top, rounded.
    dragging_ = false;
    dragStart_ = QPointF();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    unpinned_ = false;
    setColor(lblTopMost, QPalette::WindowText, storedColor(kPinnedColor));
    setTopMost(false);
    setMask(roundedRegion(size(), kCorner));
    // The design place: a stored edge of 0 keeps it.
    move(0, 0);
}

void frmCompact::frmCpt_SetCaption(const QString& text1, const QString& text2,
                                   const QToolButton& play, const QToolButton& stop,
                                   const QToolButton& next) {
    if (!text1.isEmpty())
        lblSongDisp1->setText(text1);
    if (!text2.isEmpty())
        lblSongDisp2->setText(text2);
    copyPicture(play, *cmdPlay);
    copyPicture(stop, *cmdStop);
    copyPicture(next, *cmdNext);
}

void frmCompact::frmCpt_LoadSettings() {
    displaysettings::Appearance look;
    if (!displaysettings::readAppearance(displaysettings::Window::Compact, look)) {
        centreOnScreen();
        return;
    }
    applyAppearance(look);
    bool placed = false;
    if (look.left && *look.left != 0) {
        move(twipsToPixels(*look.left, logicalDpiX()), y());
        placed = true;
    }
    if (look.top && *look.top != 0) {
        move(x(), twipsToPixels(*look.top, logicalDpiY()));
        placed = true;
    }
    if (placed)
        move(windowPlace(QRect(pos(), size()), screenGeometries(), screen()->geometry()));
    else
        centreOnScreen();
}

void frmCompact::applyAppearance(const displaysettings::Appearance& look) {
    if (look.picturePath) {
        picture_ = QPixmap();
        if (!look.picturePath->isEmpty())
            picture_.load(*look.picturePath);
        update();
    }
    if (look.textColor) {
        const QColor color = storedColor(*look.textColor);
        setColor(lblSongDisp1, QPalette::WindowText, color);
        setColor(linSongName, QPalette::Window, color);
        setColor(lblSongDisp2, QPalette::WindowText, color);
        setColor(linArtist, QPalette::Window, color);
    }
    if (look.backColor)
        setColor(this, QPalette::Window, storedColor(*look.backColor));
}

void frmCompact::centreOnScreen() {
    const QRect area = screen()->geometry();
    move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
}

void frmCompact::cmdReturn_Click() {
    emit returned(int(std::lround(pixelsToTwips(x(), logicalDpiX()))),
                  int(std::lround(pixelsToTwips(y(), logicalDpiY()))));
    done(QDialog::Accepted);
}

void frmCompact::reject() {
    cmdReturn_Click();
}

void frmCompact::lblTopMost_Click() {
    unpinned_ = !unpinned_;
    setColor(lblTopMost, QPalette::WindowText,
             storedColor(unpinned_ ? kUnpinnedColor : kPinnedColor));
    setTopMost(unpinned_);
}

void frmCompact::setTopMost(bool unpinned) {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, !unpinned);
    if (QWindow* window = windowHandle()) {
        // Told to the window system directly: setting the widget's flags
        // would re-create the window, which hides it and loses its place.
        overrideWindowFlags(flags);
        window->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void frmCompact::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture_);
    }
}

// The texts do not take the mouse, so a drag on them reaches the window.
void frmCompact::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QDialog::mousePressEvent(event);
    dragging_ = true;
    dragStart_ = event->globalPosition() - QPointF(pos());
}

void frmCompact::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return QDialog::mouseMoveEvent(event);
    move((event->globalPosition() - dragStart_).toPoint());
}

void frmCompact::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QDialog::mouseReleaseEvent(event);
    dragging_ = false;
}

bool frmCompact::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblTopMost) {
        if (event->type() == QEvent::MouseButtonPress)
            return true; // a click on the mark is not a drag
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && lblTopMost->rect().contains(mouse->pos()))
                lblTopMost_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void copyPicture(const QToolButton& from, QToolButton& to) {
    to.setIcon(from.icon());
    to.setToolTip(from.toolTip());
}
