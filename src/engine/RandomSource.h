#pragma once

#include <random>

namespace mirvane {

// Uniform draws in [0, 1). One source serves the whole program.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double Next() = 0;
};

// Seeded once from the operating system's entropy: reseeding from the clock before
// each draw would make a fast program's "random" choices repeat.
class SystemRandom final : public RandomSource {
public:
    SystemRandom() : mEngine(std::random_device{}()) {}
    double Next() override {
        // generate_canonical may round up to 1.0 on some libraries; the range is half-open.
        const double r = std::uniform_real_distribution<double>(0.0, 1.0)(mEngine);
        return r < 1.0 ? r : 0.0;
    }

private:
    std::mt19937_64 mEngine;
};

} // namespace mirvane
