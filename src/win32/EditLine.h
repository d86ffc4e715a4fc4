#pragma once

#include "PlacedWindow.h"
#include "SecretClipboard.h"
#include "Win32Controls.h"

#include "engine/Controls.h"
#include "form/TextLineEvents.h"

#include <optional>

namespace mirvane {

// txtPassword (ES_PASSWORD, "*") or txtText (multi-line, CR LF native): an EDIT whose key,
// mouse and focus messages reach the form first. Nothing changes the password line's text
// behind the engine's back (paste, cut, copy, undo, its context menu), and no other thread,
// so no other program, reads either line's text or writes it. A copy or cut of the plain
// line goes on the clipboard marked as a secret, and is taken back after a while and when
// the line is emptied. The plain box's own buffer keeps no character it no longer shows.
class EditLine final : public PlacedWindow<TextLine> {
public:
    EditLine(HWND parent, int id, bool password);
    void SetEvents(TextLineEvents* events) { mEvents = events; }

    SecretText Text() const override;
    void SetText(const SecretText& text) override;
    std::int16_t SelStart() const override;
    void SetSelStart(std::int16_t start) override;
    std::int16_t SelLength() const override;
    void SetSelLength(std::int16_t length) override;
    std::u16string PasswordChar() const override;
    void SetPasswordChar(const std::u16string& passwordChar) override;
    void SetFocus() override { ::SetFocus(Window()); }
    // The person's copy of the plain line, marked as a secret and taken back after a while.
    void OfferCopy(const SecretText& text);
    void WithdrawCopy();
    const Timer& CopyExpiry() const { return *mCopyExpiry; }

private:
    static LRESULT CALLBACK Subclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Original(UINT message, WPARAM wParam, LPARAM lParam) const {
        return CallWindowProcW(mOriginal, Window(), message, wParam, lParam);
    }
    void Selection(DWORD& start, DWORD& end) const;
    LRESULT Edited(UINT message, WPARAM wParam, LPARAM lParam);
    // Zeroes the plain box's own buffer from character `keep` on.
    void WipeBuffer(std::size_t keep) const;
    std::int32_t CharacterAt(LPARAM lParam) const;

    bool mPassword;
    WNDPROC mOriginal = nullptr;
    TextLineEvents* mEvents = nullptr;
    bool mSwallowCharacter = false; // the key-down was cancelled: so is its character
    SecretClipboard mClipboard;
    std::optional<WindowTimer> mCopyExpiry;
};

} // namespace mirvane
