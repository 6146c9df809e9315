#include "artwork.h"

QString menuPicturePath(MenuPicture picture) {
    return QStringLiteral(":/images/menu/%1.png")
        .arg(static_cast<int>(picture), 2, 10, QLatin1Char('0'));
}
