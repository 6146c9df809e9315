#pragma once

#include <QByteArray>

#include "city_criteria.h"
#include "sql_statement.h"

struct sqlite3;
struct StoredTable;

// Turns the city criteria into one SQL statement over `tel`, matching as matching.h says:
// on folded text, from the search index when the file has one, else by folding as the rows
// are read. With the index, the condition that selects the fewest entries (counted up to a
// small limit) leads through its index; the others check the rows it yields. LIKE patterns
// run as GLOB patterns, which compare exactly (SQLite's own LIKE folds ASCII letters only).
struct CitySearch {
    SqlStatement select{'?'};     // the key and the city columns in field order
    bool selectsNothing = false;  // a parameter without a value, or a pattern that cannot match

    // `tel` names the city table's columns as the file has them.
    static CitySearch plan(sqlite3* db, bool indexed, const StoredTable& tel,
                           const CityCriteria& criteria);
};

// A LIKE pattern, already folded, as a GLOB pattern.
QByteArray globPattern(QStringView foldedLike);
