#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <cstring>

// What a UTF-8 value needs before it can go into an HTML document, found eight bytes at a
// time: the bulk of a directory is short ASCII values that are copied as they are.
struct ValueScan {
    bool nonAscii = false;  // needs converting to the document's code page
    bool markup = false;    // holds & < > and needs escaping
};

namespace value_scan_detail {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Nonzero when one of the eight bytes of `word` equals `byte`.
constexpr std::uint64_t hasByte(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return (x - kOnes) & ~x & kHighBits;
}

// 1 to 8 bytes as one word; short runs repeat some bytes and leave zeros, which changes
// neither test.
inline std::uint64_t loadShort(const char* bytes, qsizetype n) {
    if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, bytes, 4);
        std::memcpy(&last, bytes + n - 4, 4);
        return first | std::uint64_t(last) << 32;
    }
    const auto byte = [bytes](qsizetype i) { return std::uint64_t(std::uint8_t(bytes[i])); };
    return byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
}

}  // namespace value_scan_detail

inline ValueScan scanValue(QByteArrayView value) {
    using namespace value_scan_detail;
    std::uint64_t high = 0;
    std::uint64_t markup = 0;
    const auto take = [&](std::uint64_t word) {
        high |= word & kHighBits;
        markup |= hasByte(word, '&') | hasByte(word, '<') | hasByte(word, '>');
    };
    const char* bytes = value.data();
    qsizetype n = value.size();
    for (; n >= 8; bytes += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        take(word);
    }
    if (n > 0) {
        take(loadShort(bytes, n));
    }
    return {high != 0, markup != 0};
}
