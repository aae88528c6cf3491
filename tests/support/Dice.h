#pragma once

#include <cstdint>
#include <random>

// Random figures from a fixed seed, the same on every machine for the same seed, for tests that generate
// long runs and must be repeatable.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    // A whole number from low to high, both included.
    int between(int low, int high) {
        return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::mt19937_64 engine_;
};
