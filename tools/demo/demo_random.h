#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// A small generator of our own: the demo file must come out byte for byte the same for the
// same seed on every machine, which the standard distributions do not promise.
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : m_state(seed) {}

    // splitmix64: one addition and a strong mix per value, good enough for demo data.
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // A value in [0, n) for n below 2^32; the tiny bias of the multiply is harmless here.
    std::uint32_t below(std::uint32_t n) {
        return std::uint32_t(((next() >> 32) * std::uint64_t(n)) >> 32);
    }

    bool chance(std::uint32_t perMille) { return below(1000) < perMille; }

private:
    std::uint64_t m_state;
};

// Picks an index with probability proportional to integer weights.
class WeightedPick {
public:
    explicit WeightedPick(const std::vector<std::uint32_t>& weights) {
        std::uint32_t total = 0;
        for (std::uint32_t w : weights)
            m_upTo.push_back(total += w);
    }

    std::uint32_t operator()(DemoRandom& random) const {
        const std::uint32_t x = random.below(m_upTo.back());
        return std::uint32_t(std::upper_bound(m_upTo.begin(), m_upTo.end(), x) - m_upTo.begin());
    }

private:
    std::vector<std::uint32_t> m_upTo;
};
