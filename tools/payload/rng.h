#pragma once
// A small deterministic generator (SplitMix64): the same seed gives the
// same bytes on every platform and compiler.
#include <cstddef>
#include <cstdint>

namespace qv::payload {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (0 when n is 0).
    std::uint32_t Below(std::uint32_t n) {
        return n == 0 ? 0 : static_cast<std::uint32_t>((Next() >> 32) % n);
    }
    // lo .. hi inclusive.
    int Between(int lo, int hi) { return lo + static_cast<int>(Below(static_cast<std::uint32_t>(hi - lo + 1))); }
    bool Percent(unsigned p) { return Below(100) < p; }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 56); }

    // Uniform choice, or one that favours the first elements as words of
    // a language favour their most frequent ones.
    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(N)]; }
    template <class T, std::size_t N>
    const T& PickSkewed(const T (&items)[N]) { return items[Below(Below(N) + 1)]; }

private:
    std::uint64_t state_;
};

}  // namespace qv::payload
