#include "Keyboard.h"

#include <algorithm>
#include <array>
#include <utility>

namespace mirvane {

namespace {
constexpr char16_t kTab = u'\t';
constexpr char16_t kLineFeed = u'\n';
constexpr std::int16_t kBackspaceCode = 8;

// The first s characters of a text, as the object model's Left$ gives them.
SecretText LeftPart(const SecretText& text, std::int32_t s) {
    return text.substr(
        0, static_cast<std::size_t>(std::clamp<std::int32_t>(s, 0, static_cast<std::int32_t>(text.size()))));
}

// Everything after a selection of l characters starting at s.
SecretText RightPart(const SecretText& text, std::int32_t s, std::int32_t l) {
    const auto from = static_cast<std::size_t>(std::max<std::int32_t>(s + l, 0));
    return from < text.size() ? text.substr(from) : SecretText();
}

SecretText WithoutLast(const SecretText& text, std::size_t count) {
    return text.substr(0, text.size() > count ? text.size() - count : 0);
}

SecretText AsSecret(std::u16string_view text) { return SecretText(text.begin(), text.end()); }

// Whether replacing a selection of l characters by `added` more keeps the line within its limit.
bool Fits(const SecretText& text, std::int16_t l, std::size_t added) {
    return text.size() -
               std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int16_t>(l, 0)), text.size()) +
               added <=
           kMaxTextLength;
}

// The character keys of a US keyboard, unshifted and shifted.
constexpr std::array<std::pair<char16_t, char16_t>, 47> kShiftPairs{{
    {u'`', u'~'}, {u'1', u'!'},  {u'2', u'@'}, {u'3', u'#'}, {u'4', u'$'},  {u'5', u'%'}, {u'6', u'^'},
    {u'7', u'&'}, {u'8', u'*'},  {u'9', u'('}, {u'0', u')'}, {u'-', u'_'},  {u'=', u'+'}, {u'q', u'Q'},
    {u'w', u'W'}, {u'e', u'E'},  {u'r', u'R'}, {u't', u'T'}, {u'y', u'Y'},  {u'u', u'U'}, {u'i', u'I'},
    {u'o', u'O'}, {u'p', u'P'},  {u'[', u'{'}, {u']', u'}'}, {u'\\', u'|'}, {u'a', u'A'}, {u's', u'S'},
    {u'd', u'D'}, {u'f', u'F'},  {u'g', u'G'}, {u'h', u'H'}, {u'j', u'J'},  {u'k', u'K'}, {u'l', u'L'},
    {u';', u':'}, {u'\'', u'"'}, {u'z', u'Z'}, {u'x', u'X'}, {u'c', u'C'},  {u'v', u'V'}, {u'b', u'B'},
    {u'n', u'N'}, {u'm', u'M'},  {u',', u'<'}, {u'.', u'>'}, {u'/', u'?'},
}};
bool IsSpare(const KeyButton& button) {
    return std::find(kSpareButtons.begin(), kSpareButtons.end(), button.Number()) != kSpareButtons.end();
}
} // namespace

TextLine& Keyboard::VisibleLine() {
    return mWindow->Password().Visible() ? mWindow->Password() : mWindow->PlainText();
}

void Keyboard::ButtonClick(KeyButton& button) {
    TextLine& line = VisibleLine();
    const std::int16_t s = line.SelStart();
    const std::int16_t l = line.SelLength();
    const std::u16string caption = button.Caption();

    if (caption == u"bksp") {
        BackspaceKey(line, s, l);
    } else if (caption == u"tab" || caption == u"ent") {
        TextLine& plain = mWindow->PlainText();
        const SecretText text = plain.Text();
        const SecretText breakText = caption == u"tab" ? u"\t" : u"\r\n";
        if (plain.Visible() && Fits(text, l, breakText.size())) {
            plain.SetText(LeftPart(text, s) + breakText + RightPart(text, s, l));
            plain.SetFocus();
            plain.SetSelStart(static_cast<std::int16_t>(s + breakText.size()));
            plain.SetSelLength(0);
        }
    } else if (caption == u"lock") {
        mCapsLockIsDown = !mCapsLockIsDown;
        RefreshKeyCaptions(kRecaption);
        line.SetFocus();
    } else if (caption == u"shft") {
        SetShiftIsDown(!mShiftIsDown);
        line.SetFocus();
    } else if (caption == u"ctrl" || caption == u"win" || caption == u"alt" || caption == u"Command59" ||
               IsSpare(button)) {
        // Keys without an action. A spare button still shows its design number, which
        // is no character to type.
    } else {
        CharacterKey(caption, line, s, l);
    }
}

void Keyboard::CharacterKey(const std::u16string& caption, TextLine& line, std::int16_t s, std::int16_t l) {
    SecretText c = AsSecret(caption);
    if (caption == u"space" || caption.empty()) {
        c = u" ";
    } else if (caption == u"&&") {
        c = u"&";
    }
    const SecretText text = line.Text();
    if (!Fits(text, l, c.size())) {
        line.SetFocus();
        return;
    }
    if (mObsfucate) {
        KeyPress(static_cast<std::int16_t>(c[0]), true);
    } else {
        mCurrentPassword = LeftPart(mCurrentPassword, s) + c + RightPart(mCurrentPassword, s, l);
    }
    const bool masked = mWindow->Password().Visible();
    line.SetText(LeftPart(text, s) + (masked ? u"*" : c) + RightPart(text, s, l));

    if (mShiftIsDown) {
        SetShiftIsDown(false);
        RefreshKeyCaptions(kRecaption);
    }
    line.SetFocus();
    line.SetSelStart(static_cast<std::int16_t>(s + 1));
    line.SetSelLength(0);
}

void Keyboard::BackspaceKey(TextLine& line, std::int16_t s, std::int16_t l) {
    const SecretText text = line.Text();
    const SecretText left = LeftPart(text, s);
    const SecretText right = RightPart(text, s, l);
    if (l <= 0 && s == 0) {
        line.SetFocus();
        line.SetSelStart(0);
    } else if (l <= 0 && !left.empty() && left.back() == kLineFeed) {
        // Line breaks exist only in the text line, never in the buffer.
        line.SetText(WithoutLast(left, 2) + right);
        line.SetFocus();
        line.SetSelStart(static_cast<std::int16_t>(std::max(s - 2, 0)));
    } else if (l <= 0) {
        line.SetText(WithoutLast(left, 1) + right);
        if (!mCurrentPassword.empty()) {
            mCurrentPassword =
                WithoutLast(LeftPart(mCurrentPassword, s), 1) + RightPart(mCurrentPassword, s, 0);
        }
        line.SetFocus();
        line.SetSelStart(static_cast<std::int16_t>(s - 1));
    } else {
        line.SetText(left + right);
        mCurrentPassword = LeftPart(mCurrentPassword, s) + RightPart(mCurrentPassword, s, l);
        line.SetFocus();
        line.SetSelStart(s);
    }
    line.SetSelLength(0);
}

bool Keyboard::KeyPress(std::int16_t keyAscii, bool keyPressFromMouseEvent) {
    // A noise key's character may still be on its way after the option went off in its pump.
    if (mObsfucate || mExpectingNoise) {
        NoiseKeyPress(keyAscii, keyPressFromMouseEvent);
        return false; // the engine made the line's edit itself, as below
    }
    TextLine& line = VisibleLine();
    const bool masked = mWindow->Password().Visible();
    const std::int16_t s = line.SelStart();
    const std::int16_t l = line.SelLength();
    const SecretText text = line.Text();

    if (keyAscii == kBackspaceCode) {
        EraseBeforeCaret(line, masked);
        return false;
    }

    SecretText c(1, static_cast<char16_t>(static_cast<std::uint16_t>(keyAscii)));
    if (mKeyboardInputToMatchOnScreenKey) {
        c = AsSecret(OnScreenKeyCharacter(std::u16string(c.begin(), c.end())));
        if (c.empty()) {
            // No on-screen key stands there: taking the key would put the line and buffer out of step.
            return false;
        }
    }
    if (!Fits(text, l, c.size())) {
        return false;
    }
    if (masked) {
        mCurrentPassword = LeftPart(mCurrentPassword, s) + c + RightPart(mCurrentPassword, s, l);
        line.SetText(LeftPart(text, s) + u"*" + RightPart(text, s, l));
    } else {
        line.SetText(LeftPart(text, s) + c + RightPart(text, s, l));
    }
    line.SetSelStart(static_cast<std::int16_t>(s + 1));
    return false;
}

// Backspace as the text box does it; the buffer loses the same character when asked.
void Keyboard::EraseBeforeCaret(TextLine& line, bool editBuffer) {
    const bool masked = mWindow->Password().Visible();
    const std::int16_t s = line.SelStart();
    const std::int16_t l = line.SelLength();
    const SecretText text = line.Text();
    if (text.empty()) {
        return;
    }
    if (l > 0) {
        line.SetText(LeftPart(text, s) + RightPart(text, s, l));
        if (editBuffer) {
            mCurrentPassword = LeftPart(mCurrentPassword, s) + RightPart(mCurrentPassword, s, l);
        }
        line.SetSelStart(s);
    } else if (s > 0) {
        // In the plain line a line break goes as a whole, as the on-screen "bksp" does it.
        const bool lineBreak = !masked && s >= 2 && static_cast<std::size_t>(s) <= text.size() &&
                               text[static_cast<std::size_t>(s - 1)] == kLineFeed &&
                               text[static_cast<std::size_t>(s - 2)] == u'\r';
        const std::int16_t width = lineBreak ? 2 : 1;
        line.SetText(LeftPart(text, s - width) + RightPart(text, s, 0));
        if (editBuffer) {
            mCurrentPassword = LeftPart(mCurrentPassword, s - 1) + RightPart(mCurrentPassword, s, 0);
        }
        line.SetSelStart(static_cast<std::int16_t>(s - width));
    }
}

// Noise is recognised where it is certain: only inside its own key's pump, once, and only
// as the character that key gives with Shift and Caps Lock as they are. Everything else is
// the person's, so no typed character is lost to a guess. The key's other character is
// the person's too, unless the pump ends without the expected one: then Shift changed
// under the key, and that character was the noise after all.
Keyboard::NoiseVerdict Keyboard::IsNoise(char16_t c, bool keyPressFromMouseEvent) {
    if (keyPressFromMouseEvent || !mExpectingNoise) {
        return NoiseVerdict::Person;
    }
    if (c == mNoiseExact) {
        mExpectingNoise = false;
        mNoiseOtherAt = SecretText::npos;
        return NoiseVerdict::Noise;
    }
    const std::u16string other = ShiftCounterpart(std::u16string(1, mNoiseExact));
    return other.size() == 1 && other[0] == c && mNoiseOtherAt == SecretText::npos ? NoiseVerdict::PersonOrNoise
                                                                                   : NoiseVerdict::Person;
}

void Keyboard::NoiseKeyPress(std::int16_t keyAscii, bool keyPressFromMouseEvent) {
    TextLine& line = VisibleLine();
    if (keyAscii == kBackspaceCode) {
        if (!mCurrentPassword.empty()) {
            mCurrentPassword.pop_back();
        }
        EraseBeforeCaret(line, false); // whichever character goes from the line
        return;
    }
    const auto c = static_cast<char16_t>(static_cast<std::uint16_t>(keyAscii));
    const bool masked = mWindow->Password().Visible();
    const SecretText text = line.Text();
    const std::int16_t s = line.SelStart();
    const std::int16_t l = line.SelLength();
    const bool lineTakesIt = keyPressFromMouseEvent || Fits(text, l, 1);
    const NoiseVerdict verdict = lineTakesIt ? IsNoise(c, keyPressFromMouseEvent) : NoiseVerdict::Noise;
    if (verdict != NoiseVerdict::Noise) {
        const std::u16string typed(1, c);
        const std::u16string kept =
            keyPressFromMouseEvent || !mKeyboardInputToMatchOnScreenKey ? typed : OnScreenKeyCharacter(typed);
        if (kept.empty()) {
            return; // no on-screen key stands there, as in plain entry
        }
        if (mCurrentPassword.size() < kMaxTextLength) {
            if (verdict == NoiseVerdict::PersonOrNoise) {
                mNoiseOtherAt = mCurrentPassword.size();
            }
            mCurrentPassword += kept;
        }
    }
    // Noise already on its way when the person selected (a double click before a drag) would
    // type over the selection and take it away: the line stays as the person left it.
    if (verdict == NoiseVerdict::Noise && (l > 0 || !mObsfucate)) {
        return;
    }
    if (lineTakesIt && !keyPressFromMouseEvent) {
        // What the text box would do with the character; the masked line holds only stars.
        line.SetText(LeftPart(text, s) + (masked ? SecretText(u"*") : SecretText(1, c)) + RightPart(text, s, l));
        line.SetSelStart(static_cast<std::int16_t>(s + 1));
    }
}

void Keyboard::ClearText() {
    mWindow->Password().SetText(u"");
    mWindow->PlainText().SetText(u"");
    Wipe(mCurrentPassword);
}

std::u16string Keyboard::ShiftCounterpart(const std::u16string& c) {
    if (c == u" ") {
        return c;
    }
    if (c.size() == 1) {
        for (const auto& [unshifted, shifted] : kShiftPairs) {
            if (c[0] == unshifted) {
                return std::u16string(1, shifted);
            }
            if (c[0] == shifted) {
                return std::u16string(1, unshifted);
            }
        }
    }
    return {};
}

} // namespace mirvane
