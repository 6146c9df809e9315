#include "sort_parts.h"

#include <cstdio>

#include "bench_files.h"
#include "connection.h"
#include "row_store.h"
#include "sample.h"
#include "search_request.h"
#include "storage_engine.h"
#include "text_order.h"

int runSortParts(const QString& file, int runs) {
    // What the search for every entry with a house asks for.
    const CityCriteria criteria = searchCriteria(SearchInputs{.house = QStringLiteral("%")});
    Connection connection(connectionStringFor(file));
    RowStore rows(int(kCityTable.columns.size()));
    connection.engine().loadCity(criteria, rows);
    Sample order, reorder;
    for (int run = 0; run <= runs; ++run) {  // run 0 warms up
        rows.reorder(columnOrder(rows, kCityTable.indexOf(Field::Surname)));
        std::vector<uint32_t> byPhone;
        const double orderMs =
            timeMs([&] { byPhone = columnOrder(rows, kCityTable.indexOf(Field::Phone)); });
        const double reorderMs = timeMs([&] { rows.reorder(byPhone); });
        if (run > 0) {
            order.ms.push_back(orderMs);
            reorder.ms.push_back(reorderMs);
        }
    }
    std::printf("%.1f %.1f\n", order.median(), reorder.median());
    return 0;
}
