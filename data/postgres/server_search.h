#pragma once

#include <QByteArray>
#include <vector>

#include "city_criteria.h"
#include "copy_rows.h"
#include "server_session.h"

struct StoredTable;

// Turns the city criteria into one statement over `tel`, matching as matching.h says: every
// condition that folding could change, or that an index could serve, compares the fold of the
// column (fold_sql.h), which the search indexes hold; the others compare the stored text. A
// prefix is a range of folded texts; a LIKE pattern goes with '\' as its escape character,
// doubled wherever the user typed it, so only '%' and '_' are wildcards.
//
// A search no index can serve reads every entry: it streams them with COPY instead, which is
// faster for the server to send. COPY takes no parameters, so they are bound first into
// settings of the session (set_config) that the statement reads once. The conditions on a
// value's length alone are left to the program (lengthTests): they take nearly every entry.
struct ServerSearch {
    QByteArray sql;  // selects the key (as int8) and the city columns in field order
    ServerParameters parameters;
    bool selectsNothing = false;   // a parameter without a value, or a pattern that cannot match
    bool readsEverything = false;  // no condition that an index can serve
    std::vector<LengthTest> lengthTests;  // with readsEverything: what the rows must pass too

    // "SELECT set_config('telspr.p1', $1, false), ...": binds the parameters for copySql().
    QByteArray settingsSql() const;
    // `sql` reading its parameters from those settings.
    QByteArray copySql() const;

    // `tel` names the city table's columns as the server has them.
    static ServerSearch plan(const StoredTable& tel, const CityCriteria& criteria);
};

// The smallest text above every text that begins with `prefix` in code point order, or none
// when there is no such text (the prefix is all U+10FFFF).
std::optional<QString> prefixSuccessor(const QString& prefix);
