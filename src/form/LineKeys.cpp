#include "LineKeys.h"

namespace mirvane {

namespace {
constexpr std::int16_t kAnyShift = -1;

struct LineKey {
    std::int16_t keyCode;
    std::int16_t shift; // exactly this Shift argument, or any
};

constexpr LineKey kPasswordLineKeys[] = {
    // The caret and the selection, with any modifier.
    {33, kAnyShift},
    {34, kAnyShift},
    {35, kAnyShift},
    {36, kAnyShift},
    {37, kAnyShift},
    {38, kAnyShift},
    {39, kAnyShift},
    {40, kAnyShift},
    // Modifiers and locks on their own.
    {16, kAnyShift},
    {17, kAnyShift},
    {18, kAnyShift},
    {20, kAnyShift},
    {91, kAnyShift},
    {92, kAnyShift},
    {160, kAnyShift},
    {161, kAnyShift},
    {162, kAnyShift},
    {163, kAnyShift},
    {164, kAnyShift},
    {165, kAnyShift},
    // Keys a single line puts no character in for.
    {9, kAnyShift},
    {13, kAnyShift},
    {27, kAnyShift},
    // Delete alone; with a modifier a line deletes more, or nothing, than the engine does.
    {46, 0},
    // Ctrl+A selects all.
    {65, kShiftMaskCtrl},
};

struct CopyKey {
    std::int16_t keyCode;
    std::int16_t shift;
    ClipboardKey action;
};

constexpr CopyKey kPlainLineCopyKeys[] = {
    {67, kShiftMaskCtrl, ClipboardKey::Copy}, // Ctrl+C
    {45, kShiftMaskCtrl, ClipboardKey::Copy}, // Ctrl+Insert
    {88, kShiftMaskCtrl, ClipboardKey::Cut},  // Ctrl+X
    {46, kShiftMaskShift, ClipboardKey::Cut}, // Shift+Delete
};
} // namespace

bool PasswordLineTakesKey(std::int16_t keyCode, std::int16_t shift, bool otherModifier) {
    for (const LineKey& key : kPasswordLineKeys) {
        if (key.keyCode == keyCode) {
            return key.shift == kAnyShift || (key.shift == shift && !otherModifier);
        }
    }
    return false;
}

ClipboardKey PlainLineClipboardKey(std::int16_t keyCode, std::int16_t shift) {
    for (const CopyKey& key : kPlainLineCopyKeys) {
        if (key.keyCode == keyCode && key.shift == shift) {
            return key.action;
        }
    }
    return ClipboardKey::None;
}

} // namespace mirvane
