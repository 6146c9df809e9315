#include "sort_orders.h"

const std::array<SortOrder, 5>& sortOrders() {
    static const std::array<SortOrder, 5> orders = {{
        {"bytel", "bytelExecute", "По телефону", "N2", "Телефон", Field::Phone, "Т"},
        {"byName", "byNameExecute", "По фамилиии", "N3", "Фамилия", Field::Surname, "Ф"},
        {"byUl", "byUlExecute", "По улице", "N4", "Улица", Field::Street, "У"},
        {"ByDom", "ByDomExecute", "По № дома", "N5", "№ дома", Field::House, "Д"},
        {"ByKv", "ByKvExecute", "По № квартиры", "N6", "№ квартиры", Field::Apartment, "К"},
    }};
    return orders;
}
