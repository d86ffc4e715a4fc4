#pragma once

#include <cstdint>

namespace mirvane {

// The Shift argument of key events.
inline constexpr std::int16_t kShiftMaskShift = 1;
inline constexpr std::int16_t kShiftMaskCtrl = 2;
inline constexpr std::int16_t kShiftMaskAlt = 4;

// Whether the password line may carry out a key by itself once the handlers let it through.
// Only keys that leave its text alone, and plain Delete, whose characters the engine takes
// out of the buffer too. `otherModifier`: a modifier the Shift argument has no bit for
// (Meta, the Windows key) is held.
bool PasswordLineTakesKey(std::int16_t keyCode, std::int16_t shift, bool otherModifier);

// The keys that copy or cut the plain line's selection.
enum class ClipboardKey { None, Copy, Cut };
ClipboardKey PlainLineClipboardKey(std::int16_t keyCode, std::int16_t shift);

} // namespace mirvane
