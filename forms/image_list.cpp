#include "image_list.h"

ImageList::ImageList(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("ImageList1"));
    for (int i = 0; i < 13; ++i)
        m_icons.append(
            QIcon(QStringLiteral(":/images/menu/%1.png").arg(i, 2, 10, QLatin1Char('0'))));
}

QIcon ImageList::icon(int index) const {
    return index >= 0 && index < m_icons.size() ? m_icons[index] : QIcon();
}
