#include "sort_orders.h"

const std::array<SortOrder, 5>& sortOrders() {
    static const std::array<SortOrder, 5> orders = {{
        {"bytel", "bytelExecute", "По телефону", "N2", "Телефон", "tel", "Т"},
        {"byName", "byNameExecute", "По фамилиии", "N3", "Фамилия", "fam", "Ф"},
        {"byUl", "byUlExecute", "По улице", "N4", "Улица", "ul", "У"},
        {"ByDom", "ByDomExecute", "По № дома", "N5", "№ дома", "dom", "Д"},
        {"ByKv", "ByKvExecute", "По № квартиры", "N6", "№ квартиры", "kv", "К"},
    }};
    return orders;
}
