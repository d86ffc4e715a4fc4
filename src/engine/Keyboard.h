#pragma once

#include "Controls.h"
#include "ErrorLog.h"
#include "KeyButtonEvents.h"
#include "KeyTable.h"
#include "RandomSource.h"
#include "TypingRhythm.h"

#include "platform/KeyInjection.h"
#include "platform/KeyState.h"
#include "platform/WindowLayering.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace mirvane {

class cSendKeys;

struct KeyboardServices {
    std::function<std::unique_ptr<MainWindow>()> createWindow;
    RandomSource& random;
    ErrorLog& errors;
    WindowLayering& layering;
    std::function<std::int32_t()> hoverInterval; // milliseconds a key is rested on before it is pressed
    KeyState& keyState;
    ForegroundWindow& foreground;
    // Where noise keys go, and the keyboard map that says what they type.
    KeyInjector& injector;
    KeyLayout& layout;
    EventPump& pump;
    // Milliseconds of a clock that never goes back: the times of the person's keys.
    std::function<std::int64_t()> milliseconds = [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
};

// The noise timer's first tick, before the noise times its own ticks to its keys.
inline constexpr std::int32_t kNoiseTickMilliseconds = 16;
inline constexpr std::size_t kNoiseStreams = 3;

// Layout types of the 47 character keys.
inline constexpr std::int16_t kLayoutStandard = 0;
inline constexpr std::int16_t kLayoutDvorak = 1;
inline constexpr std::int16_t kLayoutScrambleOnScreen = 2;
inline constexpr std::int16_t kLayoutScrambleAll = 3;

// The on-screen keyboard's engine: all run-time state, driving the main window.
class Keyboard final : public KeyButtonEvents {
public:
    explicit Keyboard(KeyboardServices services);
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;
    ~Keyboard() override;

    // Properties.
    const SecretText& CurrentPassword() const { return mCurrentPassword; }
    void SetCurrentPassword(SecretText password) {
        Wipe(mCurrentPassword);
        mCurrentPassword = std::move(password);
    }
    std::int16_t KeyboardLayoutType() const { return mKeyboardLayoutType; }
    void SetKeyboardLayoutType(std::int16_t layout);
    bool KeyboardInputToMatchOnScreenKey() const { return mKeyboardInputToMatchOnScreenKey; }
    void SetKeyboardInputToMatchOnScreenKey(bool match);
    bool Obsfucate() const { return mObsfucate; }
    void SetObsfucate(bool blnTurnOnObsfucation);
    bool ShiftIsDown() const { return mShiftIsDown; }
    void SetShiftIsDown(bool down);
    std::int16_t InputMode() const { return mInputMode; }
    bool Mode() const { return mInputMode != 0; }
    bool TextIsMasked() const { return mTextIsMasked; }
    void SetTextIsMasked(bool masked);
    bool CapsLockIsDown() const { return mCapsLockIsDown; }
    void SetCapsLockIsDown(bool down) { mCapsLockIsDown = down; }
    bool KeepPasswordAfterDragDrop() const { return mKeepPasswordAfterDragDrop; }
    void SetKeepPasswordAfterDragDrop(bool keep) { mKeepPasswordAfterDragDrop = keep; }
    bool KeepOnTop() const { return mKeepOnTop; }
    void SetKeepOnTop(bool keep) { mKeepOnTop = keep; }
    bool BeepOnHover() const { return mBeepOnHover; }
    void SetBeepOnHover(bool beep);
    void SetInputMode(std::int16_t mode);
    bool EnableHoverEntry();
    bool DisableHoverEntry();
    bool MouseHidden() const { return mMouseHidden; }
    bool HideMouse();
    bool ShowMouse();
    bool TimerEnabled() const { return mTimerEnabled; }
    void SetTimerEnabled(bool enabled);
    bool HoverEntryEnabled() const { return mTimerEnabled; }
    KeyButton* CurrentButton() const { return mCurrentButton; }
    void SetCurrentButton(KeyButton* button) { mCurrentButton = button; }
    std::int16_t KeyboardType() const { return mKeyboardType; }
    void SetKeyboardType(std::int16_t type) { mKeyboardType = type; }
    WindowHandle hwnd() const { return mWindow->Handle(); }

    // Operations.
    void ButtonClick(KeyButton& button) override;
    void ButtonMouseMove(KeyButton& button, std::int16_t mouseButton, std::int16_t shift, float x,
                         float y) override;
    void ButtonMouseUp(KeyButton& button, std::int16_t mouseButton, std::int16_t shift, float x,
                       float y) override;
    bool KeyPress(std::int16_t keyAscii, bool keyPressFromMouseEvent = false);
    void KeyDown(std::int16_t keyCode, std::int16_t shift);
    void KeyUp(std::int16_t keyCode, std::int16_t shift);
    void MouseMoveInTextBox(std::int16_t mouseButton, std::int16_t shift, float x, float y);
    void MouseMoveInForm(std::int16_t mouseButton, std::int16_t shift, float x, float y);
    void Timer1Tick(); // the window's hover timer ticked
    void Timer();      // one hover press
    void NoiseTimerTick(); // the window's noise timer ticked
    void RandomNoiseTimer(); // one noise step
    void ReleaseNoiseKeys(); // every noise key still held goes up now: the noise pauses
    bool NoiseKeyHeld() const { return !mHeldNoiseKeys.empty(); }
    // The option is on, the window believes it has the keyboard, and yet no noise key has gone
    // down for a second: the system will not take them. The toolbar shows it.
    bool NoiseBlocked() const { return mNoiseBlocked; }
    void ClearText();
    void HighlightText();
    void Resize();
    void RefreshToolbar();

    // The character the same US key gives with the opposite Shift state ("" for none).
    static std::u16string ShiftCounterpart(const std::u16string& c);

    // The character the latest noise key was expected to give, for inspection.
    const std::u16string& NoiseChar() const { return mNoiseChar; }

    // The key table, for inspection.
    const KeyTable& KeyTableRows() const { return mKeyTable; }

private:
    // Key table and captions. Modes of a caption refresh: re-caption only (filling the
    // table the first time), scramble, and 2 or 3 for an ordered refill.
    static constexpr std::int16_t kRecaption = 0;
    static constexpr std::int16_t kScramble = 1;
    static constexpr std::int16_t kLastRefillMode = 3;
    void AddKeyToTable(KeyTable& table, KeyButton& button, bool randomKey, bool restart);
    void FillKeyTable(ButtonOrder order, bool randomKeys);
    void RefreshKeyCaptions(std::int16_t mode);
    void SetKeyCaption(std::string_view codeText, std::int16_t& row);
    void SortKeyTable(KeyTable& table);
    void QuickSortKeyTable(KeyTable& table, std::int32_t lo, std::int32_t hi);

    // Key entry.
    TextLine& VisibleLine();
    void CharacterKey(const std::u16string& caption, TextLine& line, std::int16_t s, std::int16_t l);
    void BackspaceKey(TextLine& line, std::int16_t s, std::int16_t l);
    std::u16string OnScreenKeyCharacter(const std::u16string& c);
    void FollowPhysicalShift();
    void EraseBeforeCaret(TextLine& line, bool editBuffer);
    static SecretText PasswordFromPlainText(const SecretText& text);

    // Noise.
    void NoiseKeyPress(std::int16_t keyAscii, bool keyPressFromMouseEvent);
    enum class NoiseVerdict { Person, Noise, PersonOrNoise };
    NoiseVerdict IsNoise(char16_t c, bool keyPressFromMouseEvent);
    std::u16string PickNoiseCharacter();
    void PressNoiseKey(std::u16string& character);
    bool CanTypeNoiseKey(std::int32_t virtualKey);
    std::int32_t NoiseHoldMilliseconds();
    void CountDownNoise(); // a tick's time off the holds and the streams
    void SeedNoiseTiming();
    void TakeKeyPressedOverNoise(std::int32_t virtualKey, bool shifted);
    void TakeKeysPressedOverNoise();
    void NoteNoiseMissed(std::int32_t milliseconds);
    std::int64_t NoiseClockNow() const;
    void NoteNoisePressed();
    void SendNoiseKeyEvent(std::int32_t virtualKey, bool down);
    std::int16_t ShiftWord();
    cSendKeys NoiseKeys();

    // Hidden mouse.
    void SetHiddenPointer(std::int16_t hidden);

    // Geometry.
    std::int32_t KeyUnit(std::int32_t outerWidth, std::int32_t margin) const;
    std::int32_t PixelRound(double twips) const;
    void LayoutKeys(std::int32_t outerWidth, std::int32_t margin);
    void PlaceRightOf(KeyButton& target, KeyButton& previous);
    void ResizeLayout();
    void SnapWindowWidth();
    void SizeAndPlaceAtStartUp();
    static std::int32_t StartWidth(const ScreenMetrics& screen, double r);
    void PlaceWindowAtRandom();

    KeyButton& Button(int number) { return mWindow->Button(number); }

    RandomSource& mRandom;
    ErrorLog& mErrors;
    std::function<std::int32_t()> mHoverInterval;
    KeyState& mKeyState;
    ForegroundWindow& mForeground;
    KeyInjector& mInjector;
    KeyLayout& mLayout;
    EventPump& mPump;
    std::function<std::int64_t()> mMilliseconds;

    // Fields, in declaration order.
    std::int16_t mKeyboardType = 0;
    std::unique_ptr<MainWindow> mWindow;
    KeyButton* mCurrentButton = nullptr;
    bool mTimerEnabled = false;
    bool mBeepOnHover = false;
    bool mMouseHidden = false;
    bool mKeepOnTop = false;
    bool mKeepPasswordAfterDragDrop = false;
    std::int32_t mMargin = 0;
    bool mCapsLockIsDown = false;
    bool mShiftIsDown = false;
    bool mTextIsMasked = false;
    std::int16_t mInputMode = 0;
    KeyTable mKeyTable{};
    // Milliseconds until each noise stream's next press.
    std::array<std::int32_t, kNoiseStreams> mNoiseStreamDue{};
    std::int32_t mNoiseTickElapsed = kNoiseTickMilliseconds; // the length of the tick that just ended
    std::int64_t mNoiseClock = 0; // milliseconds of noise ticks: the time the person's rhythm is measured in
    std::int64_t mNoiseTickAt = 0; // when the latest tick came, by the services' clock
    TypingRhythm mRhythm;
    std::u16string mNoiseChar;
    std::int32_t mNoiseKey = 0;
    bool mExpectingNoise = false; // inside a noise key's own event pump, its character not yet seen
    char16_t mNoiseExact = 0;     // the character the noise key gives with Shift and Caps Lock as they are
    std::size_t mNoiseOtherAt = SecretText::npos; // the key's other character, taken as the person's
    bool mNoiseStepRunning = false;
    struct HeldNoiseKey {
        std::int32_t key;
        std::int32_t msLeft; // until it goes up
        bool pressArrived = false; // the person pressed it too, and the window saw that press
    };
    std::vector<HeldNoiseKey> mHeldNoiseKeys;
    std::int32_t mNoisePumpKey = 0; // the noise key whose own key events the pump is handling
    std::int32_t mNoiseMissedMilliseconds = 0; // since a noise key was due and none could go down
    std::mt19937_64 mNoiseTiming; // the ticks', holds' and gaps' lengths, apart from the noise keys' draws
    bool mNoiseBlocked = false;
    bool mObsfucate = false;
    bool mKeyboardInputToMatchOnScreenKey = false;
    std::int16_t mKeyboardLayoutType = 0;
    SecretText mCurrentPassword;

    // Statics of their routines, living as long as the object.
    std::int16_t iKeyRow = 0;  // AddKeyToTable
    bool mLayoutGuard = false; // Resize
};

} // namespace mirvane
