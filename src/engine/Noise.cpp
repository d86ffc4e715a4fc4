#include "Keyboard.h"
#include "KeyCodes.h"

#include "common/Rounding.h"
#include "sendkeys/cSendKeys.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

namespace mirvane {

namespace {
constexpr std::int16_t kStandardEntry = 1;
// With no key due, the checks a tick makes still come ten times a second.
constexpr std::int32_t kIdleNoiseTick = 100;
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
        SeedNoiseTiming();
        toolbar.SetButtonValue("Obsfucate", 1);
        SetInputMode(kStandardEntry);
        TextLine& line = VisibleLine();
        line.SetFocus();
        line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
        return;
    }
    toolbar.SetButtonValue("Obsfucate", 0);
    mRhythm.Pause();
    mNoiseMissedMilliseconds = 0;
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

// The timing's own generator, seeded afresh from the program's random source with every bit
// it holds: a small seed a watcher could search, and from the noise's times know them all.
void Keyboard::SeedNoiseTiming() {
    std::array<std::uint32_t, 8> seed{};
    for (std::uint32_t& word : seed) {
        word = static_cast<std::uint32_t>(mRandom.Next() * 4294967296.0);
    }
    std::seed_seq sequence(seed.begin(), seed.end());
    mNoiseTiming.seed(sequence);
    // The streams start apart, each somewhere in a gap of its own, as if typing were under way.
    for (std::int32_t& due : mNoiseStreamDue) {
        due = std::uniform_int_distribution<std::int32_t>(0, mRhythm.DrawGap(mNoiseTiming))(mNoiseTiming);
    }
}

// The window system is asked which window is in front only while a key is down or due: a tick
// with nothing to type or let go needs no answer.
void Keyboard::NoiseTimerTick() {
    if (mNoiseStepRunning) {
        return; // a tick inside a noise key's own event pump
    }
    auto& timer = mWindow->NoiseTimer();
    mNoiseTickElapsed = timer.Interval();
    // The timer wakes the program for a press or a release, each at its own drawn time, and
    // otherwise seldom: every wake-up costs, and noise runs as long as the window is open.
    std::int32_t next = kIdleNoiseTick;
    if (!mObsfucate || !mWindow->TextLineHasFocus()) {
        mRhythm.Pause();
        ReleaseNoiseKeys();
        timer.SetInterval(next);
        return;
    }
    const bool dueOrDown =
        !mHeldNoiseKeys.empty() ||
        std::ranges::any_of(mNoiseStreamDue, [this](std::int32_t due) { return due <= mNoiseTickElapsed; });
    if (!dueOrDown || mForeground.IsForeground(mWindow->Handle())) {
        RandomNoiseTimer();
    } else {
        // Another window took the keyboard behind the toolkit's back: a noise key left down
        // would type there, so every one goes up now.
        ReleaseNoiseKeys();
        CountDownNoise();
        // One press waits for the keyboard to come back; the others are dropped, or they
        // would all come at once then.
        const auto first = std::ranges::min_element(mNoiseStreamDue);
        for (auto due = mNoiseStreamDue.begin(); due != mNoiseStreamDue.end(); ++due) {
            if (due != first && *due <= 0) {
                *due = mRhythm.DrawGap(mNoiseTiming);
            }
        }
        NoteNoiseMissed(mNoiseTickElapsed); // the toolkit gave the line the keyboard, the X server did not
    }
    // The next tick comes as a key is due to go down or up: put off to a tick after, the noise's
    // holds and gaps would be coarser than the person's, and fall on the ticks' lattice.
    for (const std::int32_t due : mNoiseStreamDue) {
        next = due > 0 ? std::min(next, due) : next;
    }
    for (const HeldNoiseKey& held : mHeldNoiseKeys) {
        next = std::min(next, std::max(held.msLeft, 1));
    }
    timer.SetInterval(next);
}

void Keyboard::NoteNoiseMissed(std::int32_t milliseconds) {
    mNoiseMissedMilliseconds += milliseconds;
    if (!mNoiseBlocked && mNoiseMissedMilliseconds >= 1000) {
        mNoiseBlocked = true;
        RefreshToolbar();
    }
}

void Keyboard::NoteNoisePressed() {
    mNoiseMissedMilliseconds = 0;
    if (mNoiseBlocked) {
        mNoiseBlocked = false;
        RefreshToolbar();
    }
}

// The noise is several streams of presses, each timed like the person's own typing and blind
// to the others and to the person. One stream alone is a chain a watcher who has learnt its
// gaps follows through the person's presses; among three that look like the person, no gap
// says whose a press is, and three presses in four are noise at any speed. Three, not two: the
// streams learn a new typist's pace over their first keys, and two would fall short of two
// thirds meanwhile; not four, whose presses cost more than 3 % of a core with nobody typing.
void Keyboard::RandomNoiseTimer() {
    if (mNoiseStepRunning) {
        return; // a tick inside the step's own event pump
    }
    CountDownNoise();
    if (mNoiseMissedMilliseconds > 0) {
        NoteNoiseMissed(mNoiseTickElapsed);
    }
    const auto due = std::ranges::min_element(mNoiseStreamDue);
    if (*due > 0) {
        return;
    }
    // One press a tick: two in the same millisecond would be nobody's typing.
    *due = mRhythm.DrawGap(mNoiseTiming);
    TextLine& line = VisibleLine();
    const auto held = [this](int key) { return mKeyState.GetAsyncKeyState(key); };
    // Under any modifier but Shift and Caps Lock a noise key would give another character or
    // a shortcut; over a selection it would type the person's selection away. The press is
    // dropped, not put off: a pause would end in a burst of the streams' presses at once.
    if ((held(kCtrlKey) | held(kLeftCtrlKey) | held(kRightCtrlKey) | held(kAltKey)) != 0 ||
        mKeyState.OtherModifierHeld() || line.SelLength() != 0) {
        return;
    }
    line.SetFocus();
    mNoiseChar = PickNoiseCharacter();
    PressNoiseKey(mNoiseChar);
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

// As long as the person holds a key, but never as long as the system takes before it repeats
// a held key.
std::int32_t Keyboard::NoiseHoldMilliseconds() {
    std::int32_t hold = mRhythm.DrawHold(mNoiseTiming);
    if (const std::int32_t delay = mInjector.RepeatDelay(); delay > 0) {
        hold = std::min(hold, std::max<std::int32_t>(1, delay * 2 / 3));
    }
    return hold;
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
        NoteNoiseMissed(mNoiseTickElapsed);
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
        mHeldNoiseKeys.push_back({key, NoiseHoldMilliseconds()});
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

void Keyboard::CountDownNoise() {
    const std::int32_t elapsed = mNoiseTickElapsed;
    mNoiseClock += elapsed;
    mNoiseTickAt = mMilliseconds();
    for (std::int32_t& due : mNoiseStreamDue) {
        due = std::max(due - elapsed, -kNoiseTickMilliseconds);
    }
    TakeKeysPressedOverNoise();
    std::vector<std::int32_t> up;
    for (auto it = mHeldNoiseKeys.begin(); it != mHeldNoiseKeys.end();) {
        it->msLeft -= elapsed;
        if (it->msLeft <= 0) {
            up.push_back(it->key);
            it = mHeldNoiseKeys.erase(it);
        } else {
            ++it;
        }
    }
    for (const std::int32_t key : up) {
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

// The noise clock at this moment, to the millisecond between its ticks: the person's keys come
// when they come, and their rhythm measured to the tick would be coarser than it is.
std::int64_t Keyboard::NoiseClockNow() const {
    return mNoiseClock + std::clamp<std::int64_t>(mMilliseconds() - mNoiseTickAt, 0, kIdleNoiseTick);
}

cSendKeys Keyboard::NoiseKeys() { return cSendKeys(mInjector, mLayout, mPump); }

} // namespace mirvane
