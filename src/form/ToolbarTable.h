#pragma once

#include <array>
#include <string>
#include <string_view>

namespace mirvane {

// tbToolbar as designed, left to right: each button's key and tooltip. An empty key is a
// separator.
struct ToolbarEntry {
    std::string_view key; // empty for a separator
    std::string_view tooltip;
    bool showsState; // pressed or released, kept by the engine
};

inline constexpr std::array<ToolbarEntry, 18> kToolbarEntries{{
    {"Standard", "Standard Entry", true},
    {"Hover", "Hover Entry", true},
    {"HideMouse", "Hidden Mouse and Hover Entry", true},
    {"", "", false},
    {"ScrambleOnScreen", "Scramble JUST the on-screen keys", false},
    {"ScrambleAll", "Scramble the on-screen keys AND keyboard input", true},
    {"Dvorak", "Use Dvorak layout for on-screen keys AND keyboard", true},
    {"Unscramble", "Unscramble on-screen keys and keyboard input", false},
    {"", "", false},
    {"ToggleMask", "Show/hide the password masking", true},
    {"", "", false},
    {"Beep", "Beep on Hover Entry", true},
    {"KeepPassword", "Keep Password After Drag Drop", true},
    {"Obsfucate", "Hide password in amongst random characters", true},
    {"", "", false},
    {"KeepOnTop", "Keep On Top", true},
    {"", "", false},
    {"Clear", "Clear text/password", false},
}};

// What a button's tooltip says: a button that is on but whose measure cannot work now
// (value 2) says why.
inline std::string ToolbarTooltip(std::string_view tooltip, int value) {
    std::string text(tooltip);
    if (value == 2) {
        text += " - not working now: the system takes none of its keys";
    }
    return text;
}

} // namespace mirvane
