// Picture buttons in the blue style of the main window: a flat bar at rest, a raised rounded
// button under the mouse and a darker sunken one while pressed.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "painting.h"

namespace artwork {

namespace {

QPainterPath rounded(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void paintFlat(QPainter& p, qreal w, qreal h) {
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0.0, QColor(0x3d, 0x7e, 0xdc));
    fill.setColorAt(1.0, QColor(0x2c, 0x66, 0xc6));
    p.fillRect(QRectF(0, 0, w, h), fill);
    p.fillRect(QRectF(0, 0, w, 1), QColor(0x5a, 0x94, 0xe6));
    p.fillRect(QRectF(0, h - 1, w, 1), QColor(0x22, 0x56, 0xb0));
}

void paintRaised(QPainter& p, qreal w, qreal h) {
    const QRectF outer(0.5, 0.5, w - 1, h - 1);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0.0, QColor(0x74, 0xae, 0xf6));
    fill.setColorAt(0.45, QColor(0x45, 0x8a, 0xe8));
    fill.setColorAt(0.55, QColor(0x37, 0x7a, 0xe0));
    fill.setColorAt(1.0, QColor(0x2a, 0x63, 0xc8));
    p.setPen(QPen(QColor(0x1a, 0x4c, 0xa4), 1));
    p.setBrush(fill);
    p.drawPath(rounded(outer, 4));

    // The lighter edge: bright along the top, fading towards the bottom.
    QLinearGradient edge(0, 1, 0, h - 1);
    edge.setColorAt(0.0, QColor(255, 255, 255, 200));
    edge.setColorAt(0.5, QColor(190, 220, 255, 110));
    edge.setColorAt(1.0, QColor(150, 195, 255, 70));
    p.setPen(QPen(QBrush(edge), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rounded(outer.adjusted(1, 1, -1, -1), 3));
}

void paintSunken(QPainter& p, qreal w, qreal h) {
    const QRectF outer(0.5, 0.5, w - 1, h - 1);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0.0, QColor(0x15, 0x3a, 0x84));
    fill.setColorAt(1.0, QColor(0x23, 0x55, 0xae));
    p.setPen(QPen(QColor(0x0b, 0x28, 0x60), 1));
    p.setBrush(fill);
    p.drawPath(rounded(outer, 3));

    // Inner shadow along the top and left, a faint light line along the bottom and right.
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.drawLine(QPointF(inner.left() + 1, inner.top()), QPointF(inner.right() - 1, inner.top()));
    p.drawLine(QPointF(inner.left(), inner.top() + 1), QPointF(inner.left(), inner.bottom() - 1));
    p.setPen(QPen(QColor(120, 170, 240, 80), 1));
    p.drawLine(QPointF(inner.left() + 1, inner.bottom()),
               QPointF(inner.right() - 1, inner.bottom()));
    p.drawLine(QPointF(inner.right(), inner.top() + 1), QPointF(inner.right(), inner.bottom() - 1));
}

}  // namespace

QImage drawButton(const QString& word, ButtonLook look) {
    const int w = look == ButtonLook::Pressed ? 71 : 73;
    const int h = 29;
    QImage image = blankImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    switch (look) {
        case ButtonLook::Normal:
            paintFlat(p, w, h);
            break;
        case ButtonLook::Hover:
            paintRaised(p, w, h);
            break;
        case ButtonLook::Pressed:
            paintSunken(p, w, h);
            break;
    }

    QFont font = dejavu(11, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    // Centre the capitals themselves; the spacing after the last letter does not count.
    const qreal textWidth = metrics.horizontalAdvance(word) - font.letterSpacing();
    const int shift = look == ButtonLook::Pressed ? 1 : 0;
    const qreal x = std::round((w - textWidth) / 2) + shift;
    const qreal baseline = std::round((h + metrics.capHeight()) / 2) + shift;
    p.setPen(QColor(0x08, 0x22, 0x5a, 150));
    p.drawText(QPointF(x + 1, baseline + 1), word);
    p.setPen(look == ButtonLook::Pressed ? QColor(0xe2, 0xec, 0xfc) : QColor(Qt::white));
    p.drawText(QPointF(x, baseline), word);
    return image;
}

}  // namespace artwork
