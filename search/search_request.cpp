#include "search_request.h"

#include "phone_text.h"

bool SearchInputs::hasInput() const {
    return !surname.isEmpty() || !street.isEmpty() || !house.isEmpty() || !apartment.isEmpty() ||
           phone != kEmptyPhoneText;
}

SearchRequest SearchRequest::from(const SearchInputs& inputs) {
    // Surname and street are prefixes, typed text as it stands; an empty one restricts nothing.
    return {PhoneToPattern(inputs.phone),
            inputs.house.isEmpty() ? QStringLiteral("%") : inputs.house,
            inputs.apartment.isEmpty() ? QStringLiteral("%") : inputs.apartment,
            {{QStringLiteral("fam"), inputs.surname}, {QStringLiteral("ul"), inputs.street}}};
}

void SearchRequest::applyTo(CityQuery& query) const {
    query.setFilter(filter);
    query.setParameter(QStringLiteral("kalvex"), kalvex);
    query.setParameter(QStringLiteral("dom"), dom);
    query.setParameter(QStringLiteral("kv"), kv);
}
