#pragma once

#include <QFont>
#include <QIcon>

// The fonts and the icon the windows share. The old window font was an 8-point bitmap
// sans-serif whose digits are 6 pixels wide, and the window's layout (the column headings
// above the grid's columns) counts on that width; DejaVu Sans at 10 pixels, always
// installed, has it.
QFont windowFont();
QFont menuFont();
QIcon programIcon();
