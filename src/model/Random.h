// Random sources for the generator. Plain C++: the model links this without Qt.
#pragma once

#include <cstdint>

#include "model/modTarvock.h"

namespace quelvane {

// xoshiro256** seeded through splitmix64: small, fast, and the same on every machine.
class Xoshiro256 {
public:
    explicit Xoshiro256(uint64_t seed = 0) { Seed(seed); }
    void Seed(uint64_t seed);
    uint64_t Next();
    // 53 random bits scaled into [0, 1); never 1.0.
    double NextFraction() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    uint64_t s_[4] = {};
};

// The program's source: every Reseed draws a fresh seed from the clock. Two reseeds in the
// same clock tick still differ, because a per-process counter and the process id are mixed in.
class ClockRandom final : public RandomSource {
public:
    ClockRandom() { Reseed(); }
    void Reseed() override;
    double NextFraction() override { return rng_.NextFraction(); }
    uint64_t LastSeed() const { return lastSeed_; }

private:
    Xoshiro256 rng_;
    uint64_t lastSeed_ = 0;
};

// A reproducible stream: seeded once, Reseed does nothing, so a run of generations continues
// one sequence and the same seed gives the same characters everywhere.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(uint64_t seed) : rng_(seed) {}
    void Reseed() override {}
    double NextFraction() override { return rng_.NextFraction(); }

private:
    Xoshiro256 rng_;
};

// A seed taken from the clock, the process and a counter, as ClockRandom uses.
uint64_t ClockSeed();

// The process id that ClockSeed mixes in: read once, and anew in a forked child.
uint64_t SeedProcessId();

} // namespace quelvane
