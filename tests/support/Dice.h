#pragma once

#include <cstdint>
#include <cstdlib>
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

// The seed in the environment variable when it is set, so that another run can be repeated; else fallback.
inline std::uint64_t seed_from_environment(const char* variable, std::uint64_t fallback) {
    const char* text = std::getenv(variable);
    return text != nullptr ? std::strtoull(text, nullptr, 10) : fallback;
}
