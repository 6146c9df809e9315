#pragma once

#include <QString>
#include <array>

#include "columns.h"

// The five orders of the listing, in menu order. Each is one action with an item on the
// menu bar (objectName "bar_" + action) and one in the grid's popup menu.
struct SortOrder {
    // Which of its marks tells a search that the order is the active one: the phone order is
    // known by its menu-bar tick, the others by their popup check marks.
    enum class Mark { BarTick, PopupCheck };

    QString action;      // objectName of the command, e.g. "bytel"
    QString barCaption;  // item of the menu bar's "Сортировка" menu
    QString popupItem;   // objectName of the popup item, e.g. "N2"
    QString popupCaption;
    Field key;       // the field the data set is sorted by
    QString letter;  // shown in status panel 2 while the order is active
    Mark readBack;
};

const std::array<SortOrder, 5>& sortOrders();
