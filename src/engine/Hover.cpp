#include "Keyboard.h"

namespace mirvane {

void Keyboard::ButtonMouseMove(KeyButton& button, std::int16_t /*mouseButton*/, std::int16_t /*shift*/,
                               float /*x*/, float /*y*/) {
    Timer& timer = mWindow->HoverTimer();
    if (mTimerEnabled) {
        timer.SetEnabled(true);
        timer.SetInterval(mHoverInterval());
    }
    // Keys are told apart by caption: the two "shft" keys count as one.
    if (mCurrentButton == nullptr || button.Caption() != mCurrentButton->Caption()) {
        if (mTimerEnabled) {
            SetTimerEnabled(false);
            SetTimerEnabled(true);
        }
        mCurrentButton = &button;
    }
}

void Keyboard::ButtonMouseUp(KeyButton& /*button*/, std::int16_t /*mouseButton*/, std::int16_t /*shift*/,
                             float /*x*/, float /*y*/) {
    // A release presses nothing: the click (or the hover timer) does.
}

} // namespace mirvane
