#pragma once

#include <cstdint>

namespace mirvane {

// The virtual-key codes the engine asks the key state about.
inline constexpr int kShiftKey = 16;
inline constexpr int kCtrlKey = 17;
inline constexpr int kAltKey = 18;
inline constexpr int kCapsLockKey = 20;
inline constexpr int kDeleteKey = 46;
inline constexpr int kLeftShiftKey = 160;
inline constexpr int kRightShiftKey = 161;
inline constexpr int kLeftCtrlKey = 162;
inline constexpr int kRightCtrlKey = 163;

// The Shift argument of key and mouse events: which modifiers were down.
inline constexpr std::int16_t kShiftMaskShift = 1;
inline constexpr std::int16_t kShiftMaskCtrl = 2;
inline constexpr std::int16_t kShiftMaskAlt = 4;

} // namespace mirvane
