#include "menu_bar_style.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuBarItem || !item || item->icon.isNull()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The item's panel and highlight as the style draws them, then the image and the caption.
    QStyleOptionMenuItem panel = *item;
    panel.icon = QIcon();
    panel.text.clear();
    QProxyStyle::drawControl(element, &panel, painter, widget);

    const QRect inner = item->rect.adjusted(kGap, 0, -kGap, 0);
    const QRect iconRect(inner.left(), inner.center().y() - kIconSize / 2 + 1, kIconSize,
                         kIconSize);
    const QIcon::Mode mode = item->state & State_Enabled ? QIcon::Normal : QIcon::Disabled;
    item->icon.paint(painter, iconRect, Qt::AlignCenter, mode);
    QRect textRect = inner;
    textRect.setLeft(iconRect.right() + kGap);
    drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                 item->palette, item->state & State_Enabled, item->text, QPalette::ButtonText);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuBarItem || !item || item->icon.isNull())
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    QStyleOptionMenuItem textOnly = *item;
    textOnly.icon = QIcon();
    const QSize textSize = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
    QSize result = QProxyStyle::sizeFromContents(type, &textOnly, textSize, widget);
    result.rwidth() += kIconSize + 2 * kGap;
    result.setHeight(std::max(result.height(), kIconSize + 4));
    return result;
}
