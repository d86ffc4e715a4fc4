#pragma once

#include <QKeyEvent>

#include <cstdint>

namespace mirvane {

// The Windows virtual-key code of a Qt key event (0 for a key without one). Punctuation
// is named by its key on a US keyboard, whichever of the key's two characters it typed.
std::int16_t VirtualKeyCode(const QKeyEvent& event);

} // namespace mirvane
