#pragma once

#include "engine/KeyCodes.h"

#include <cstdint>

namespace mirvane {

// Whether the password line may carry out a key by itself once the handlers let it through.
// Only keys that leave its text alone, and plain Delete, whose characters the engine takes
// out of the buffer too. `otherModifier`: a modifier the Shift argument has no bit for
// (Meta, the Windows key) is held.
bool PasswordLineTakesKey(std::int16_t keyCode, std::int16_t shift, bool otherModifier);

// The keys that copy or cut the plain line's selection.
enum class ClipboardKey { None, Copy, Cut };
ClipboardKey PlainLineClipboardKey(std::int16_t keyCode, std::int16_t shift);

} // namespace mirvane
