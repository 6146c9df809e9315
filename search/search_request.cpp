#include "search_request.h"

namespace {

LikeParameter typedOrAnything(const QString& input) {
    return input.isEmpty() ? LikeParameter::anything() : LikeParameter{input};
}

}  // namespace

bool SearchInputs::hasInput() const {
    return !surname.isEmpty() || !street.isEmpty() || !house.isEmpty() || !apartment.isEmpty() ||
           phone != kEmptyPhoneText;
}

CityCriteria searchCriteria(const SearchInputs& inputs) {
    return {LikeParameter{PhoneToPattern(inputs.phone)},
            typedOrAnything(inputs.house),
            typedOrAnything(inputs.apartment),
            {inputs.surname, inputs.street}};
}
