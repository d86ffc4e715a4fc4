#include "Keyboard.h"
#include "KeyCodes.h"

#include "common/Rounding.h"
#include "sendkeys/cSendKeys.h"

#include <exception>

namespace mirvane {

namespace {
constexpr std::int16_t kStandardEntry = 1;
constexpr std::u16string_view kShiftedDigits = u")!@#$%^&*(";

// The two characters a noise key gives on a US keyboard, unshifted and shifted.
std::pair<char16_t, char16_t> UsCharacters(std::int32_t virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9') {
        return {static_cast<char16_t>(virtualKey), kShiftedDigits[static_cast<std::size_t>(virtualKey - '0')]};
    }
    return {static_cast<char16_t>(virtualKey - 'A' + 'a'), static_cast<char16_t>(virtualKey)};
}
} // namespace

void Keyboard::SetObsfucate(bool blnTurnOnObsfucation) {
    TextLine& plain = mWindow->PlainText();
    // The plain line, when it shows, is the newest text; the masked line holds only stars.
    if (!mObsfucate && blnTurnOnObsfucation && plain.Visible()) {
        SetCurrentPassword(plain.Text());
    }
    mObsfucate = blnTurnOnObsfucation;
    mWindow->NoiseTimer().SetEnabled(blnTurnOnObsfucation);
    mExpectingNoise = false;
    ToolbarControl& toolbar = mWindow->Toolbar();
    if (blnTurnOnObsfucation) {
        toolbar.SetButtonValue("Obsfucate", 1);
        SetInputMode(kStandardEntry);
        TextLine& line = VisibleLine();
        line.SetFocus();
        line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
        return;
    }
    toolbar.SetButtonValue("Obsfucate", 0);
    if (mNoiseKey > 0) {
        NoiseKeys().KeyUp(mNoiseKey);
    }
    // Rebuilt from the buffer, the line loses every noise character.
    TextLine& password = mWindow->Password();
    TextLine& line = password.Visible() ? password : plain;
    line.SetFocus();
    line.SetText(password.Visible() ? SecretText(mCurrentPassword.size(), u'*') : mCurrentPassword);
    line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
    mNoiseKey = 0;
}

// The window system is asked which window is in front only when a key is due: the timer
// ticks a hundred times a second, and a tick that types nothing needs no answer.
void Keyboard::NoiseTimerTick() {
    const bool keyDue = mNoiseCountdown < 1;
    if (mObsfucate && mWindow->TextLineHasFocus() && (!keyDue || mForeground.IsForeground(mWindow->Handle()))) {
        RandomNoiseTimer();
    }
}

void Keyboard::RandomNoiseTimer() {
    if (mNoiseStepRunning) {
        return; // a tick inside the step's own event pump
    }
    TextLine& line = VisibleLine();
    const auto held = [this](int key) { return mKeyState.GetAsyncKeyState(key); };
    if (mNoiseCountdown < 1 &&
        (held(kCtrlKey) | held(kLeftCtrlKey) | held(kRightCtrlKey) | held(kAltKey)) == 0) {
        line.SetFocus();
        mNoiseChar = PickNoiseCharacter();
        PressNoiseKey(mNoiseChar);
        mNoiseCountdown = ToLong(mRandom.Next() * 25);
    } else {
        --mNoiseCountdown;
    }
}

std::u16string Keyboard::PickNoiseCharacter() {
    const std::int32_t r = ToLong(mRandom.Next() * 36);
    const std::int16_t shift = ShiftWord();
    std::int32_t key = 0;
    char16_t c = 0;
    if (r >= 1 && r <= 10) {
        key = 47 + r;
        c = shift != 0 ? kShiftedDigits[static_cast<std::size_t>(r - 1)] : static_cast<char16_t>(key);
    } else {
        key = r >= 11 && r <= 35 ? 54 + r : 'Z';
        const std::int16_t caps = mKeyState.GetAsyncKeyState(kCapsLockKey);
        const bool upper = (shift & caps) == 0 && (shift != 0 || caps != 0);
        c = static_cast<char16_t>(upper ? key : key - 'A' + 'a');
    }
    mNoiseKey = key;
    return std::u16string(1, c);
}

bool Keyboard::CanTypeNoiseKey(std::int32_t virtualKey) {
    const auto [unshifted, shifted] = UsCharacters(virtualKey);
    return mLayout.ScanCharacter(unshifted) == virtualKey && mLayout.ScanCharacter(shifted) == (0x100 | virtualKey);
}

void Keyboard::PressNoiseKey(std::u16string& character) {
    if (mNoiseKey == 0) {
        return;
    }
    // A key that gives other characters in the keyboard map now would be taken for the
    // person's: this step types nothing.
    if (!CanTypeNoiseKey(mNoiseKey)) {
        mNoiseKey = 0;
        return;
    }
    cSendKeys keys = NoiseKeys();
    const std::int32_t key = mNoiseKey;
    const auto [unshifted, shifted] = UsCharacters(key);
    const bool shiftHeld = ShiftWord() != 0;
    const bool capsOn = (mKeyState.GetKeyState(kCapsLockKey) & kKeyToggledBit) != 0;
    mNoiseExact = shiftHeld != (capsOn && key >= 'A') ? shifted : unshifted; // Caps Lock shifts letters only
    mNoiseOtherAt = SecretText::npos;
    mExpectingNoise = true;
    mNoiseStepRunning = true;
    // Released at once, even when the press failed: a held key repeats, and one left
    // down outlives the program.
    std::exception_ptr failure;
    try {
        keys.KeyDown(key, character);
    } catch (...) {
        failure = std::current_exception();
    }
    mNoiseKey = 0;
    try {
        keys.KeyUp(key);
    } catch (...) {
        failure = failure ? failure : std::current_exception();
    }
    if (mExpectingNoise && mNoiseOtherAt < mCurrentPassword.size()) {
        mCurrentPassword.erase(mNoiseOtherAt, 1);
    }
    mExpectingNoise = false; // an expectation never outlives its pump
    mNoiseOtherAt = SecretText::npos;
    mNoiseStepRunning = false;
    if (failure) {
        std::rethrow_exception(failure);
    }
}

cSendKeys Keyboard::NoiseKeys() { return cSendKeys(mInjector, mLayout, mPump); }

} // namespace mirvane
