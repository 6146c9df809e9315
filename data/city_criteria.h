#pragma once

#include <QString>
#include <optional>

// A LIKE parameter of the city query: '_' stands for one character, '%' for any run, every
// other character for itself (see matching.h for how texts compare).
struct LikeParameter {
    QString pattern;
    // The parameter stands for a search input that was left empty: an entry whose field has
    // no value matches too. A typed pattern, "%" included, never matches a missing value.
    bool orWithoutValue = false;

    // What an input left empty selects: every entry, with or without a value.
    static LikeParameter anything() { return {QStringLiteral("%"), true}; }
    friend bool operator==(const LikeParameter&, const LikeParameter&) = default;
};

// What the city query selects: the statement's three parameters and the filter applied to
// the rows it returns, all held as data. A parameter without a value selects nothing, which
// is how the grid starts empty.
struct CityCriteria {
    std::optional<LikeParameter> kalvex;  // the phone
    std::optional<LikeParameter> dom;     // the house
    std::optional<LikeParameter> kv;      // the apartment

    // The filter: entries whose surname and street begin with these texts. An empty prefix
    // restricts nothing, entries without a value included.
    struct Filter {
        QString fam;
        QString ul;
        friend bool operator==(const Filter&, const Filter&) = default;
    } filter;

    // Every entry of the directory.
    static CityCriteria everything() {
        return {
            LikeParameter::anything(), LikeParameter::anything(), LikeParameter::anything(), {}};
    }
    bool selectsNothing() const { return !kalvex || !dom || !kv; }
    friend bool operator==(const CityCriteria&, const CityCriteria&) = default;
};
