#pragma once

#include <cstdint>
#include <iterator>

namespace listing_site {

// A small generator whose output is fixed by its seed on every platform (the standard
// distributions are not), so a seed always gives the same guide.
class CRandom
{
public:
    explicit CRandom(std::uint64_t seed)
        : m_state(seed)
    {}

    std::uint64_t Next()
    {
        // splitmix64
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A number from 0 to n - 1 (n > 0).
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

    template <typename Container>
    const auto& Pick(const Container& items)
    {
        return items[Below(std::size(items))];
    }

private:
    std::uint64_t m_state;
};

// Folds several numbers into one seed.
inline std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t a, std::uint64_t b, std::uint64_t c)
{
    CRandom r(seed ^ (a * 0x100000001B3ull) ^ (b << 20) ^ (c << 44));
    r.Next();
    return r.Next();
}

} // namespace listing_site
