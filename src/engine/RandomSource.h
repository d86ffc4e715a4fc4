#pragma once

#include <cstdint>
#include <random>

namespace mirvane {

// Uniform draws in [0, 1). One source serves the whole program.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double Next() = 0;
};

// Every draw from the operating system's own generator. A seeded generator in the program
// would let a watcher who knows the software search its seed from the noise keys it saw,
// and then know every noise key to come; and reseeding from the clock repeats draws.
class SystemRandom final : public RandomSource {
public:
    double Next() override {
        const std::uint64_t bits = (std::uint64_t{mDevice()} << 32 | mDevice()) >> 11;
        return static_cast<double>(bits) * 0x1.0p-53; // 53 bits: below 1.0, always
    }

private:
    static_assert(sizeof(std::random_device::result_type) == 4);
    std::random_device mDevice;
};

} // namespace mirvane
