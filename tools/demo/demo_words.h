#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The words the demo directory is made of, as UTF-8. Every list is checked at compile time
// against the field sizes, so no combination the generator makes can overflow a field.

struct WeightedWord {
    std::string_view text;
    std::uint32_t weight;
};

// Surnames in their masculine form, roughly commonest first. "Иванов" is not among them:
// the generator gives it a fixed share so that searches for it find a known amount.
std::span<const std::string_view> demoSurnames();
inline constexpr std::string_view kDemoIvanov = "Иванов";

// Streets of the town, the busiest first.
std::span<const std::string_view> demoStreets();

// First letters of given names; a patronymic starts with a man's initial.
std::span<const WeightedWord> demoMaleInitials();
std::span<const WeightedWord> demoFemaleInitials();

// Codes of the mobile networks around the town, "912" and so on.
std::span<const std::string_view> demoMobileCodes();
