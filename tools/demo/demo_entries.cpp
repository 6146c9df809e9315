#include "demo_entries.h"

#include "demo_words.h"

std::optional<std::string_view> DemoEntry::value(Field field) const {
    switch (field) {
        case Field::Phone:
            return tel;
        case Field::Surname:
            return fam;
        case Field::Street:
            return ul;
        case Field::House:
            return dom;
        case Field::Apartment:
            return kv;
        case Field::Mobile:
            return mob;
    }
    return std::nullopt;
}

namespace {

std::uint64_t mix(std::uint64_t x) {
    return DemoRandom(x).next();
}

// Share of the entries in per mille.
constexpr std::uint32_t kIvanovShare = 20;  // so a search for "Иванов" always finds plenty
constexpr std::uint32_t kWomenShare = 450;
constexpr std::uint32_t kPrivateHouseShare = 250;
constexpr std::uint32_t kNoStreetShare = 3, kNoHouseShare = 3;
constexpr std::uint32_t kPersonalLandlineShare = 750;

// The number plan: the old exchange 12 with a few hundred lines and the exchanges 20…69.
constexpr std::uint32_t kOldExchangeFirst = 12000, kOldExchangeLines = 500;
constexpr std::uint32_t kExchangesFirst = 20000, kExchangesLines = 50000;
constexpr std::uint32_t kPlanSize = kOldExchangeLines + kExchangesLines;

// Commoner words first: weights fall off like 1/rank, gently at the top.
std::vector<std::uint32_t> rankWeights(std::size_t count, std::uint32_t flatness) {
    std::vector<std::uint32_t> weights;
    for (std::size_t rank = 0; rank < count; ++rank)
        weights.push_back(1000000 / (rank + flatness));
    return weights;
}

template <typename List>
std::vector<std::uint32_t> wordWeights(const List& words) {
    std::vector<std::uint32_t> weights;
    for (const WeightedWord& w : words)
        weights.push_back(w.weight);
    return weights;
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

void appendNumber(std::string& out, std::uint32_t value, int digits) {
    char buffer[8];
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        buffer[i] = char('0' + value % 10);
    out.append(buffer, std::size_t(digits));
}

}  // namespace

QString feminineSurname(const QString& masculine) {
    for (auto ending : {u"ов", u"ев", u"ёв", u"ин", u"ын"})
        if (masculine.endsWith(QStringView(ending)))
            return masculine + u'а';
    for (auto ending : {u"ский", u"цкий", u"ской", u"цкой"})
        if (masculine.endsWith(QStringView(ending)))
            return masculine.chopped(2) + QStringLiteral("ая");
    return masculine;
}

DemoEntryMaker::DemoEntryMaker(std::uint64_t seed, Kind kind, std::uint64_t count)
    : m_kind(kind),
      m_random(mix(seed) ^ (kind == Kind::City ? 0x636974795f746c65ULL : 0x6c6963686e6f6500ULL)),
      m_buildingSalt(mix(seed ^ 0x686f75736573ULL)),
      m_surnamePick(rankWeights(demoSurnames().size(), 20)),
      m_streetPick(rankWeights(demoStreets().size(), 8)),
      m_maleInitialPick(wordWeights(demoMaleInitials())),
      m_femaleInitialPick(wordWeights(demoFemaleInitials())),
      m_perNumber(count / kPlanSize),
      m_extraLeft(count % kPlanSize) {
    const QString ivanov = QString::fromUtf8(kDemoIvanov);
    m_surnames.push_back({utf8(ivanov), utf8(feminineSurname(ivanov))});
    for (std::string_view s : demoSurnames()) {
        const QString male = QString::fromUtf8(s);
        m_surnames.push_back({utf8(male), utf8(feminineSurname(male))});
    }
}

void DemoEntryMaker::make(DemoEntry& entry) {
    entry.tel.reset();
    if (m_kind == Kind::City) {
        nextCityPhone(entry.tel.emplace());
    } else if (m_random.chance(kPersonalLandlineShare)) {
        appendNumber(entry.tel.emplace(),
                     m_random.chance(10) ? kOldExchangeFirst + m_random.below(kOldExchangeLines)
                                         : kExchangesFirst + m_random.below(kExchangesLines),
                     5);
    }
    makeName(entry.fam);
    makeAddress(entry);
    if (m_kind == Kind::City) {
        entry.mob.reset();
    } else {
        const auto codes = demoMobileCodes();
        std::string& mob = entry.mob.emplace("+7 ");
        mob += codes[m_random.below(std::uint32_t(codes.size()))];
        mob += ' ';
        appendNumber(mob, m_random.below(1000), 3);
        mob += '-';
        appendNumber(mob, m_random.below(100), 2);
        mob += '-';
        appendNumber(mob, m_random.below(100), 2);
    }
}

void DemoEntryMaker::makeName(std::string& fam) {
    const bool woman = m_random.chance(kWomenShare);
    const Surname& surname =
        m_surnames[m_random.chance(kIvanovShare) ? 0 : 1 + m_surnamePick(m_random)];
    const auto given = woman ? demoFemaleInitials() : demoMaleInitials();
    const auto& givenPick = woman ? m_femaleInitialPick : m_maleInitialPick;
    fam = woman ? surname.female : surname.male;
    fam += ' ';
    fam += given[givenPick(m_random)].text;
    fam += '.';
    fam += demoMaleInitials()[m_maleInitialPick(m_random)].text;
    fam += '.';
}

void DemoEntryMaker::makeAddress(DemoEntry& entry) {
    const std::uint32_t street = m_streetPick(m_random);
    entry.ul.reset();
    if (!m_random.chance(kNoStreetShare))
        entry.ul = demoStreets()[street];

    // Low house numbers are the commonest: every street has a house 1, few have a 150.
    const std::uint32_t number = 1 + std::min(m_random.below(150), m_random.below(150));
    const std::uint32_t shape = m_random.below(100);
    std::string& dom = entry.dom.emplace(std::to_string(number));
    std::uint32_t suffix = 0;
    if (shape < 7) {
        static constexpr std::string_view kLetters[] = {"а", "а", "а", "б", "б", "в", "г"};
        dom += kLetters[shape];
        suffix = 1 + shape;
    } else if (shape < 12) {
        dom += '/';
        dom += char('1' + shape - 7);
        suffix = 8 + shape;
    }
    if (m_random.chance(kNoHouseShare))
        entry.dom.reset();

    // Whether a house is private, and how many flats a block has, belongs to the house, so
    // everybody at one address agrees.
    const std::uint64_t house =
        mix(m_buildingSalt ^ (std::uint64_t(street) << 32) ^ (number << 5) ^ suffix);
    entry.kv.reset();
    if (!entry.dom || house % 1000 < kPrivateHouseShare)
        return;
    const std::uint32_t flats = 8 + std::uint32_t((house >> 16) % 233);
    entry.kv = std::to_string(1 + m_random.below(flats));
}

void DemoEntryMaker::nextCityPhone(std::string& tel) {
    while (m_phoneRepeats == 0) {
        if (m_planIndex == kPlanSize) {  // more entries than announced: one more per number
            m_planIndex = 0;
            m_perNumber = 1;
        }
        // Selection sampling (Knuth's algorithm S) picks the numbers that get one subscriber
        // more, evenly over the plan and in ascending order.
        m_phoneRepeats = m_perNumber;
        if (m_random.below(kPlanSize - m_planIndex) < m_extraLeft) {
            ++m_phoneRepeats;
            --m_extraLeft;
        }
        m_phone = m_planIndex < kOldExchangeLines
                      ? kOldExchangeFirst + m_planIndex
                      : kExchangesFirst + m_planIndex - kOldExchangeLines;
        ++m_planIndex;
    }
    --m_phoneRepeats;
    appendNumber(tel, m_phone, 5);
}
