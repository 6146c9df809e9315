#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include "city_query.h"

// Turns the city query's parameters and filter into one SQL statement over `tel`. Matching
// runs on folded text (text_fold.h): from the search index when the file has one, else by
// folding as the rows are read. With the index, the condition that selects the fewest
// entries (counted up to a small limit) leads through its index; the others check the rows
// it yields.
struct CitySearch {
    QByteArray sql;               // selects key and the five fields
    QList<QByteArray> bindings;   // texts for ?1, ?2, ...
    bool selectsNothing = false;  // a parameter without a value, or a pattern that cannot match

    struct Criteria {
        std::optional<QString> phone, house, apartment;
        CityFilter filter;
    };
    static CitySearch plan(sqlite3* db, bool indexed, const Criteria& criteria);
};
