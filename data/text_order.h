#pragma once

#include <QByteArrayView>
#include <QCollator>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class RowStore;

// The directory's text order: Russian alphabetical order as ICU's Russian collation gives it,
// letter case ignored (Ё sorts with Е), a field without a value before every text.
//
// Sorting a million entries by calling the collator for every comparison is far too slow,
// so texts made only of the common characters (ASCII, А-я, Ёё) are sorted by compact keys
// built from each character's rank in the collator's own order; the ranks are read from
// the collator when the order is built and checked against it (a warning says when they
// disagree, and every sort then uses the collator's keys). Any other text makes the sort
// fall back to the collator's sort keys, so the result is the collator's either way.
class TextOrder {
public:
    static const TextOrder& russian();
    explicit TextOrder(const QLocale& locale);

    int compare(const std::optional<QString>& a, const std::optional<QString>& b) const;

    using Text = std::optional<QByteArrayView>;  // UTF-8, no value = nullopt
    // Gives text i; called from more than one thread at once, for different i.
    using TextAt = std::function<Text(uint32_t index)>;

    // The stable ascending order of `texts`: element i of the result is the index of the
    // text that goes to place i; equal texts keep their order.
    std::vector<uint32_t> sortedOrder(std::span<const Text> texts) const;
    // The same for `count` texts read through `textAt`, which spares the caller a copy.
    std::vector<uint32_t> sortedOrder(uint32_t count, const TextAt& textAt) const;

private:
    std::vector<uint32_t> collatorOrder(uint32_t count, const TextAt& textAt) const;
    // Reads each character's rank from the collator; false when the ranks cannot stand in
    // for it.
    bool buildRanks();

    static constexpr char32_t kRankedLimit = 0x460;  // ranks cover code points below this
    QCollator m_collator;
    std::array<uint8_t, kRankedLimit> m_rank{};  // 0: not in the fast alphabet
    bool m_fastPath = false;
};

// The order of the rows by one column in the directory's text order (what sorting a data set
// by that column puts in place): each text read where it lies, a few rows ahead of the one
// asked for (see RowStore::prefetch), from the sort's two threads at once.
std::vector<uint32_t> columnOrder(const RowStore& rows, int column);
