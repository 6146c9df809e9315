#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

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

// A LIKE pattern taken apart the way an engine's index needs it.
struct LikeShape {
    QString folded;         // the whole pattern, folded
    QString literalPrefix;  // the folded characters before the first wildcard
    bool literal = false;   // no wildcard at all: literalPrefix is the whole pattern
    bool anyValue = false;  // nothing but '%': every value matches
    bool matchesNothing = false;
    bool foldMatters = false;  // see foldMatters() above

    static LikeShape of(QStringView pattern);
};

// One of the city query's three parameters, ready for an engine's planner.
struct ShapedParameter {
    Field field = Field::Phone;
    LikeShape like;
    bool orWithoutValue = false;  // see LikeParameter
};

// The phone, house and apartment parameters in that order; none when one of them selects
// nothing (it has no value, or its pattern can match nothing), and with it the whole query.
std::optional<std::array<ShapedParameter, 3>> shapedParameters(const CityCriteria& criteria);
