#pragma once

#include <QString>

#include "city_criteria.h"
#include "phone_text.h"

// What the five search inputs hold, read as the search reads them.
struct SearchInputs {
    QString phone = kEmptyPhoneText;  // the masked phone text
    QString surname{}, street{}, house{}, apartment{};

    // Any character typed counts, spaces included; the phone counts once a digit is in it.
    bool hasInput() const;
};

// The city query's criteria for a search: the phone mask as a pattern, the house and the
// apartment as typed ("%" for an input left empty, which also takes entries without a value),
// the surname and the street as prefixes, typed text as it stands.
CityCriteria searchCriteria(const SearchInputs& inputs);
