#pragma once

#include <QProxyStyle>

// Draws a menu-bar item's image beside its caption. Qt's own styles draw a bar item's icon
// instead of its text, which would hide "Городские номера" behind its tick.
class MenuBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

private:
    static constexpr int kIconSize = 16;
    static constexpr int kGap = 4;
};
