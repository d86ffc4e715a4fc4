#pragma once

#include <cstdint>

namespace mirvane {

class KeyButton;

// What the 65 key buttons report: a click, a pointer move and a release over a button.
// Mouse buttons: left 1, right 2, middle 4; modifiers: Shift 1, Ctrl 2, Alt 4;
// x and y in twips inside the button.
class KeyButtonEvents {
public:
    virtual ~KeyButtonEvents() = default;
    virtual void ButtonClick(KeyButton& button) = 0;
    virtual void ButtonMouseMove(KeyButton& button, std::int16_t mouseButton, std::int16_t shift, float x,
                                 float y) = 0;
    virtual void ButtonMouseUp(KeyButton& button, std::int16_t mouseButton, std::int16_t shift, float x,
                               float y) = 0;
};

} // namespace mirvane
