#pragma once

#include <QString>

#include "city_query.h"

// What the five search inputs hold, read as the search reads them.
struct SearchInputs {
    QString phone = QStringLiteral(" -  -  ");  // the masked phone text
    QString surname{}, street{}, house{}, apartment{};

    // Any character typed counts, spaces included; the phone counts once a digit is in it.
    bool hasInput() const;
};

// The city query's three parameters and its filter for a search.
struct SearchRequest {
    QString kalvex, dom, kv;
    CityFilter filter;

    static SearchRequest from(const SearchInputs& inputs);
    void applyTo(CityQuery& query) const;
};
