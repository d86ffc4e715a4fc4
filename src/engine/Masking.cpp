#include "Keyboard.h"

namespace mirvane {

void Keyboard::SetTextIsMasked(bool masked) {
    mTextIsMasked = masked;
    TextLine& password = mWindow->Password();
    TextLine& plain = mWindow->PlainText();
    KeyButton& tabKey = Button(16);
    KeyButton& enterKey = Button(29);
    mWindow->MenuEntry(Menu::ViewPasswordMask).SetChecked(masked);

    if (!masked) {
        const std::int16_t selStart = password.SelStart();
        const std::int16_t selLength = password.SelLength();
        password.SetPasswordChar(u"");
        plain.SetVisible(true);
        password.SetVisible(false);
        tabKey.SetEnabled(true);
        enterKey.SetEnabled(true);
        plain.SetText(mCurrentPassword);
        if (mWindow->Visible()) {
            plain.SetFocus();
        }
        plain.SetSelStart(selStart);
        plain.SetSelLength(selLength);
    } else {
        const std::int16_t selStart = plain.SelStart();
        const std::int16_t selLength = plain.SelLength();
        plain.SetVisible(false);
        password.SetVisible(true);
        password.SetPasswordChar(u"*");
        tabKey.SetEnabled(false);
        enterKey.SetEnabled(false);
        mWindow->MenuEntry(Menu::ModeHiddenMouseAndHover).SetEnabled(true);

        // The plain line's first line is the password, unless noise is mixed into it.
        if (!mObsfucate) {
            SetCurrentPassword(PasswordFromPlainText(plain.Text()));
        }
        // A hidden line keeps no password: other programs read hidden widgets too.
        plain.SetText(SecretText());

        password.SetText(SecretText(mCurrentPassword.size(), u'*'));
        if (mWindow->Visible()) {
            password.SetFocus();
        }
        password.SetSelStart(selStart);
        password.SetSelLength(selLength);
    }
    RefreshToolbar();
}

// Its tabs become line breaks, within the line's limit and with no half line break.
SecretText Keyboard::PasswordFromPlainText(const SecretText& text) {
    const SecretText firstLine = text.substr(0, text.find(u"\r\n"));
    SecretText rebuilt;
    for (char16_t c : firstLine) {
        if (c == u'\t') {
            rebuilt += u"\r\n";
        } else {
            rebuilt += c;
        }
    }
    if (rebuilt.size() > kMaxTextLength) {
        rebuilt.resize(kMaxTextLength);
        if (rebuilt.back() == u'\r') {
            rebuilt.pop_back();
        }
    }
    return rebuilt;
}

void Keyboard::HighlightText() {
    TextLine& password = mWindow->Password();
    if (password.Visible()) {
        password.SetFocus();
        password.SetSelStart(0);
        password.SetSelLength(static_cast<std::int16_t>(password.Text().size()));
    } else {
        TextLine& plain = mWindow->PlainText();
        plain.SetFocus();
        plain.SetSelStart(static_cast<std::int16_t>(password.Text().size()));
    }
}

} // namespace mirvane
