#pragma once

#include <QFont>
#include <QIcon>

// The fonts and the icon the windows share. The window font is 11 pixels high, as the old
// 8-point bitmap sans-serif was, and the window's layout (the column headings above the
// grid's columns) counts on that font's 6-pixel digits: DejaVu Sans Condensed at 11 pixels
// (fonts-dejavu-extra) has both, where plain DejaVu Sans would need 7.
QFont windowFont();
QFont menuFont();
QIcon programIcon();
