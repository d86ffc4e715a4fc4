#include "Keyboard.h"

namespace mirvane {

namespace {
constexpr std::int16_t kModeStandard = 1;
constexpr std::int16_t kModeHover = 2;
constexpr std::int16_t kModeHiddenMouseAndHover = 3;
} // namespace

void Keyboard::SetInputMode(std::int16_t mode) {
    MenuItem& standard = mWindow->MenuEntry(Menu::ModeStandard);
    MenuItem& hover = mWindow->MenuEntry(Menu::ModeHover);
    MenuItem& hidden = mWindow->MenuEntry(Menu::ModeHiddenMouseAndHover);
    bool applied = true;
    if (mode == kModeStandard && !standard.Checked()) {
        standard.SetChecked(true);
        hover.SetChecked(false);
        hidden.SetChecked(false);
        ShowMouse();
        DisableHoverEntry();
    } else if (mode == kModeHover && !hover.Checked()) {
        standard.SetChecked(false);
        hover.SetChecked(true);
        EnableHoverEntry();
        hidden.SetChecked(false);
        ShowMouse();
    } else if (mode == kModeHiddenMouseAndHover && !hidden.Checked()) {
        applied = HideMouse();
        if (applied) {
            standard.SetChecked(false);
            hover.SetChecked(false);
            EnableHoverEntry();
            hidden.SetChecked(true);
        }
    }
    // Declined, the previous mode stays in force, and so does its toolbar button.
    if (applied) {
        mInputMode = mode;
    }
    RefreshToolbar();
}

bool Keyboard::EnableHoverEntry() {
    SetTimerEnabled(true);
    return false;
}

bool Keyboard::DisableHoverEntry() {
    SetTimerEnabled(false);
    return false;
}

void Keyboard::SetBeepOnHover(bool beep) {
    mBeepOnHover = beep;
    RefreshToolbar();
}

void Keyboard::ButtonMouseMove(KeyButton& button, std::int16_t /*mouseButton*/, std::int16_t /*shift*/,
                               float /*x*/, float /*y*/) {
    if (mMouseHidden && !mWindow->CustomPointer()) {
        SetHiddenPointer(1);
    }
    mirvane::Timer& timer = mWindow->HoverTimer();
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

// Over a text line the countdown goes on: a key left for the line is still pressed.
void Keyboard::MouseMoveInTextBox(std::int16_t /*mouseButton*/, std::int16_t /*shift*/, float /*x*/,
                                  float /*y*/) {
    if (mWindow->CustomPointer() && mTimerEnabled) {
        mWindow->SetCustomPointer(false);
    }
}

void Keyboard::MouseMoveInForm(std::int16_t /*mouseButton*/, std::int16_t /*shift*/, float /*x*/, float /*y*/) {
    mWindow->HoverTimer().SetEnabled(false);
    if (mWindow->CustomPointer() && mTimerEnabled) {
        mWindow->SetCustomPointer(false);
    }
}

void Keyboard::Timer1Tick() {
    if (!mTimerEnabled) {
        return;
    }
    const ScreenPoint pointer = mWindow->PointerPosition();
    const ScreenMetrics screen = mWindow->Screen();
    const double left = mWindow->Left() / screen.twipsPerPixelX;
    const double right = left + mWindow->Width() / screen.twipsPerPixelX;
    const double top = mWindow->Top() / screen.twipsPerPixelY;
    const double bottom = top + mWindow->Height() / screen.twipsPerPixelY;
    if (!(pointer.x <= right && left <= pointer.x && top <= pointer.y && pointer.y <= bottom)) {
        mWindow->HoverTimer().SetEnabled(false);
        mCurrentButton = nullptr;
        return;
    }
    Timer();
}

void Keyboard::Timer() {
    // No key yet (the pointer has not been on one since hover began), or a key that is
    // hidden now: nothing to press.
    if (mCurrentButton == nullptr || !mCurrentButton->Visible()) {
        return;
    }
    ButtonClick(*mCurrentButton);
    if (mBeepOnHover) {
        mWindow->Beep();
    }
}

} // namespace mirvane
