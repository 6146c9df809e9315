// The main window's background and the about dialog's picture. Both share a faint outline
// of the town along the bottom; everything is kept pale so that text stays readable on top.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "painting.h"

namespace artwork {

namespace {

// Buildings on a 300 x 80 grid whose ground line is y = 80.
enum class Kind { Block, Church, WaterTower, Mast, Factory };

struct Building {
    Kind kind;
    qreal x;
    qreal width;
    qreal height;
};

constexpr Building kTown[] = {
    {Kind::Block, 0, 22, 26},        {Kind::Block, 20, 16, 40},    {Kind::Church, 38, 22, 30},
    {Kind::Block, 62, 30, 33},       {Kind::Block, 94, 17, 52},    {Kind::Block, 113, 27, 23},
    {Kind::WaterTower, 142, 16, 46}, {Kind::Block, 160, 34, 37},   {Kind::Mast, 196, 16, 78},
    {Kind::Block, 214, 22, 29},      {Kind::Factory, 238, 32, 22}, {Kind::Block, 272, 28, 27},
};

QPainterPath buildingShape(const Building& b) {
    QPainterPath path;
    const qreal ground = 80;
    const qreal top = ground - b.height;
    switch (b.kind) {
        case Kind::Block:
            path.addRect(QRectF(b.x, top, b.width, b.height));
            break;
        case Kind::Church: {
            // A nave with a drum, an onion dome and a cross.
            const qreal mid = b.x + b.width / 2;
            path.addRect(QRectF(b.x, top, b.width, b.height));
            path.addRect(QRectF(mid - 4, top - 9, 8, 9));
            QPainterPath dome;
            dome.moveTo(mid - 4.5, top - 8.5);
            dome.cubicTo(mid - 10, top - 13, mid - 3, top - 19, mid, top - 23);
            dome.cubicTo(mid + 3, top - 19, mid + 10, top - 13, mid + 4.5, top - 8.5);
            dome.closeSubpath();
            path.addPath(dome);
            path.addRect(QRectF(mid - 0.6, top - 29, 1.2, 6.5));
            path.addRect(QRectF(mid - 2.4, top - 27, 4.8, 1.1));
            break;
        }
        case Kind::WaterTower: {
            const qreal mid = b.x + b.width / 2;
            path.addRect(QRectF(mid - 3, top + 10, 6, b.height - 10));
            path.addRect(QRectF(b.x, top + 3, b.width, 8));
            QPainterPath roof;
            roof.moveTo(b.x - 1, top + 3.5);
            roof.lineTo(mid, top - 3);
            roof.lineTo(b.x + b.width + 1, top + 3.5);
            roof.closeSubpath();
            path.addPath(roof);
            break;
        }
        case Kind::Mast: {
            // The radio mast of the telephone exchange: a narrow lattice tower.
            const qreal mid = b.x + b.width / 2;
            QPainterPath legs;
            legs.moveTo(b.x, ground);
            legs.lineTo(mid - 0.8, top);
            legs.lineTo(mid + 0.8, top);
            legs.lineTo(b.x + b.width, ground);
            legs.lineTo(b.x + b.width - 2, ground);
            legs.lineTo(mid, top + 6);
            legs.lineTo(b.x + 2, ground);
            legs.closeSubpath();
            path.addPath(legs);
            for (int i = 1; i < 6; ++i) {
                const qreal y = ground - i * b.height / 6.5;
                const qreal half = (b.width / 2) * (ground - y) / b.height;
                path.addRect(QRectF(mid - (b.width / 2 - half), y, 2 * (b.width / 2 - half), 1));
            }
            path.addRect(QRectF(mid - 0.5, top - 6, 1, 6));
            break;
        }
        case Kind::Factory: {
            // Saw-tooth roof and a tall chimney.
            path.moveTo(b.x, ground);
            path.lineTo(b.x, top);
            const int teeth = 3;
            const qreal step = b.width / teeth;
            for (int i = 0; i < teeth; ++i) {
                path.lineTo(b.x + i * step + step, top - 6);
                path.lineTo(b.x + i * step + step, top);
            }
            path.lineTo(b.x + b.width, ground);
            path.closeSubpath();
            path.addRect(QRectF(b.x + b.width - 8, ground - 58, 5, 58 - b.height + 2));
            break;
        }
    }
    return path;
}

// Rows of windows in the blocks, lit in a fixed pattern.
QPainterPath windows(const Building& b) {
    QPainterPath path;
    if (b.kind != Kind::Block || b.width < 15) {
        return path;
    }
    const qreal ground = 80;
    const int columns = static_cast<int>((b.width - 4) / 4.5);
    const int rows = static_cast<int>((b.height - 6) / 5.5);
    const qreal left = b.x + (b.width - (columns * 4.5 - 2.5)) / 2;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if ((row * 7 + column * 3 + static_cast<int>(b.x)) % 5 == 0) {
                continue;
            }
            path.addRect(QRectF(left + column * 4.5, ground - b.height + 4 + row * 5.5, 2, 2.5));
        }
    }
    return path;
}

// The town's outline standing on the bottom edge of `area` (whose proportions are 300 x 80).
void paintTown(QPainter& p, const QRectF& area, const QColor& tone, const QColor& lights) {
    p.save();
    p.translate(area.left(), area.top());
    p.scale(area.width() / 300, area.height() / 80);
    QPainterPath town;
    QPainterPath lit;
    for (const Building& b : kTown) {
        town.addPath(buildingShape(b));
        lit.addPath(windows(b));
    }
    town.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(tone);
    p.drawPath(town.simplified());
    p.setBrush(lights);
    p.drawPath(lit);
    p.restore();
}

// A coiled telephone cord following `guide`: a looped curve whose loops are `pitch` apart.
QPainterPath coiledCord(const QPainterPath& guide, qreal pitch, qreal radius) {
    QPainterPath cord;
    const qreal length = guide.length();
    const qreal a = pitch / (2 * M_PI);
    bool first = true;
    for (qreal theta = 0;; theta += 0.12) {
        const qreal along = a * theta - radius * 0.55 * std::sin(theta);
        if (along > length) {
            break;
        }
        const qreal t = guide.percentAtLength(std::max<qreal>(0, along));
        const QPointF base = guide.pointAtPercent(t);
        const qreal angle = -guide.angleAtPercent(t) * M_PI / 180;
        const QPointF normal(-std::sin(angle), std::cos(angle));
        const QPointF point = base + normal * (radius * std::cos(theta));
        if (first) {
            cord.moveTo(point);
            first = false;
        } else {
            cord.lineTo(point);
        }
    }
    return cord;
}

// A broad soft ribbon between two curves.
void paintRibbon(QPainter& p, const QPainterPath& upper, const QPainterPath& lower,
                 const QBrush& brush) {
    QPainterPath ribbon = upper;
    ribbon.connectPath(lower.toReversed());
    ribbon.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(ribbon);
}

QPainterPath curve(QPointF from, QPointF c1, QPointF c2, QPointF to) {
    QPainterPath path(from);
    path.cubicTo(c1, c2, to);
    return path;
}

}  // namespace

QImage drawBackground() {
    const int w = 725;
    const int h = 415;
    QImage image = blankImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0xfb, 0xfd, 0xff));
    sky.setColorAt(0.55, QColor(0xee, 0xf4, 0xfc));
    sky.setColorAt(1.0, QColor(0xd8, 0xe5, 0xf6));
    p.fillRect(image.rect(), sky);

    // A faint blue tint on the right, so the left side where the inputs sit stays lightest.
    QLinearGradient tint(0, 0, w, 0);
    tint.setColorAt(0.0, QColor(255, 255, 255, 90));
    tint.setColorAt(0.5, QColor(255, 255, 255, 0));
    tint.setColorAt(0.8, QColor(0xc8, 0xda, 0xf2, 0));
    tint.setColorAt(1.0, QColor(0xc8, 0xda, 0xf2, 110));
    p.fillRect(image.rect(), tint);

    // Sweeping ribbons low across the window, rising towards the right edge. Under the
    // dialog's inputs (x 294..590) they stay below y 312.
    QLinearGradient ribbonFill(0, 0, w, 0);
    ribbonFill.setColorAt(0.0, QColor(0xb4, 0xcc, 0xee, 40));
    ribbonFill.setColorAt(1.0, QColor(0x8c, 0xb0, 0xe4, 70));
    paintRibbon(p, curve({-10, 392}, {200, 356}, {460, 380}, {735, 292}),
                curve({-10, 425}, {200, 425}, {420, 425}, {735, 425}), ribbonFill);
    QLinearGradient sheen(0, 0, w, 0);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 150));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 60));
    paintRibbon(p, curve({-10, 402}, {230, 372}, {470, 392}, {735, 322}),
                curve({-10, 408}, {230, 384}, {470, 402}, {735, 340}), sheen);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7c, 0xa4, 0xde, 60), 1.2));
    p.drawPath(curve({-10, 384}, {220, 350}, {560, 378}, {735, 262}));
    p.setPen(QPen(QColor(0x7c, 0xa4, 0xde, 35), 1));
    p.drawPath(curve({-10, 374}, {260, 336}, {620, 380}, {735, 232}));

    // The town on the horizon at the lower right.
    paintTown(p, QRectF(400, 330, 330, 88), QColor(0x5c, 0x88, 0xc8, 38),
              QColor(255, 255, 255, 45));

    // A telephone cord hanging down the right edge, fading out towards its loose end.
    const QPainterPath guide = curve({694, -14}, {646, 80}, {722, 160}, {664, 286});
    QLinearGradient fade(0, 0, 0, 290);
    fade.setColorAt(0.0, QColor(0x4c, 0x7c, 0xc4, 60));
    fade.setColorAt(0.6, QColor(0x4c, 0x7c, 0xc4, 48));
    fade.setColorAt(1.0, QColor(0x4c, 0x7c, 0xc4, 0));
    p.setPen(QPen(QBrush(fade), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(coiledCord(guide, 8, 6.5));
    return image;
}

QImage drawAbout() {
    const int w = 312;
    const int h = 243;
    // The dialog shows rows 8..240 and columns 0..308 of the picture.
    const QRectF seen(0, 8, 309, 233);
    QImage image = blankImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient paper(0, 0, 0, h);
    paper.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    paper.setColorAt(0.6, QColor(0xf0, 0xf5, 0xfc));
    paper.setColorAt(1.0, QColor(0xd6, 0xe4, 0xf6));
    p.fillRect(image.rect(), paper);

    // Blue title band with a gold line under it.
    const qreal bandBottom = 64;
    QLinearGradient band(0, 0, 0, bandBottom);
    band.setColorAt(0.0, QColor(0x3c, 0x7c, 0xe4));
    band.setColorAt(0.22, QColor(0x2a, 0x64, 0xd4));
    band.setColorAt(1.0, QColor(0x12, 0x44, 0xae));
    p.fillRect(QRectF(0, 0, w, bandBottom), band);
    QRadialGradient glow(QPointF(60, 10), 160);
    glow.setColorAt(0, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, w, bandBottom), glow);
    QLinearGradient gold(0, 0, seen.width(), 0);
    gold.setColorAt(0.0, QColor(0xe8, 0x9a, 0x2c, 0));
    gold.setColorAt(0.15, QColor(0xf2, 0xb2, 0x48));
    gold.setColorAt(0.85, QColor(0xf2, 0xb2, 0x48));
    gold.setColorAt(1.0, QColor(0xe8, 0x9a, 0x2c, 0));
    p.fillRect(QRectF(0, bandBottom, w, 2), gold);

    // Title, as large as fits beside the telephone.
    const AboutText& text = aboutText();
    const QString& title = text.title;
    QFont titleFont = dejavu(16, true);
    while (QFontMetricsF(titleFont).horizontalAdvance(title) > 214) {
        titleFont.setPixelSize(titleFont.pixelSize() - 1);
    }
    p.setFont(titleFont);
    p.setPen(QColor(0x0a, 0x2a, 0x6c, 140));
    p.drawText(QPointF(17, 35), title);
    p.setPen(Qt::white);
    p.drawText(QPointF(16, 34), title);
    p.setFont(dejavu(13));
    p.setPen(QColor(0xdc, 0xea, 0xff));
    p.drawText(QPointF(16, 54), text.town);

    paintDeskPhone(p, QRectF(242, 9, 56, 56));

    // Description.
    p.setFont(dejavu(11));
    p.setPen(QColor(0x1c, 0x2c, 0x48));
    p.drawText(QRectF(16, 78, 280, 80), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               text.description);

    // Town outline along the bottom, then the version beside the OK button.
    paintTown(p, QRectF(0, 196, 312, 48), QColor(0x5c, 0x88, 0xc8, 40), QColor(255, 255, 255, 50));
    p.setPen(QPen(QColor(0xa8, 0xc0, 0xe4), 1));
    p.drawLine(QPointF(16, 150.5), QPointF(296, 150.5));
    // Level with the middle of the OK button (y 160..189).
    p.setFont(dejavu(12, true));
    p.setPen(QColor(0x1a, 0x4a, 0xa8));
    p.drawText(QPointF(16, 179), text.version);
    return image;
}

}  // namespace artwork
