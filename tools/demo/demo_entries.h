#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "columns.h"
#include "demo_random.h"

// One generated entry as UTF-8, ready to bind; an empty optional stands for no value.
struct DemoEntry {
    std::optional<std::string> tel;
    std::string fam;
    std::optional<std::string_view> ul;
    std::optional<std::string> dom, kv, mob;

    // The field's value, valid while the entry is; the mobile number of a city entry is none.
    std::optional<std::string_view> value(Field field) const;
};

// "Иванов" → "Иванова", "Троицкий" → "Троицкая"; surnames without a feminine form
// ("Шевченко", "Черных") stay as they are.
QString feminineSurname(const QString& masculine);

// Makes entries one after another from a seed. City entries come in the order of their phone
// numbers, as the exchange lists its subscribers; `count` of them share the town's number plan
// evenly, so numbers repeat only once every number is taken.
class DemoEntryMaker {
public:
    enum class Kind { City, Personal };
    DemoEntryMaker(std::uint64_t seed, Kind kind, std::uint64_t count = 0);

    void make(DemoEntry& entry);

private:
    struct Surname {
        std::string male, female;
    };

    void makeName(std::string& fam);
    void makeAddress(DemoEntry& entry);
    void nextCityPhone(std::string& tel);

    Kind m_kind;
    DemoRandom m_random;
    std::uint64_t m_buildingSalt;
    std::vector<Surname> m_surnames;  // Иванов first, then the weighted rest
    WeightedPick m_surnamePick, m_streetPick, m_maleInitialPick, m_femaleInitialPick;
    // Every number of the plan has m_perNumber subscribers; m_extraLeft of the numbers not
    // yet handed out get one more.
    std::uint64_t m_perNumber, m_extraLeft;
    std::uint32_t m_planIndex = 0, m_phone = 0;
    std::uint64_t m_phoneRepeats = 0;  // entries still to get m_phone
};
