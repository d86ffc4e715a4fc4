#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace mirvane {

// The person's own rhythm at the keyboard, as their key events show it: how long they hold a
// key and how long they leave between presses. The noise draws its holds and gaps from it, so
// that a press's timing does not tell whose it is, for a slow typist as for a fast one.
class TypingRhythm {
public:
    TypingRhythm();

    // Times are the noise clock's, in milliseconds.
    void KeyDown(std::int32_t key, std::int64_t now);
    void KeyUp(std::int32_t key, std::int64_t now);
    // The person left the line: the next press starts a new run, not a gap.
    void Pause();

    std::int32_t DrawHold(std::mt19937_64& random) const { return Draw(mHolds, random); }
    std::int32_t DrawGap(std::mt19937_64& random) const { return Draw(mGaps, random); }

    // The latest of each: few, so that the noise takes a new typist's pace within their first keys,
    // before a short password is over.
    static constexpr std::size_t kKept = 8;
    // Longer than these is a pause or a key held on purpose, not the rhythm of typing.
    static constexpr std::int32_t kLongestGap = 1500;
    static constexpr std::int32_t kLongestHold = 400;

private:
    using Samples = std::array<std::int32_t, kKept>;
    static std::int32_t Draw(const Samples& samples, std::mt19937_64& random);
    static void Keep(Samples& samples, std::size_t& next, std::int32_t value);

    Samples mHolds{};
    Samples mGaps{};
    std::size_t mNextHold = 0;
    std::size_t mNextGap = 0;
    std::int64_t mLastPress = -1;
    struct Down {
        std::int32_t key;
        std::int64_t at;
    };
    std::vector<Down> mDown;
};

} // namespace mirvane
