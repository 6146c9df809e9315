// Drawing routines for the program's pictures. Every routine paints with fixed coordinates
// and colours only, so the same source always gives the same pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

#include "artwork.h"

class QPainter;

namespace artwork {

// The family every picture uses; draw_artwork refuses to run when it is missing, so a build
// never bakes a substitute font into the pictures.
inline constexpr char kFontFamily[] = "DejaVu Sans";

QFont dejavu(qreal pixelSize, bool bold = false);

// A fully transparent premultiplied ARGB image with a fixed 96 dpi resolution.
QImage blankImage(int width, int height);

// The main window's background, 725 x 415.
QImage drawBackground();

// The about dialog's picture with all its text, 312 x 243.
QImage drawAbout();

// The desk telephone of the window icon, drawn into the given square.
void paintDeskPhone(QPainter& painter, const QRectF& square);
QImage drawDeskPhone(int size);

// A picture button: a word in white capitals on a blue plate. The pressed picture is two
// pixels narrower than the others.
QImage drawButton(const QString& word, ButtonLook look);

// A 16 x 16 menu picture.
QImage drawMenuIcon(MenuPicture picture);

}  // namespace artwork
