#include "Keyboard.h"
#include "KeyCodes.h"

#include "common/Rounding.h"
#include "sendkeys/cSendKeys.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace mirvane {

namespace {
constexpr std::int16_t kStandardEntry = 1;
constexpr double kNoiseStepSpan = 11;
constexpr std::int32_t kNoiseStepTicks = 13; // between two presses, on average
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
    ToolbarControl& toolbar = mWindow->Toolbar();
    if (blnTurnOnObsfucation) {
        mNoiseTickJitter.seed(static_cast<std::uint32_t>(mRandom.Next() * 2147483646.0) + 1);
        toolbar.SetButtonValue("Obsfucate", 1);
        SetInputMode(kStandardEntry);
        TextLine& line = VisibleLine();
        line.SetFocus();
        line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
        return;
    }
    toolbar.SetButtonValue("Obsfucate", 0);
    mNoiseMissedTicks = 0;
    mNoiseBlocked = false;
    // Switched off inside a noise key's own pump (a command among the pending events): the key
    // goes up now, and its character, still on its way, is known as noise when it comes.
    if (mNoiseKey > 0) {
        SendNoiseKeyEvent(mNoiseKey, false);
    }
    ReleaseNoiseKeys();
    // Rebuilt from the buffer, the line loses every noise character.
    TextLine& password = mWindow->Password();
    TextLine& line = password.Visible() ? password : plain;
    line.SetFocus();
    line.SetText(password.Visible() ? SecretText(mCurrentPassword.size(), u'*') : mCurrentPassword);
    line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
    mNoiseKey = 0;
}

// The window system is asked which window is in front only when a key is due: the timer
// ticks sixty times a second, and a tick that types nothing needs no answer. A held key
// goes up when its time comes, whichever window is in front.
void Keyboard::NoiseTimerTick() {
    if (mNoiseStepRunning) {
        return; // a tick inside a noise key's own event pump
    }
    // Ticks of 8 to 24 ms, 16 on average: on a steady tick every noise press and release would
    // fall on one lattice of times, which a logger finds in their spacing.
    mWindow->NoiseTimer().SetInterval(kNoiseTickMilliseconds / 2 +
                                      static_cast<std::int32_t>(mNoiseTickJitter() % (kNoiseTickMilliseconds + 1)));
    if (!mObsfucate || !mWindow->TextLineHasFocus()) {
        ReleaseNoiseKeys();
        return;
    }
    if (mNoiseCountdown >= 1 || mForeground.IsForeground(mWindow->Handle())) {
        RandomNoiseTimer();
    } else {
        CountDownNoiseHolds();
        NoteNoiseMissed(1); // the toolkit gave the line the keyboard, the X server did not
    }
}

void Keyboard::NoteNoiseMissed(std::int32_t ticks) {
    constexpr std::int32_t kBlockedAfterTicks = 1000 / kNoiseTickMilliseconds;
    mNoiseMissedTicks += ticks;
    if (!mNoiseBlocked && mNoiseMissedTicks >= kBlockedAfterTicks) {
        mNoiseBlocked = true;
        RefreshToolbar();
    }
}

void Keyboard::NoteNoisePressed() {
    mNoiseMissedTicks = 0;
    if (mNoiseBlocked) {
        mNoiseBlocked = false;
        RefreshToolbar();
    }
}

void Keyboard::RandomNoiseTimer() {
    if (mNoiseStepRunning) {
        return; // a tick inside the step's own event pump
    }
    CountDownNoiseHolds();
    TextLine& line = VisibleLine();
    const auto held = [this](int key) { return mKeyState.GetAsyncKeyState(key); };
    // Under any modifier but Shift and Caps Lock a noise key would give another character or
    // a shortcut; over a selection it would type the person's selection away.
    if (mNoiseCountdown < 1 &&
        (held(kCtrlKey) | held(kLeftCtrlKey) | held(kRightCtrlKey) | held(kAltKey)) == 0 &&
        !mKeyState.OtherModifierHeld() && line.SelLength() == 0) {
        line.SetFocus();
        mNoiseChar = PickNoiseCharacter();
        PressNoiseKey(mNoiseChar);
        // Presses 8 to 19 ticks apart (128 to 304 ms), as a person's are: a wider spread
        // would tell the noise by the gap before each press.
        mNoiseCountdown = 7 + ToLong(mRandom.Next() * kNoiseStepSpan);
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

// A person holds a key 60 to 150 ms; so does the noise, or a logger would keep only the
// keys held long. Never as long as the system takes before it repeats a held key.
std::int32_t Keyboard::NoiseHoldTicks() {
    const double held = 60 + mRandom.Next() * 90;
    std::int32_t ticks = ToLong(held / kNoiseTickMilliseconds);
    if (const std::int32_t delay = mInjector.RepeatDelay(); delay > 0) {
        ticks = std::min(ticks, std::max<std::int32_t>(1, delay * 2 / 3 / kNoiseTickMilliseconds));
    }
    return ticks;
}

void Keyboard::PressNoiseKey(std::u16string& /*character*/) {
    if (mNoiseKey == 0) {
        return;
    }
    const std::int32_t key = mNoiseKey;
    const bool alreadyDown = std::any_of(mHeldNoiseKeys.begin(), mHeldNoiseKeys.end(),
                                         [key](const HeldNoiseKey& held) { return held.key == key; });
    // A key that gives other characters in the keyboard map now would be taken for the
    // person's, and the server drops the press of a key that is down: this step types nothing.
    if (alreadyDown || (mKeyState.GetAsyncKeyState(key) & kKeyDownBit) != 0) {
        mNoiseKey = 0;
        return;
    }
    if (!CanTypeNoiseKey(key)) {
        mNoiseKey = 0;
        NoteNoiseMissed(kNoiseStepTicks);
        return;
    }
    const auto [unshifted, shifted] = UsCharacters(key);
    const bool shiftHeld = ShiftWord() != 0;
    const bool capsOn = (mKeyState.GetKeyState(kCapsLockKey) & kKeyToggledBit) != 0;
    mNoiseExact = shiftHeld != (capsOn && key >= 'A') ? shifted : unshifted; // Caps Lock shifts letters only
    mNoiseOtherAt = SecretText::npos;
    mExpectingNoise = true;
    std::exception_ptr failure;
    try {
        SendNoiseKeyEvent(key, true);
    } catch (...) {
        failure = std::current_exception();
    }
    // Switched off in the pump, the key went up already.
    const bool stillDown = mNoiseKey == key;
    mNoiseKey = 0;
    if (failure && stillDown) {
        // A press that failed is released at once: a key left down outlives the program.
        try {
            SendNoiseKeyEvent(key, false);
        } catch (...) {
        }
    } else if (stillDown) {
        mHeldNoiseKeys.push_back({key, NoiseHoldTicks()});
        NoteNoisePressed();
    }
    if (mExpectingNoise && mNoiseOtherAt < mCurrentPassword.size()) {
        mCurrentPassword.erase(mNoiseOtherAt, 1);
    }
    mExpectingNoise = false; // an expectation never outlives its pump
    mNoiseOtherAt = SecretText::npos;
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// The X server drops the press of a key that is down already: a person who types the key a
// noise key holds gets no character. The key layer's word that somebody pressed it, or the
// person's key-up, which lets go of the noise key too, tells what the person typed.
void Keyboard::TakeKeyPressedOverNoise(std::int32_t virtualKey, bool shifted) {
    const auto held = std::find_if(mHeldNoiseKeys.begin(), mHeldNoiseKeys.end(),
                                   [virtualKey](const HeldNoiseKey& key) { return key.key == virtualKey; });
    if (held == mHeldNoiseKeys.end()) {
        return;
    }
    const bool pressArrived = held->pressArrived;
    mHeldNoiseKeys.erase(held);
    if (pressArrived) {
        return;
    }
    const auto [unshifted, shiftedCharacter] = UsCharacters(virtualKey);
    const bool capsOn = (mKeyState.GetKeyState(kCapsLockKey) & kKeyToggledBit) != 0;
    const char16_t typed = shifted != (capsOn && virtualKey >= 'A') ? shiftedCharacter : unshifted;
    NoiseKeyPress(static_cast<std::int16_t>(typed), false);
}

// Asked before each of the person's keys and on each tick, so that the swallowed key takes its
// place before the next one.
void Keyboard::TakeKeysPressedOverNoise() {
    std::vector<std::pair<std::int32_t, bool>> swallowed;
    for (const HeldNoiseKey& held : mHeldNoiseKeys) {
        if (const PressElsewhere press = mInjector.PressedElsewhere(static_cast<std::uint8_t>(held.key));
            press != PressElsewhere::None) {
            swallowed.emplace_back(held.key, press == PressElsewhere::Shifted);
        }
    }
    for (const auto& [key, shifted] : swallowed) {
        TakeKeyPressedOverNoise(key, shifted);
    }
}

void Keyboard::CountDownNoiseHolds() {
    TakeKeysPressedOverNoise();
    std::vector<std::int32_t> due;
    for (auto it = mHeldNoiseKeys.begin(); it != mHeldNoiseKeys.end();) {
        if (--it->ticksLeft <= 0) {
            due.push_back(it->key);
            it = mHeldNoiseKeys.erase(it);
        } else {
            ++it;
        }
    }
    for (const std::int32_t key : due) {
        SendNoiseKeyEvent(key, false);
    }
}

void Keyboard::ReleaseNoiseKeys() {
    const std::vector<HeldNoiseKey> held = std::exchange(mHeldNoiseKeys, {});
    std::exception_ptr failure;
    for (const HeldNoiseKey& key : held) {
        try {
            SendNoiseKeyEvent(key.key, false);
        } catch (...) {
            failure = failure ? failure : std::current_exception();
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// The key's own events reach the line inside this pump; they are no sign of the person's
// Shift, and no tick may start another step meanwhile.
void Keyboard::SendNoiseKeyEvent(std::int32_t virtualKey, bool down) {
    const std::int32_t outerKey = std::exchange(mNoisePumpKey, virtualKey);
    const bool outerStep = std::exchange(mNoiseStepRunning, true);
    const auto restore = [&] {
        mNoisePumpKey = outerKey;
        mNoiseStepRunning = outerStep;
    };
    try {
        cSendKeys keys = NoiseKeys();
        if (down) {
            keys.KeyDown(virtualKey);
        } else {
            keys.KeyUp(virtualKey);
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

cSendKeys Keyboard::NoiseKeys() { return cSendKeys(mInjector, mLayout, mPump); }

} // namespace mirvane
