#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "city_criteria.h"
#include "columns.h"

// How a search matches an entry, the same for every engine:
// - Texts are compared folded: letter case is ignored for Latin and Cyrillic, and Ё is the
//   same letter as Е ("иван" finds "Иванов", "елкин" finds "Ёлкин"). Every other character
//   stands for itself, so a folded text has exactly as many characters as the original.
// - Surname and street (the filter): the folded value begins with the folded prefix. An empty
//   prefix takes every entry, those without a value included.
// - Phone, house and apartment (the parameters): LIKE patterns over the folded value, '_' one
//   character and '%' any run. A field without a value matches only a parameter that stands
//   for an input left empty (LikeParameter::orWithoutValue).
// - A pattern or prefix holding a NUL character matches nothing.
// An engine may compare raw stored text where folding cannot change the outcome
// (foldMatters), which lets it use plain indexes.

char16_t foldChar(char16_t c);
QString foldText(QStringView text);
QByteArray foldUtf8(QByteArrayView utf8);

// True when folding can change what the text matches, i.e. it holds a letter that folding
// maps or produces. Texts without such letters match the same stored values folded or not.
bool foldMatters(QStringView text);

// A LIKE pattern, or a prefix, taken apart the way an engine's index needs it.
struct LikeShape {
    QString folded;         // the whole pattern (or prefix), folded
    QString literalPrefix;  // the folded characters before the first wildcard: every match
                            // begins with them
    bool literal = false;   // no wildcard at all: literalPrefix is the whole pattern
    bool anyValue = false;  // nothing but '%': every value matches
    bool matchesNothing = false;
    bool foldMatters = false;  // see foldMatters() above

    static LikeShape of(QStringView pattern);
    // A prefix: its folded text begins every match, whatever follows.
    static LikeShape ofPrefix(QStringView prefix);
};

// One condition of the city query, for an engine to write in its own SQL.
struct SearchCondition {
    Field field = Field::Phone;
    bool prefix = false;  // the folded value begins with like.folded; else it matches the pattern
    LikeShape like;
    bool orWithoutValue = false;  // a field without a value matches too (see LikeParameter)
};

// What the city query asks, as data (an engine renders it): the phone, house and apartment
// patterns, then the surname and street prefixes, leaving out those that restrict nothing
// (an empty prefix, an input left empty). None when the criteria can select nothing (a
// parameter without a value, a NUL character).
std::optional<std::vector<SearchCondition>> searchConditions(const CityCriteria& criteria);
