#include "Keyboard.h"

#include <utility>

namespace mirvane {

void Keyboard::SetKeyboardLayoutType(std::int16_t layout) {
    const std::int16_t previous = mKeyboardLayoutType;
    bool matchSet = false;
    if (layout == kLayoutDvorak && previous != kLayoutDvorak) {
        FillKeyTable(ButtonOrder::Dvorak, false);
        RefreshKeyCaptions(kRecaption);
        mWindow->MenuEntry(Menu::EntryModeUnscrambleAll).SetEnabled(true);
        mWindow->MenuEntry(Menu::EntryModeDvorak).SetEnabled(false);
    } else if (layout == kLayoutScrambleOnScreen || layout == kLayoutScrambleAll) {
        RefreshKeyCaptions(kScramble);
        mKeyboardInputToMatchOnScreenKey = layout == kLayoutScrambleAll;
        matchSet = true;
        mWindow->MenuEntry(Menu::EntryModeUnscrambleAll).SetEnabled(true);
        mWindow->MenuEntry(Menu::EntryModeDvorak).SetEnabled(true);
    } else if (layout == kLayoutStandard && previous != kLayoutStandard) {
        FillKeyTable(ButtonOrder::Standard, false);
        RefreshKeyCaptions(kRecaption);
        mWindow->MenuEntry(Menu::EntryModeUnscrambleAll).SetEnabled(false);
        mWindow->MenuEntry(Menu::EntryModeDvorak).SetEnabled(true);
        mKeyboardInputToMatchOnScreenKey = false;
        matchSet = true;
    }
    mKeyboardLayoutType = layout;
    if (!matchSet) {
        mKeyboardInputToMatchOnScreenKey = true;
    }
    RefreshToolbar();
}

void Keyboard::SortKeyTable(KeyTable& table) {
    const std::int32_t lo = 0;
    const std::int32_t last = kKeyTableRows - 2;
    if (last == lo) {
        return;
    }
    // With the largest key at the end, the quicksort's upward scan needs no bounds test.
    std::int32_t largest = 0;
    for (std::int32_t row = lo; row <= last; ++row) {
        if (KeyText(table[row][kKeyColumn]) > KeyText(table[largest][kKeyColumn])) {
            largest = row;
        }
    }
    std::swap(table[largest][kKeyColumn], table[last][kKeyColumn]);
    std::swap(table[largest][kButtonColumn], table[last][kButtonColumn]);
    QuickSortKeyTable(table, lo, last);
}

void Keyboard::QuickSortKeyTable(KeyTable& table, std::int32_t lo, std::int32_t hi) {
    if (lo >= hi) {
        return;
    }
    const std::u16string pivot = KeyText(table[lo][kKeyColumn]);
    const KeyCell pivotButton = table[lo][kButtonColumn];
    std::int32_t i = lo;
    std::int32_t j = hi + 1;
    for (;;) {
        do {
            ++i;
        } while (KeyText(table[i][kKeyColumn]) < pivot);
        do {
            --j;
        } while (KeyText(table[j][kKeyColumn]) > pivot);
        if (i >= j) {
            break;
        }
        std::swap(table[i][kKeyColumn], table[j][kKeyColumn]);
        std::swap(table[i][kButtonColumn], table[j][kButtonColumn]);
    }
    table[lo][kKeyColumn] = table[j][kKeyColumn];
    table[lo][kButtonColumn] = table[j][kButtonColumn];
    table[j][kKeyColumn] = pivot;
    table[j][kButtonColumn] = pivotButton;
    QuickSortKeyTable(table, lo, j - 1);
    QuickSortKeyTable(table, j + 1, hi);
}

} // namespace mirvane
