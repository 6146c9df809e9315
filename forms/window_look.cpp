#include "window_look.h"

QFont windowFont() {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QFont menuFont() {
    return windowFont();
}

QIcon programIcon() {
    QIcon icon(QStringLiteral(":/images/icon.png"));
    icon.addFile(QStringLiteral(":/images/icon_64.png"));
    icon.addFile(QStringLiteral(":/images/icon_128.png"));
    return icon;
}
