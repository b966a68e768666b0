// A seeded generator of uniform random numbers, the same sequence on every compiler
// and library: the genetic optimiser's draws and model 3's simulated fleets.
#pragma once

#include <cstdint>

namespace rel {

// xoshiro256** (Blackman and Vigna, 2018), its state filled from a 64-bit seed by
// SplitMix64. A draw is the top 53 bits of the next output times 2^-53. The sequence
// of a seed is fixed by these published algorithms, on every compiler and library.
class Xoshiro256 {
public:
    explicit Xoshiro256(std::uint64_t seed = 0) { Seed(seed); }
    void Seed(std::uint64_t seed);
    std::uint64_t NextU64();
    double NextDouble() { return static_cast<double>(NextU64() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t s_[4];
};

}  // namespace rel
