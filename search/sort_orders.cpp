#include "sort_orders.h"

const std::array<SortOrder, 5>& sortOrders() {
    using enum SortOrder::Mark;
    static const std::array<SortOrder, 5> orders = {{
        {"bytel", "По телефону", "N2", "Телефон", Field::Phone, "Т", BarTick},
        {"byName", "По фамилиии", "N3", "Фамилия", Field::Surname, "Ф", PopupCheck},
        {"byUl", "По улице", "N4", "Улица", Field::Street, "У", PopupCheck},
        {"ByDom", "По № дома", "N5", "№ дома", Field::House, "Д", PopupCheck},
        {"ByKv", "По № квартиры", "N6", "№ квартиры", Field::Apartment, "К", PopupCheck},
    }};
    return orders;
}
