#pragma once

#include <QFont>
#include <QIcon>

// The fonts and the icon the windows share. The old window font was an 8-point bitmap
// sans-serif 11 pixels high; DejaVu Sans at that pixel size is the closest always installed.
QFont windowFont();
QFont menuFont();
QIcon programIcon();
