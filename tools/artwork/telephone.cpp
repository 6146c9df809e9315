// The desk telephone of the window icon and the about dialog: a graphite set with a rotary
// dial and the handset resting on its cradle. Drawn on a 64 x 64 grid and scaled to fit.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <cmath>

#include "painting.h"

namespace artwork {

namespace {

const QColor kOutline(0x0c, 0x10, 0x18);

QPainterPath bodyShape() {
    QPainterPath body;
    body.moveTo(10, 57);
    body.lineTo(54, 57);
    body.quadTo(59, 57, 58, 52);
    body.lineTo(50, 33);
    body.quadTo(48.5, 29.5, 45, 29.5);
    body.lineTo(19, 29.5);
    body.quadTo(15.5, 29.5, 14, 33);
    body.lineTo(6, 52);
    body.quadTo(5, 57, 10, 57);
    body.closeSubpath();
    return body;
}

QPainterPath handsetShape() {
    QPainterPath grip;
    grip.moveTo(11, 20);
    grip.cubicTo(20, 12.5, 44, 12.5, 53, 20);
    QPainterPathStroker stroker;
    stroker.setWidth(7);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath shape = stroker.createStroke(grip);
    QPainterPath ear;
    ear.addRoundedRect(QRectF(2.5, 16, 17, 11.5), 5.5, 5.5);
    QPainterPath mouth;
    mouth.addRoundedRect(QRectF(44.5, 16, 17, 11.5), 5.5, 5.5);
    return shape.united(ear).united(mouth).simplified();
}

void paintShadow(QPainter& p) {
    QRadialGradient shadow(QPointF(32, 58), 28);
    shadow.setColorAt(0, QColor(0, 0, 0, 70));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.translate(32, 58);
    p.scale(1, 0.16);
    p.translate(-32, -58);
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(32, 58), 30, 30);
    p.restore();
}

void paintBody(QPainter& p) {
    const QPainterPath body = bodyShape();
    QLinearGradient plastic(0, 29, 0, 57);
    plastic.setColorAt(0.0, QColor(0x6a, 0x76, 0x8a));
    plastic.setColorAt(0.25, QColor(0x3a, 0x44, 0x54));
    plastic.setColorAt(1.0, QColor(0x16, 0x1a, 0x22));
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(plastic);
    p.drawPath(body);

    // Side light on the left flank and a darker plinth along the bottom.
    p.save();
    p.setClipPath(body);
    QLinearGradient flank(6, 0, 58, 0);
    flank.setColorAt(0.0, QColor(160, 190, 230, 90));
    flank.setColorAt(0.3, QColor(160, 190, 230, 0));
    flank.setColorAt(0.85, QColor(0, 0, 0, 0));
    flank.setColorAt(1.0, QColor(0, 0, 0, 70));
    p.fillRect(QRectF(0, 28, 64, 30), flank);
    p.fillRect(QRectF(0, 52, 64, 6), QColor(0, 0, 0, 70));
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(6, 52.5), QPointF(58, 52.5));
    p.restore();

    // Cradle posts the handset rests on.
    for (qreal x : {17.0, 41.0}) {
        QPainterPath post;
        post.addRoundedRect(QRectF(x, 22.5, 6, 9), 1.5, 1.5);
        QLinearGradient metal(x, 0, x + 6, 0);
        metal.setColorAt(0, QColor(0x5c, 0x66, 0x78));
        metal.setColorAt(1, QColor(0x1e, 0x24, 0x2e));
        p.setPen(QPen(kOutline, 1));
        p.setBrush(metal);
        p.drawPath(post);
    }
}

void paintDial(QPainter& p) {
    const QPointF c(32, 43.5);
    // Face plate.
    QRadialGradient face(QPointF(29, 39.5), 13);
    face.setColorAt(0, QColor(0xff, 0xfb, 0xf0));
    face.setColorAt(1, QColor(0xcf, 0xc6, 0xb0));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(face);
    p.drawEllipse(c, 10.2, 10.2);
    // Finger holes round the rim, leaving the gap by the finger stop.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 10; ++i) {
        const qreal angle = (150 + i * 26) * M_PI / 180;
        const QPointF hole = c + QPointF(std::cos(angle), std::sin(angle)) * 6.9;
        QRadialGradient well(hole + QPointF(0.5, 0.6), 1.9);
        well.setColorAt(0, QColor(0x3a, 0x44, 0x54));
        well.setColorAt(1, QColor(0x12, 0x16, 0x1e));
        p.setBrush(well);
        p.drawEllipse(hole, 1.65, 1.65);
    }
    // Centre label.
    p.setPen(QPen(QColor(0x8a, 0x80, 0x6a), 0.8));
    p.setBrush(QColor(0xfa, 0xf6, 0xea));
    p.drawEllipse(c, 3.2, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x5c, 0xb8));
    p.drawEllipse(c, 1.3, 1.3);
}

void paintHandset(QPainter& p) {
    const QPainterPath handset = handsetShape();
    QLinearGradient plastic(0, 12, 0, 28);
    plastic.setColorAt(0.0, QColor(0x74, 0x80, 0x94));
    plastic.setColorAt(0.35, QColor(0x36, 0x40, 0x50));
    plastic.setColorAt(1.0, QColor(0x12, 0x16, 0x1e));
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(plastic);
    p.drawPath(handset);

    // A glossy streak along the top of the grip.
    QPainterPath gloss;
    gloss.moveTo(14, 16.6);
    gloss.cubicTo(22, 11.2, 42, 11.2, 50, 16.6);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(gloss);
}

}  // namespace

void paintDeskPhone(QPainter& painter, const QRectF& square) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    painter.scale(square.width() / 64, square.height() / 64);
    paintShadow(painter);
    paintBody(painter);
    paintDial(painter);
    paintHandset(painter);
    painter.restore();
}

QImage drawDeskPhone(int size) {
    QImage image = blankImage(size, size);
    QPainter painter(&image);
    paintDeskPhone(painter, QRectF(0, 0, size, size));
    return image;
}

}  // namespace artwork
