#include "TypingRhythm.h"

#include <algorithm>

namespace mirvane {

// Before the person's first keys, a typist's: holds of 60 to 150 ms, gaps of 120 to 300 ms.
TypingRhythm::TypingRhythm() {
    for (std::size_t i = 0; i < kKept; ++i) {
        const double at = (static_cast<double>(i) + 0.5) / kKept;
        mHolds[i] = static_cast<std::int32_t>(60 + 90 * at);
        mGaps[i] = static_cast<std::int32_t>(120 + 180 * at);
    }
}

void TypingRhythm::KeyDown(std::int32_t key, std::int64_t now) {
    if (std::ranges::any_of(mDown, [key](const Down& d) { return d.key == key; })) {
        return; // the system's repeat, not a press
    }
    if (mLastPress >= 0 && now - mLastPress <= kLongestGap) {
        Keep(mGaps, mNextGap, static_cast<std::int32_t>(now - mLastPress));
    }
    mLastPress = now;
    mDown.push_back({key, now});
}

void TypingRhythm::KeyUp(std::int32_t key, std::int64_t now) {
    const auto down = std::ranges::find_if(mDown, [key](const Down& d) { return d.key == key; });
    if (down == mDown.end()) {
        return;
    }
    if (now - down->at <= kLongestHold) {
        Keep(mHolds, mNextHold, static_cast<std::int32_t>(now - down->at));
    }
    mDown.erase(down);
}

void TypingRhythm::Pause() {
    mLastPress = -1;
    mDown.clear();
}

void TypingRhythm::Keep(Samples& samples, std::size_t& next, std::int32_t value) {
    samples[next] = value;
    next = (next + 1) % kKept;
}

// One of the kept times, moved by up to the usual distance between two of them: the person's
// own times repeated exactly would mark the noise, and a wider spread than theirs would too,
// for a typist whose every key is held alike.
std::int32_t TypingRhythm::Draw(const Samples& samples, std::mt19937_64& random) {
    Samples sorted = samples;
    std::ranges::sort(sorted);
    std::array<std::int32_t, kKept - 1> spacing{};
    for (std::size_t i = 0; i + 1 < kKept; ++i) {
        spacing[i] = sorted[i + 1] - sorted[i];
    }
    std::ranges::nth_element(spacing, spacing.begin() + spacing.size() / 2);
    const double usual = std::max(1, spacing[spacing.size() / 2]);
    const std::int32_t kept = samples[std::uniform_int_distribution<std::size_t>(0, kKept - 1)(random)];
    const double moved = kept + std::uniform_real_distribution<double>(-usual, usual)(random);
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(moved));
}

} // namespace mirvane
