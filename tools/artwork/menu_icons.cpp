// The 16 x 16 menu pictures. Lines one pixel wide sit on half-pixel coordinates so that they
// cover whole pixels; fills get a soft top-left light like the rest of the program's art.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <cmath>

#include "painting.h"

namespace artwork {

namespace {

QLinearGradient vertical(qreal top, qreal bottom, const QColor& from, const QColor& to) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

QRadialGradient ball(const QPointF& light, qreal radius, const QColor& from, const QColor& to) {
    QRadialGradient g(light, radius, light);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// A round plate for the help and exit pictures.
void paintDisc(QPainter& p, const QColor& light, const QColor& dark, const QColor& rim) {
    p.setPen(QPen(rim, 1));
    p.setBrush(ball(QPointF(5.5, 4.5), 11, light, dark));
    p.drawEllipse(QPointF(8, 8), 7, 7);
}

void help(QPainter& p) {
    paintDisc(p, QColor(0x9c, 0xcb, 0xff), QColor(0x1a, 0x55, 0xc2), QColor(0x12, 0x40, 0x96));
    QFont font = dejavu(12, true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16.5), Qt::AlignCenter, QStringLiteral("?"));
}

void power(QPainter& p) {
    paintDisc(p, QColor(0xff, 0x9c, 0x8a), QColor(0xc0, 0x22, 0x14), QColor(0x8a, 0x14, 0x0a));
    QPen pen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF arc(4.2, 4.4, 7.6, 7.6);
    p.drawArc(arc, 125 * 16, 290 * 16);
    p.drawLine(QPointF(8, 3.2), QPointF(8, 7.6));
}

// A shape filled with a top-to-bottom gradient and outlined in a darker tone.
void paintSolid(QPainter& p, const QPainterPath& shape, const QColor& light, const QColor& dark,
                const QColor& rim) {
    const QRectF box = shape.boundingRect();
    p.setPen(QPen(rim, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(vertical(box.top(), box.bottom(), light, dark));
    p.drawPath(shape);
}

void cross(QPainter& p) {
    QPainterPathStroker stroker;
    stroker.setWidth(3.4);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath lines;
    lines.moveTo(3, 3);
    lines.lineTo(13, 13);
    lines.moveTo(13, 3);
    lines.lineTo(3, 13);
    const QPainterPath shape = stroker.createStroke(lines).simplified();
    p.setPen(QPen(QColor(0x8c, 0x10, 0x08), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(2, 14, QColor(0xff, 0x76, 0x62), QColor(0xc4, 0x1c, 0x10)));
    p.drawPath(shape);
}

void magnifier(QPainter& p) {
    // Handle first, so the rim of the glass covers its end.
    p.setPen(QPen(QColor(0x3a, 0x2a, 0x1c), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.6, 10.6), QPointF(13.8, 13.8));
    p.setPen(QPen(QColor(0x9a, 0x74, 0x50), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.9, 10.6), QPointF(13.6, 13.3));

    const QPointF centre(6.5, 6.5);
    p.setPen(QPen(QColor(0x4a, 0x55, 0x66), 1.6));
    p.setBrush(ball(QPointF(5, 5), 6, QColor(255, 255, 255, 240), QColor(0x9e, 0xc8, 0xf0, 220)));
    p.drawEllipse(centre, 4.6, 4.6);
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.6, 3.6, 5.8, 5.8), 100 * 16, 70 * 16);
}

void envelope(QPainter& p) {
    const QRectF body(1.5, 3.5, 13, 9);
    p.setPen(QPen(QColor(0x4c, 0x6a, 0x98), 1));
    p.setBrush(vertical(3, 13, QColor(0xff, 0xff, 0xff), QColor(0xdc, 0xe6, 0xf4)));
    p.drawRect(body);
    // The lower folds, then the closed flap over them.
    p.setPen(QPen(QColor(0xa8, 0xb8, 0xd2), 1));
    p.drawLine(QPointF(2, 12), QPointF(6.5, 7.8));
    p.drawLine(QPointF(14, 12), QPointF(9.5, 7.8));
    QPainterPath flap;
    flap.moveTo(1.5, 3.5);
    flap.lineTo(8, 9);
    flap.lineTo(14.5, 3.5);
    p.setPen(QPen(QColor(0x4c, 0x6a, 0x98), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(3.5, 9, QColor(0xf4, 0xf7, 0xfc), QColor(0xc6, 0xd4, 0xea)));
    p.drawPath(flap);
}

void computer(QPainter& p) {
    // Stand and foot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x93, 0xa0));
    p.drawRect(QRectF(6, 11, 4, 2));
    paintSolid(
        p,
        [] {
            QPainterPath foot;
            foot.addRoundedRect(QRectF(3.5, 12.5, 9, 2), 1, 1);
            return foot;
        }(),
        QColor(0xe4, 0xe8, 0xee), QColor(0xa4, 0xac, 0xb8), QColor(0x5a, 0x62, 0x70));

    // Monitor case and screen.
    QPainterPath monitor;
    monitor.addRoundedRect(QRectF(0.5, 1.5, 15, 10), 1.2, 1.2);
    paintSolid(p, monitor, QColor(0xf2, 0xf4, 0xf8), QColor(0xb8, 0xc0, 0xcc),
               QColor(0x50, 0x5a, 0x6a));
    const QRectF screen(2, 3, 12, 7);
    p.setPen(Qt::NoPen);
    p.fillRect(screen, QColor(0x28, 0x3c, 0x5c));
    const QRectF glass = screen.adjusted(1, 1, -1, -1);
    QLinearGradient sky(glass.topLeft(), glass.bottomRight());
    sky.setColorAt(0, QColor(0x6c, 0xb4, 0xff));
    sky.setColorAt(1, QColor(0x1c, 0x58, 0xc8));
    p.fillRect(glass, sky);
    // A green hill at the bottom of the screen, as on the familiar desktop.
    QPainterPath hill;
    hill.moveTo(glass.left(), glass.bottom());
    hill.lineTo(glass.left(), glass.bottom() - 1.6);
    hill.quadTo(QPointF(8, glass.bottom() - 3.6), QPointF(glass.right(), glass.bottom() - 1.2));
    hill.lineTo(glass.right(), glass.bottom());
    hill.closeSubpath();
    p.setBrush(QColor(0x4c, 0xa8, 0x3a));
    p.drawPath(hill);
}

void spreadsheetExport(QPainter& p) {
    // The sheet: a green title row and a grid.
    const QRectF sheet(4.5, 1.5, 10, 13);
    p.setPen(QPen(QColor(0x3e, 0x6a, 0x4a), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.fillRect(QRectF(5, 2, 9, 3), QColor(0x2e, 0x8b, 0x4e));
    p.setPen(QPen(QColor(0x9c, 0xc4, 0xa8), 1));
    for (qreal y : {7.5, 9.5, 11.5}) {
        p.drawLine(QPointF(5, y), QPointF(14, y));
    }
    for (qreal x : {8.5, 11.5}) {
        p.drawLine(QPointF(x, 5), QPointF(x, 14));
    }

    // The arrow into it, with a white halo to part it from the grid.
    QPainterPath arrow;
    arrow.moveTo(0.5, 7.5);
    arrow.lineTo(5.5, 7.5);
    arrow.lineTo(5.5, 4.8);
    arrow.lineTo(10.2, 9.5);
    arrow.lineTo(5.5, 14.2);
    arrow.lineTo(5.5, 11.5);
    arrow.lineTo(0.5, 11.5);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255, 200), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.setPen(QPen(QColor(0x16, 0x48, 0xa0), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(5, 14, QColor(0x7c, 0xb6, 0xff), QColor(0x24, 0x62, 0xd0)));
    p.drawPath(arrow);
}

// A desk printer with a sheet in its feed; the picture number 8 adds a tick over its corner.
void printer(QPainter& p) {
    // Sheet in the feed at the back.
    p.setPen(QPen(QColor(0x7a, 0x84, 0x94), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 0.5, 7, 7));
    p.setPen(QPen(QColor(0x9a, 0xb4, 0xd8), 1));
    p.drawLine(QPointF(6, 2.5), QPointF(10, 2.5));
    p.drawLine(QPointF(6, 4.5), QPointF(10, 4.5));

    // Body.
    QPainterPath body;
    body.addRoundedRect(QRectF(0.5, 5.5, 15, 7), 1.5, 1.5);
    paintSolid(p, body, QColor(0xf0, 0xf2, 0xf6), QColor(0x9c, 0xa4, 0xb2),
               QColor(0x4a, 0x52, 0x60));
    p.fillRect(QRectF(12, 7, 2, 1), QColor(0x3c, 0xc0, 0x3c));
    p.fillRect(QRectF(2, 10, 12, 1), QColor(0x6a, 0x72, 0x80));

    // The printed page coming out at the front.
    p.setPen(QPen(QColor(0x7a, 0x84, 0x94), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 10.5, 9, 5));
    p.setPen(QPen(QColor(0x50, 0x58, 0x66), 1));
    p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
    p.setPen(QPen(QColor(0x9a, 0xa2, 0xb0), 1));
    p.drawLine(QPointF(5, 14.5), QPointF(9, 14.5));
}

QPainterPath tickLine(qreal scale, const QPointF& at) {
    QPainterPath tick;
    tick.moveTo(at + QPointF(0, 4.2) * scale);
    tick.lineTo(at + QPointF(3.2, 7.4) * scale);
    tick.lineTo(at + QPointF(9.6, 0.8) * scale);
    return tick;
}

// A tick drawn as a tube: a dark outline with a lighter core.
void paintTick(QPainter& p, const QPainterPath& tick, qreal width, const QColor& dark,
               const QColor& light) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(light, width * 0.45, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick.translated(-0.15, -0.25));
}

void printerSettings(QPainter& p) {
    printer(p);
    const QPainterPath tick = tickLine(0.72, QPointF(7.8, 8.4));
    p.setPen(QPen(QColor(255, 255, 255, 230), 4.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    paintTick(p, tick, 2.6, QColor(0x1c, 0x7a, 0x1c), QColor(0x7c, 0xe0, 0x5c));
}

void globe(QPainter& p) {
    const QPointF centre(8, 8);
    const qreal r = 7;
    p.setPen(QPen(QColor(0x14, 0x46, 0x9c), 1));
    p.setBrush(ball(QPointF(5.5, 5), 11, QColor(0xa8, 0xd8, 0xff), QColor(0x1a, 0x5c, 0xc8)));
    p.drawEllipse(centre, r, r);

    p.save();
    QPainterPath clip;
    clip.addEllipse(centre, r - 0.5, r - 0.5);
    p.setClipPath(clip);
    // Two green continents.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0xb0, 0x3c));
    QPainterPath land;
    land.moveTo(2.5, 5);
    land.cubicTo(4, 2.5, 7.5, 2.6, 8, 4.6);
    land.cubicTo(8.4, 6.2, 6.4, 6.6, 6.8, 8.6);
    land.cubicTo(7.2, 10.6, 5.2, 12.6, 4.2, 11.2);
    land.cubicTo(3.4, 10, 4.2, 8.4, 3, 7.6);
    land.cubicTo(2, 7, 1.8, 6, 2.5, 5);
    land.moveTo(10.4, 8.2);
    land.cubicTo(12, 7.2, 14.6, 8, 14.2, 10);
    land.cubicTo(13.8, 12.4, 11.6, 13.8, 10.6, 12.4);
    land.cubicTo(9.8, 11.2, 9.2, 9, 10.4, 8.2);
    p.drawPath(land);
    // Meridians and parallels.
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r * 0.45, r);
    p.drawLine(QPointF(8, 1), QPointF(8, 15));
    p.drawLine(QPointF(1, 8), QPointF(15, 8));
    p.drawLine(QPointF(2.2, 4.6), QPointF(13.8, 4.6));
    p.drawLine(QPointF(2.2, 11.4), QPointF(13.8, 11.4));
    p.restore();

    // A glint of light on the upper left.
    p.setPen(Qt::NoPen);
    p.setBrush(ball(QPointF(5, 4.6), 3, QColor(255, 255, 255, 170), QColor(255, 255, 255, 0)));
    p.drawEllipse(QPointF(5, 4.6), 3, 3);
}

void checkMark(QPainter& p) {
    paintTick(p, tickLine(1.15, QPointF(2.4, 3.4)), 3.0, QColor(0x14, 0x46, 0xa8),
              QColor(0x6c, 0xa8, 0xff));
}

void plus(QPainter& p) {
    const QPointF outline[] = {{5.5, 1.5},   {10.5, 1.5},  {10.5, 5.5},  {14.5, 5.5},
                               {14.5, 10.5}, {10.5, 10.5}, {10.5, 14.5}, {5.5, 14.5},
                               {5.5, 10.5},  {1.5, 10.5},  {1.5, 5.5},   {5.5, 5.5}};
    QPainterPath shape;
    shape.addPolygon(QPolygonF(QList<QPointF>(std::begin(outline), std::end(outline))));
    shape.closeSubpath();
    paintSolid(p, shape, QColor(0xfa, 0x60, 0x4a), QColor(0xc0, 0x18, 0x0c),
               QColor(0x8c, 0x12, 0x08));
}

void openBook(QPainter& p) {
    // Cover underneath.
    QPainterPath cover;
    cover.moveTo(0.5, 4.5);
    cover.lineTo(0.5, 13.5);
    cover.lineTo(7, 13.5);
    cover.lineTo(8, 14.5);
    cover.lineTo(9, 13.5);
    cover.lineTo(15.5, 13.5);
    cover.lineTo(15.5, 4.5);
    cover.closeSubpath();
    p.setPen(QPen(QColor(0x12, 0x3e, 0x8c), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(4, 15, QColor(0x4c, 0x8c, 0xe8), QColor(0x1c, 0x52, 0xb4)));
    p.drawPath(cover);

    // Pages, curving down into the spine.
    const auto page = [](qreal sign) {
        QPainterPath path;
        path.moveTo(8, 4.5);
        path.cubicTo(8 - sign * 2, 2.6, 8 - sign * 5, 2.4, 8 - sign * 6.5, 3.0);
        path.lineTo(8 - sign * 6.5, 12.0);
        path.cubicTo(8 - sign * 5, 11.4, 8 - sign * 2, 11.6, 8, 13.2);
        path.closeSubpath();
        return path;
    };
    p.setPen(QPen(QColor(0x6a, 0x76, 0x8a), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(2.5, 13, QColor(0xff, 0xff, 0xff), QColor(0xe2, 0xe8, 0xf2)));
    p.drawPath(page(1));
    p.drawPath(page(-1));

    // Lines of print.
    p.setPen(QPen(QColor(0x8e, 0x9c, 0xb4), 0.8));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 5.6 + i * 2;
        p.drawLine(QPointF(3, y - 0.3), QPointF(6.6, y + 0.2));
        p.drawLine(QPointF(9.4, y + 0.2), QPointF(13, y - 0.3));
    }
}

}  // namespace

QImage drawMenuIcon(MenuPicture picture) {
    QImage image = blankImage(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (picture) {
        case MenuPicture::QuestionMark:
            help(p);
            break;
        case MenuPicture::PowerSymbol:
            power(p);
            break;
        case MenuPicture::RedCross:
            cross(p);
            break;
        case MenuPicture::Magnifier:
            magnifier(p);
            break;
        case MenuPicture::Envelope:
            envelope(p);
            break;
        case MenuPicture::Computer:
            computer(p);
            break;
        case MenuPicture::SpreadsheetArrow:
            spreadsheetExport(p);
            break;
        case MenuPicture::Printer:
            printer(p);
            break;
        case MenuPicture::PrinterTick:
            printerSettings(p);
            break;
        case MenuPicture::Globe:
            globe(p);
            break;
        case MenuPicture::Tick:
            checkMark(p);
            break;
        case MenuPicture::RedPlus:
            plus(p);
            break;
        case MenuPicture::OpenBook:
            openBook(p);
            break;
    }
    return image;
}

}  // namespace artwork
