#include "Keyboard.h"
#include "KeyCodes.h"

#include <algorithm>
#include <array>

namespace mirvane {

namespace {
// Which on-screen button stands at the place of each physical character key of a US keyboard.
struct KeyPlace {
    char16_t normal;
    char16_t shifted;
    int button;
};

constexpr std::array<KeyPlace, 47> kKeyPlaces{{
    {u'`', u'~', 1},   {u'1', u'!', 2},   {u'2', u'@', 3},  {u'3', u'#', 4},  {u'4', u'$', 5},
    {u'5', u'%', 6},   {u'6', u'^', 7},   {u'7', u'&', 8},  {u'8', u'*', 9},  {u'9', u'(', 10},
    {u'0', u')', 11},  {u'-', u'_', 12},  {u'=', u'+', 13}, {u'q', u'Q', 17}, {u'w', u'W', 18},
    {u'e', u'E', 19},  {u'r', u'R', 20},  {u't', u'T', 21}, {u'y', u'Y', 22}, {u'u', u'U', 23},
    {u'i', u'I', 24},  {u'o', u'O', 25},  {u'p', u'P', 26}, {u'[', u'{', 27}, {u']', u'}', 28},
    {u'\\', u'|', 65}, {u'a', u'A', 31},  {u's', u'S', 32}, {u'd', u'D', 33}, {u'f', u'F', 34},
    {u'g', u'G', 35},  {u'h', u'H', 36},  {u'j', u'J', 37}, {u'k', u'K', 38}, {u'l', u'L', 39},
    {u';', u':', 40},  {u'\'', u'"', 41}, {u'z', u'Z', 43}, {u'x', u'X', 44}, {u'c', u'C', 45},
    {u'v', u'V', 46},  {u'b', u'B', 47},  {u'n', u'N', 48}, {u'm', u'M', 49}, {u',', u'<', 50},
    {u'.', u'>', 51},  {u'/', u'?', 52},
}};
// Space, digits, letters and the punctuation keys: the presses a typist's rhythm is made of,
// and the kind the noise makes.
bool TypesCharacter(std::int32_t keyCode) {
    return keyCode == 32 || (keyCode >= '0' && keyCode <= 'Z') || (keyCode >= 0xBA && keyCode <= 0xE2);
}
} // namespace

// The state words of both Shift keys and of either, OR-ed.
std::int16_t Keyboard::ShiftWord() {
    return static_cast<std::int16_t>(mKeyState.GetAsyncKeyState(kShiftKey) |
                                     mKeyState.GetAsyncKeyState(kRightShiftKey) |
                                     mKeyState.GetAsyncKeyState(kLeftShiftKey));
}

// While the keys follow the physical keyboard (or hide the password among noise), the
// on-screen Shift shows what the physical Shift and Caps Lock do together.
void Keyboard::FollowPhysicalShift() {
    if (!mObsfucate && !mKeyboardInputToMatchOnScreenKey) {
        return;
    }
    const bool caps = mKeyState.GetKeyState(kCapsLockKey) != 0;
    SetShiftIsDown(caps != (ShiftWord() != 0));
}

void Keyboard::KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
    if (keyCode != mNoisePumpKey) {
        TakeKeysPressedOverNoise();
        FollowPhysicalShift();
        // Windows, unlike the X server, passes on a press of a key the noise holds: the
        // person's character comes by itself, and the key-up must not type it again.
        bool noiseHolds = false;
        for (HeldNoiseKey& held : mHeldNoiseKeys) {
            held.pressArrived = held.pressArrived || held.key == keyCode;
            noiseHolds = noiseHolds || held.key == keyCode;
        }
        if (mObsfucate && !noiseHolds && TypesCharacter(keyCode)) {
            mRhythm.KeyDown(keyCode, NoiseClockNow());
        }
    }
    TextLine& password = mWindow->Password();
    if (keyCode != kDeleteKey || !password.Visible() || password.Text().empty()) {
        return;
    }
    // The text box removes the mask characters itself; the buffer loses the same ones.
    const std::size_t s = static_cast<std::size_t>(std::max<std::int16_t>(password.SelStart(), 0));
    const std::size_t l = static_cast<std::size_t>(std::max<std::int16_t>(password.SelLength(), 0));
    if (s < mCurrentPassword.size()) {
        mCurrentPassword.erase(s, l > 0 ? l : 1);
    }
}

// A noise key's own events say nothing of the person's Shift: following them would let go of
// an on-screen Shift the person latched. The key-up's own Shift is the one its press had, as
// near as the window knows: by now the person may have let go of Shift.
void Keyboard::KeyUp(std::int16_t keyCode, std::int16_t shift) {
    if (keyCode == mNoisePumpKey) {
        return;
    }
    mRhythm.KeyUp(keyCode, NoiseClockNow());
    FollowPhysicalShift();
    TakeKeysPressedOverNoise();
    TakeKeyPressedOverNoise(keyCode, (shift & kShiftMaskShift) != 0);
}

std::u16string Keyboard::OnScreenKeyCharacter(const std::u16string& c) {
    if (c == u" ") {
        return c;
    }
    for (const KeyPlace& place : kKeyPlaces) {
        if (c.size() == 1 && (c[0] == place.normal || c[0] == place.shifted)) {
            const std::u16string caption = Button(place.button).Caption();
            return caption == u"&&" ? u"&" : caption;
        }
    }
    return {};
}

} // namespace mirvane
