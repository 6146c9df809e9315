#include "text_order.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

#include "row_store.h"

namespace {

constexpr char16_t kSmallYe = u'е', kSmallYo = u'ё', kCapitalYo = u'Ё';

// Decodes one code point of at most two UTF-8 bytes (everything the fast alphabet holds);
// returns 0 for anything longer or malformed, which sends the text to the slow path.
inline char32_t nextCodePoint(const char*& p, const char* end) {
    const auto b0 = static_cast<unsigned char>(*p);
    if (b0 < 0x80) {
        ++p;
        return b0;
    }
    if ((b0 & 0xE0) == 0xC0 && p + 1 < end) {
        const auto b1 = static_cast<unsigned char>(p[1]);
        if ((b1 & 0xC0) == 0x80) {
            p += 2;
            return char32_t((b0 & 0x1F) << 6 | (b1 & 0x3F));
        }
    }
    return 0;
}

inline bool isYo(char32_t c) {
    return c == kSmallYo || c == kCapitalYo;
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

// Runs work(half, begin, end) for the two halves of [0, n), the second on a thread of its
// own when the list is long enough to be worth one. The thread earns its place: sorting
// 1,000,000 entries by phone took 107-112 ms with it and 193-263 ms without (by surname
// 99-101 ms against 151-206 ms; `bench/run_bench.sh --only sort`, 2 cores).
template <class Work>
void inHalves(uint32_t n, Work&& work) {
    constexpr uint32_t kWorthAThread = 50000;
    const uint32_t middle = n / 2;
    if (n < kWorthAThread) {
        work(0, 0, middle);
        work(1, middle, n);
        return;
    }
    std::thread second;
    try {
        second = std::thread([&] { work(1, middle, n); });
    } catch (const std::system_error&) {
        work(1, middle, n);  // no thread to be had: the same work, one half after the other
    }
    work(0, 0, middle);
    if (second.joinable())
        second.join();
}

// Compact sort key: the ranks of the first 18 characters, 7 bits each, in two words; the
// top bit of k0 tells a text from no value. Ties are settled by a full comparison when a
// text is longer than the key or holds Ё, the one letter that differs beyond its rank.
struct Item {
    uint64_t k0 = 0;
    uint64_t k1 = 0;
    uint32_t index = 0;
    uint32_t needsFull = 0;
};

bool keyLess(const Item& a, const Item& b) {
    if (a.k0 != b.k0)
        return a.k0 < b.k0;
    if (a.k1 != b.k1)
        return a.k1 < b.k1;
    return a.index < b.index;
}

bool sameKey(const Item& a, const Item& b) {
    return a.k0 == b.k0 && a.k1 == b.k1;
}

// The texts to sort as the fast path reads them: through the ranks of their characters.
class RankedTexts {
public:
    RankedTexts(std::span<const uint8_t> rank, const TextOrder::TextAt& textAt)
        : m_rank(rank), m_textAt(textAt) {}

    // False when the text holds a character without a rank.
    bool encode(uint32_t index, Item& item) const;
    int compareFull(uint32_t a, uint32_t b) const;
    TextOrder::Text text(uint32_t index) const { return m_textAt(index); }

private:
    uint8_t rankOf(char32_t c) const { return c < m_rank.size() ? m_rank[c] : 0; }

    std::span<const uint8_t> m_rank;
    const TextOrder::TextAt& m_textAt;
};

bool RankedTexts::encode(uint32_t index, Item& item) const {
    const TextOrder::Text text = m_textAt(index);
    item = Item{.index = index};
    if (!text)
        return true;
    item.k0 = uint64_t(1) << 63;
    const char* p = text->data();
    const char* end = p + text->size();
    for (int count = 0; p < end; ++count) {
        const char32_t c = nextCodePoint(p, end);
        const uint8_t rank = rankOf(c);
        if (rank == 0)
            return false;
        if (count < 9)
            item.k0 |= uint64_t(rank) << (56 - 7 * count);
        else if (count < 18)
            item.k1 |= uint64_t(rank) << (56 - 7 * (count - 9));
        else
            item.needsFull = 1;
        if (isYo(c))
            item.needsFull = 1;
    }
    return true;
}

int RankedTexts::compareFull(uint32_t a, uint32_t b) const {
    const TextOrder::Text ta = m_textAt(a), tb = m_textAt(b);
    if (!ta || !tb)
        return int(bool(ta)) - int(bool(tb));
    // Primary: ranks over the whole text, a shorter text first.
    const char *pa = ta->data(), *ea = pa + ta->size();
    const char *pb = tb->data(), *eb = pb + tb->size();
    while (pa < ea && pb < eb) {
        const uint8_t ra = rankOf(nextCodePoint(pa, ea));
        const uint8_t rb = rankOf(nextCodePoint(pb, eb));
        if (ra != rb)
            return ra < rb ? -1 : 1;
    }
    if ((pa < ea) != (pb < eb))
        return pb < eb ? -1 : 1;
    // Secondary: at the first place where only one of them has Ё, that one is greater.
    pa = ta->data();
    pb = tb->data();
    while (pa < ea) {
        const bool ya = isYo(nextCodePoint(pa, ea));
        const bool yb = isYo(nextCodePoint(pb, eb));
        if (ya != yb)
            return yb ? -1 : 1;
    }
    return 0;
}

// Every text's item, the two halves on two threads; none when a text is outside the ranks.
std::unique_ptr<Item[]> encodeAll(const RankedTexts& texts, uint32_t n) {
    auto items = std::make_unique_for_overwrite<Item[]>(n);
    bool encoded[2] = {};
    inHalves(n, [&](int half, uint32_t begin, uint32_t end) {
        bool ok = true;
        for (uint32_t i = begin; i < end && ok; ++i)
            ok = texts.encode(i, items[i]);
        encoded[half] = ok;
    });
    if (!encoded[0] || !encoded[1])
        return nullptr;
    return items;
}

// The items spread over buckets by the top bits of their keys (the value flag and about the
// first two characters), each bucket in index order: many small sorts that stay in the
// cache instead of one over the whole list. Bucket b is [starts[b], starts[b + 1]).
struct Buckets {
    static constexpr int kShift = 48;
    std::unique_ptr<Item[]> items;
    std::vector<uint32_t> starts;
};

Buckets spreadOverBuckets(const Item* items, uint32_t n) {
    Buckets buckets{std::make_unique_for_overwrite<Item[]>(n),
                    std::vector<uint32_t>((size_t(1) << (64 - Buckets::kShift)) + 1, 0)};
    std::vector<uint32_t>& starts = buckets.starts;
    for (uint32_t i = 0; i < n; ++i)
        ++starts[(items[i].k0 >> Buckets::kShift) + 1];
    for (size_t b = 1; b < starts.size(); ++b)
        starts[b] += starts[b - 1];
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    for (uint32_t i = 0; i < n; ++i)
        buckets.items[next[items[i].k0 >> Buckets::kShift]++] = items[i];
    return buckets;
}

// Sorts each bucket by key; the two threads share the buckets out at the one where the
// second half of the items begins.
void sortBuckets(Buckets& buckets, uint32_t n) {
    const std::vector<uint32_t>& starts = buckets.starts;
    Item* const items = buckets.items.get();
    const size_t count = starts.size() - 1;
    const auto split =
        size_t(std::lower_bound(starts.begin(), starts.end(), n / 2) - starts.begin());
    inHalves(n, [&](int half, uint32_t, uint32_t) {
        for (size_t b = half == 0 ? 0 : split; b < (half == 0 ? split : count); ++b)
            if (starts[b + 1] - starts[b] > 1)
                std::sort(items + starts[b], items + starts[b + 1], keyLess);
    });
}

// Puts in order the runs of equal keys whose texts may still differ: longer than the key or
// with Ё. Equal keys mostly mean equal texts (the same street a thousand times), which the
// index order already settles; only runs with different texts are compared in full.
void settleEqualKeys(const RankedTexts& texts, Item* items, uint32_t n) {
    const auto fullLess = [&](const Item& a, const Item& b) {
        const int c = texts.compareFull(a.index, b.index);
        return c != 0 ? c < 0 : a.index < b.index;
    };
    for (uint32_t begin = 0; begin < n;) {
        uint32_t end = begin + 1;
        bool needsFull = items[begin].needsFull;
        for (; end < n && sameKey(items[end], items[begin]); ++end)
            needsFull |= bool(items[end].needsFull);
        if (needsFull && end - begin > 1) {
            const TextOrder::Text first = texts.text(items[begin].index);
            const bool allEqual =
                std::all_of(items + begin + 1, items + end,
                            [&](const Item& item) { return texts.text(item.index) == first; });
            if (!allEqual)
                std::sort(items + begin, items + end, fullLess);
        }
        begin = end;
    }
}

}  // namespace

const TextOrder& TextOrder::russian() {
    static const TextOrder order(QLocale(QLocale::Russian, QLocale::Russia));
    return order;
}

TextOrder::TextOrder(const QLocale& locale) : m_collator(locale) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_fastPath = buildRanks();
    if (!m_fastPath)
        qWarning(
            "TextOrder: the compact sort keys disagree with the collation of %s; every "
            "sort uses the collator's own keys, which is much slower",
            qPrintable(locale.name()));
}

bool TextOrder::buildRanks() {
    std::vector<char16_t> alphabet;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        alphabet.push_back(c);
    for (char16_t c = u'А'; c <= u'я'; ++c)
        alphabet.push_back(c);
    const QString empty;
    // Characters the collator ignores or expands cannot be ranked one by one.
    std::erase_if(alphabet,
                  [&](char16_t c) { return m_collator.compare(QString(QChar(c)), empty) <= 0; });
    std::stable_sort(alphabet.begin(), alphabet.end(), [&](char16_t a, char16_t b) {
        return m_collator.compare(QString(QChar(a)), QString(QChar(b))) < 0;
    });
    int rank = 0;
    for (size_t i = 0; i < alphabet.size(); ++i) {
        if (i == 0 ||
            m_collator.compare(QString(QChar(alphabet[i - 1])), QString(QChar(alphabet[i]))) != 0)
            ++rank;
        if (rank > 127)
            return false;  // does not fit the key
        m_rank[alphabet[i]] = uint8_t(rank);
    }
    m_rank[kSmallYo] = m_rank[kCapitalYo] = m_rank[kSmallYe];

    // The ranks must order every pair of characters exactly as the collator does, Ё after Е.
    alphabet.push_back(kSmallYo);
    alphabet.push_back(kCapitalYo);
    for (char16_t a : alphabet) {
        for (char16_t b : alphabet) {
            int expected = sign(int(m_rank[a]) - int(m_rank[b]));
            if (expected == 0)
                expected = int(isYo(a)) - int(isYo(b));
            if (sign(m_collator.compare(QString(QChar(a)), QString(QChar(b)))) != expected)
                return false;
        }
    }
    return true;
}

int TextOrder::compare(const std::optional<QString>& a, const std::optional<QString>& b) const {
    if (!a || !b)
        return int(bool(a)) - int(bool(b));
    return m_collator.compare(*a, *b);
}

std::vector<uint32_t> TextOrder::sortedOrder(std::span<const Text> texts) const {
    return sortedOrder(uint32_t(texts.size()), [texts](uint32_t i) { return texts[i]; });
}

std::vector<uint32_t> TextOrder::sortedOrder(uint32_t n, const TextAt& textAt) const {
    const RankedTexts texts(m_rank, textAt);
    std::unique_ptr<Item[]> items = m_fastPath ? encodeAll(texts, n) : nullptr;
    if (!items)
        return collatorOrder(n, textAt);
    Buckets buckets = spreadOverBuckets(items.get(), n);
    items.reset();
    sortBuckets(buckets, n);
    settleEqualKeys(texts, buckets.items.get(), n);
    std::vector<uint32_t> order(n);
    for (uint32_t i = 0; i < n; ++i)
        order[i] = buckets.items[i].index;
    return order;
}

std::vector<uint32_t> TextOrder::collatorOrder(uint32_t count, const TextAt& textAt) const {
    std::vector<std::optional<QCollatorSortKey>> keys;
    keys.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const Text text = textAt(i);
        keys.push_back(text ? std::optional(m_collator.sortKey(QString::fromUtf8(*text)))
                            : std::nullopt);
    }
    std::vector<uint32_t> order(count);
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        if (!keys[a] || !keys[b])
            return !keys[a] && keys[b];
        return keys[a]->compare(*keys[b]) < 0;
    });
    return order;
}

std::vector<uint32_t> columnOrder(const RowStore& rows, int column) {
    return TextOrder::russian().sortedOrder(uint32_t(rows.size()), [&](uint32_t row) {
        rows.prefetch(int(row) + RowStore::kReadAhead);
        return rows.field(int(row), column);
    });
}
