#include "base/pictures.h"

#include "base/programfolders.h"

#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QToolButton>

#include <tuple>

namespace pictures {

namespace {

constexpr QRgb kTransparent = qRgb(255, 0, 255);
constexpr int kButton = 32;

QImage buttonCanvas() {
    QImage image(kButton, kButton, QImage::Format_RGB32);
    image.fill(kTransparent);
    return image;
}

// One glyph style for every button: a dark teal fill with a light rim.
void paintGlyph(QImage& image, const QPainterPath& path) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false); // anti-aliasing would blend into magenta
    QLinearGradient fill(0, 4, 0, 28);
    fill.setColorAt(0, QColor(38, 140, 150));
    fill.setColorAt(1, QColor(18, 84, 100));
    p.setPen(QPen(QColor(12, 52, 64), 1));
    p.setBrush(fill);
    p.drawPath(path);
}

QImage drawPlay() {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addPolygon(QPolygonF({QPointF(9, 5), QPointF(26, 16), QPointF(9, 27)}));
    path.closeSubpath();
    paintGlyph(image, path);
    return image;
}

QImage drawPause() {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addRect(8, 6, 6, 20);
    path.addRect(18, 6, 6, 20);
    paintGlyph(image, path);
    return image;
}

QImage drawStop() {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addRect(8, 8, 16, 16);
    paintGlyph(image, path);
    return image;
}

QImage drawNext() {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addPolygon(QPolygonF({QPointF(6, 6), QPointF(20, 16), QPointF(6, 26)}));
    path.closeSubpath();
    path.addRect(21, 6, 5, 20);
    paintGlyph(image, path);
    return image;
}

// The web pane's buttons: arrows back and forward, a circling arrow, a
// house and a cross.
QImage drawWebArrow(bool back) {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addPolygon(QPolygonF({QPointF(4, 16), QPointF(15, 5), QPointF(15, 11), QPointF(27, 11),
                               QPointF(27, 21), QPointF(15, 21), QPointF(15, 27)}));
    path.closeSubpath();
    paintGlyph(image, back ? path : QTransform(-1, 0, 0, 1, 31, 0).map(path));
    return image;
}

QImage drawWebRefresh() {
    QImage image = buttonCanvas();
    QPainterPath arc;
    arc.arcMoveTo(6, 6, 20, 20, 60);
    arc.arcTo(6, 6, 20, 20, 60, 280);
    QPainterPathStroker stroker;
    stroker.setWidth(5);
    QPainterPath path = stroker.createStroke(arc);
    path.addPolygon(QPolygonF({QPointF(15, 2), QPointF(24, 3), QPointF(22, 12)}));
    path.closeSubpath();
    paintGlyph(image, path.simplified());
    return image;
}

QImage drawWebHome() {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addPolygon(QPolygonF({QPointF(16, 3), QPointF(29, 16), QPointF(25, 16), QPointF(25, 28),
                               QPointF(19, 28), QPointF(19, 20), QPointF(13, 20), QPointF(13, 28),
                               QPointF(7, 28), QPointF(7, 16), QPointF(3, 16)}));
    path.closeSubpath();
    paintGlyph(image, path);
    return image;
}

QImage drawWebClose() {
    QImage image = buttonCanvas();
    QPainterPath bar;
    bar.addRect(-12, -3, 24, 6);
    QPainterPath path;
    path.addPath(QTransform().translate(16, 16).rotate(45).map(bar));
    path.addPath(QTransform().translate(16, 16).rotate(-45).map(bar));
    paintGlyph(image, path.simplified());
    return image;
}

// Back to the main window: a return arrow.
QImage drawReturn() {
    QImage image = buttonCanvas();
    QPainterPath path;
    path.addPolygon(
        QPolygonF({QPointF(4, 18), QPointF(13, 9), QPointF(13, 15), QPointF(21, 15), QPointF(21, 5),
                   QPointF(27, 5), QPointF(27, 21), QPointF(13, 21), QPointF(13, 27)}));
    path.closeSubpath();
    paintGlyph(image, path);
    return image;
}

// The splash: a night-blue field with sound rings and a note.
QImage drawOpening() {
    QImage image(400, 180, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 400, 180);
    sky.setColorAt(0, QColor(16, 32, 72));
    sky.setColorAt(1, QColor(70, 36, 110));
    p.fillRect(image.rect(), sky);
    const QPointF centre(300, 90);
    for (int r = 20; r <= 140; r += 20) {
        p.setPen(QPen(QColor(160, 200, 255, 200 - r), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, r, r);
    }
    QRadialGradient glow(centre, 40);
    glow.setColorAt(0, QColor(255, 240, 200));
    glow.setColorAt(1, QColor(255, 200, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, 40, 40);
    // An eighth note in the glow.
    p.setBrush(QColor(40, 30, 70));
    p.drawEllipse(QPointF(292, 104), 9, 7);
    p.drawRect(QRectF(299, 66, 3, 38));
    QPainterPath flag;
    flag.moveTo(302, 66);
    flag.cubicTo(314, 72, 318, 80, 312, 92);
    flag.cubicTo(314, 82, 308, 78, 302, 76);
    p.drawPath(flag);
    return image;
}

} // namespace

QString fileName(Picture picture) {
    switch (picture) {
    case Picture::Play:
        return QStringLiteral("Play.bmp");
    case Picture::AtStop:
        return QStringLiteral("AtStop.bmp");
    case Picture::Stop:
        return QStringLiteral("Stop.bmp");
    case Picture::Next:
        return QStringLiteral("Next.bmp");
    case Picture::Return:
        return QStringLiteral("Return.bmp");
    case Picture::Opening:
        return QStringLiteral("Opening.bmp");
    case Picture::WebBack:
        return QStringLiteral("WebBack.bmp");
    case Picture::WebForward:
        return QStringLiteral("WebForward.bmp");
    case Picture::WebRefresh:
        return QStringLiteral("WebRefresh.bmp");
    case Picture::WebHome:
        return QStringLiteral("WebHome.bmp");
    case Picture::WebClose:
        return QStringLiteral("WebClose.bmp");
    }
    return QString();
}

QImage draw(Picture picture) {
    switch (picture) {
    case Picture::Play:
        return drawPlay();
    case Picture::AtStop:
        return drawPause();
    case Picture::Stop:
        return drawStop();
    case Picture::Next:
        return drawNext();
    case Picture::Return:
        return drawReturn();
    case Picture::Opening:
        return drawOpening();
    case Picture::WebBack:
        return drawWebArrow(true);
    case Picture::WebForward:
        return drawWebArrow(false);
    case Picture::WebRefresh:
        return drawWebRefresh();
    case Picture::WebHome:
        return drawWebHome();
    case Picture::WebClose:
        return drawWebClose();
    }
    return QImage();
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on the scalable icon's 256-unit canvas.
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient face(0, 12, 0, 244);
    face.setColorAt(0, QColor(0x5b, 0x4b, 0xd6));
    face.setColorAt(1, QColor(0x2a, 0x1d, 0x7a));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 48, 48);
    p.setBrush(Qt::NoBrush);
    for (const auto& [radius, alpha, width] : {std::tuple{92, 0.18, 10}, {68, 0.12, 8}}) {
        QColor ring(Qt::white);
        ring.setAlphaF(alpha);
        p.setPen(QPen(ring, width));
        p.drawEllipse(QPointF(128, 128), radius, radius);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({QPointF(101, 56), QPointF(195, 38), QPointF(195, 70), QPointF(101, 88)}));
    p.drawRect(QRectF(101, 60, 14, 126));
    p.drawRect(QRectF(181, 44, 14, 124));
    QLinearGradient head(56, 140, 196, 210);
    head.setColorAt(0, QColor(0xff, 0xd8, 0x6b));
    head.setColorAt(1, QColor(0xf0, 0x8a, 0x24));
    p.setBrush(head);
    for (const QPointF centre : {QPointF(86, 186), QPointF(166, 168)}) {
        p.save();
        p.translate(centre);
        p.rotate(-20);
        p.translate(-centre);
        p.drawEllipse(centre, 30, 22);
        p.restore();
    }
    return image;
}

QPixmap load(Picture picture) {
    QImage image(programfolders::dataFile(QStringLiteral("MLPData/") + fileName(picture)));
    if (image.isNull())
        image = draw(picture);
    QPixmap pixmap = QPixmap::fromImage(image);
    if (picture != Picture::Opening)
        pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(kTransparent)));
    return pixmap;
}

QToolButton* button(QWidget* parent, const QString& name, const QString& caption, Picture picture) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(caption);
    b->setIcon(load(picture));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAutoRaise(false);
    return b;
}

} // namespace pictures
