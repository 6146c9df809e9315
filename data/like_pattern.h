#pragma once

#include <QByteArray>
#include <QString>

// A LIKE pattern ('_' one character, '%' any run, everything else itself) in the form the
// search runs it: folded for matching and written as an SQLite GLOB pattern, which compares
// exactly (SQLite's own LIKE folds ASCII letters only).
struct LikePattern {
    QByteArray glob;                 // UTF-8 GLOB pattern over folded text
    QByteArray literalPrefix;        // folded characters before the first wildcard
    bool literal = false;            // no wildcard at all: literalPrefix is the whole pattern
    bool matchesEverything = false;  // the pattern "%": also a field without a value matches
    bool matchesNothing = false;     // a pattern that no stored text can match
    bool needsFolding = false;       // false when the raw stored text can be matched directly

    static LikePattern fromLike(const QString& like);
};
