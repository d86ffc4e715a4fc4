#include "EditLine.h"
#include "InputGuard.h"
#include "InputState.h"

#include "form/ClipboardRules.h"

#include <algorithm>
#include <utility>

#include <windowsx.h>

namespace mirvane {

namespace {
std::int16_t ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 2;
    default:
        return 4;
    }
}

constexpr UINT_PTR kCopyExpiryTimer = 1;

std::int16_t ToInt16(DWORD value) { return static_cast<std::int16_t>(std::min<DWORD>(value, INT16_MAX)); }

// The Windows keys have no bit in the Shift argument, but a key with them is no plain key.
bool WindowsKeyHeld() { return GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0; }

LinePoint PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool ChangesText(UINT message) {
    switch (message) {
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case WM_SETTEXT:
        return true;
    default:
        return false;
    }
}
} // namespace

EditLine::EditLine(HWND parent, int id, bool password) : mPassword(password), mClipboard(parent) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL |
                        (password ? ES_PASSWORD : ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL);
    Adopt(CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, 10, 10, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                          nullptr));
    SendMessageW(Window(), EM_LIMITTEXT, kMaxTextLength, 0);
    if (password) {
        SendMessageW(Window(), EM_SETPASSWORDCHAR, '*', 0);
    } else {
        // A buffer of the full limit from the start: one that grows is freed unwiped.
        HLOCAL buffer = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, (kMaxTextLength + 1) * sizeof(wchar_t));
        if (buffer != nullptr) {
            const auto old = reinterpret_cast<HLOCAL>(SendMessageW(Window(), EM_GETHANDLE, 0, 0));
            SendMessageW(Window(), EM_SETHANDLE, reinterpret_cast<WPARAM>(buffer), 0);
            if (old != nullptr && old != buffer) {
                LocalFree(old);
            }
        }
    }
    mCopyExpiry.emplace(Window(), kCopyExpiryTimer, kCopyLifetimeMs);
    SetWindowLongPtrW(Window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    mOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditLine::Subclassed)));
}

LRESULT CALLBACK EditLine::Subclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* line = reinterpret_cast<EditLine*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return line->Handle(message, wParam, lParam);
}

LRESULT EditLine::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (InputGuard::RefusesSent(message, wParam)) {
        return 0;
    }
    InputGuard::KeepsPlace(Window(), message, wParam, lParam);
    switch (message) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_GETLINE:
    case WM_SETTEXT:
    case EM_REPLACESEL:
        // Sent from another thread, so perhaps another program: the lines' text is the engine's.
        if (InSendMessage()) {
            return 0;
        }
        break;
    case WM_CUT:
    case WM_COPY:
        // The box's own copy would leave the text on the clipboard unmarked, for good; and a
        // copy another program asks for is no copy the person asked for.
        if (mEvents != nullptr && !InSendMessage()) {
            mEvents->LineCopy(*this, message == WM_CUT);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kCopyExpiryTimer) {
            WithdrawCopy();
            return 0;
        }
        break;
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        // Another program's edit is never the person's; the password line takes none at all.
        if (mPassword || InSendMessage()) {
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        if (mPassword) {
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        auto keyCode = static_cast<std::int16_t>(wParam);
        const bool lineTakes =
            mEvents == nullptr || mEvents->LineKeyDown(*this, keyCode, ShiftMask(), WindowsKeyHeld());
        mSwallowCharacter = keyCode == 0;
        if (keyCode == 0) {
            return 0;
        }
        if (!lineTakes) {
            // Its character still comes; Alt with a letter still opens a menu.
            return message == WM_SYSKEYDOWN ? DefWindowProcW(Window(), message, wParam, lParam) : 0;
        }
        return Edited(message, wParam, lParam);
    }
    case WM_CHAR: {
        if (std::exchange(mSwallowCharacter, false)) {
            return 0;
        }
        // With Ctrl held a key types no character: it is a shortcut, or nothing.
        if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
            return mPassword ? 0 : Original(message, wParam, lParam);
        }
        auto keyAscii = static_cast<std::int16_t>(wParam);
        if (mEvents != nullptr) {
            mEvents->LineKeyPress(*this, keyAscii);
        }
        return keyAscii == 0
                   ? 0
                   : Edited(message, static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii)), lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (mEvents != nullptr) {
            mEvents->LineKeyUp(*this, static_cast<std::int16_t>(wParam), ShiftMask());
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        if (message == WM_MBUTTONDOWN) {
            return 0;
        }
        if (!mPassword && mEvents != nullptr &&
            mEvents->PlainLinePressArmsDrag(*this, ButtonOf(message), CharacterAt(lParam), PointOf(lParam))) {
            // The selection stays for the drag; the press is the line's all the same.
            if (GetFocus() != Window()) {
                ::SetFocus(Window());
            }
            SetCapture(Window());
            mEvents->LineMouseDown(*this, ButtonOf(message), ShiftMask());
            return 0;
        }
        const LRESULT result = Original(message, wParam, lParam);
        if (mEvents != nullptr) {
            mEvents->LineMouseDown(*this, ButtonOf(message), ShiftMask());
        }
        return result;
    }
    case WM_MOUSEMOVE: {
        if (mEvents != nullptr && mEvents->LineMouseMoveStartsDrag(*this, ButtonsHeld(wParam), ShiftMask())) {
            return 0;
        }
        if (!mPassword && mEvents != nullptr) {
            mEvents->LineMouseMove(*this, ButtonsHeld(wParam), ShiftMask());
            const int distance = std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
            if (mEvents->PlainLineMoveTaken(*this, ButtonsHeld(wParam), PointOf(lParam), distance)) {
                return 0;
            }
            return Original(message, wParam, lParam);
        }
        const LRESULT result = Original(message, wParam, lParam);
        if (mEvents != nullptr) {
            mEvents->LineMouseMove(*this, ButtonsHeld(wParam), ShiftMask());
        }
        return result;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        if (!mPassword && mEvents != nullptr && mEvents->PlainLineReleaseTaken(*this, CharacterAt(lParam))) {
            ReleaseCapture();
            mEvents->LineMouseUp(*this, ButtonOf(message), ShiftMask());
            return 0;
        }
        const LRESULT result = Original(message, wParam, lParam);
        if (mEvents != nullptr) {
            mEvents->LineMouseUp(*this, ButtonOf(message), ShiftMask());
        }
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = Original(message, wParam, lParam);
        if (mEvents != nullptr) {
            mEvents->LineDoubleClick(*this);
        }
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = Original(message, wParam, lParam);
        if (mEvents != nullptr) {
            message == WM_SETFOCUS ? mEvents->LineGotFocus(*this) : mEvents->LineLostFocus(*this);
        }
        return result;
    }
    case WM_DESTROY:
        WipeBuffer(0); // the box frees it as it goes
        break;
    default:
        break;
    }
    return ChangesText(message) ? Edited(message, wParam, lParam) : Original(message, wParam, lParam);
}

// What the box held beyond its text now is wiped: a shorter text leaves the old characters
// behind the new end.
LRESULT EditLine::Edited(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Original(message, wParam, lParam);
    WipeBuffer(static_cast<std::size_t>(Original(WM_GETTEXTLENGTH, 0, 0)) + 1);
    return result;
}

void EditLine::WipeBuffer(std::size_t keep) const {
    const auto buffer = reinterpret_cast<HLOCAL>(mPassword ? 0 : Original(EM_GETHANDLE, 0, 0));
    if (buffer == nullptr) {
        return;
    }
    if (auto* characters = static_cast<wchar_t*>(LocalLock(buffer))) {
        const std::size_t size = LocalSize(buffer) / sizeof(wchar_t);
        if (keep < size) {
            SecureZeroMemory(characters + keep, (size - keep) * sizeof(wchar_t));
        }
        LocalUnlock(buffer);
    }
}

std::int32_t EditLine::CharacterAt(LPARAM lParam) const {
    return LOWORD(Original(EM_CHARFROMPOS, 0, lParam));
}

// Read and written past the filter above, which only keeps other threads out.
SecretText EditLine::Text() const {
    const auto length = static_cast<std::size_t>(Original(WM_GETTEXTLENGTH, 0, 0));
    SecretText text(length + 1, u'\0');
    const auto copied =
        static_cast<std::size_t>(Original(WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

void EditLine::OfferCopy(const SecretText& text) {
    if (mClipboard.Offer(text)) {
        mCopyExpiry->SetEnabled(false); // a new copy has the whole time again
        mCopyExpiry->SetEnabled(true);
    }
}

void EditLine::WithdrawCopy() {
    mCopyExpiry->SetEnabled(false);
    mClipboard.Withdraw();
}

// Writing the text puts the caret at the start, as the original text box does.
void EditLine::SetText(const SecretText& text) {
    if (text.empty()) {
        mClipboard.Withdraw(); // "Clear" and masking empty the line
    }
    Edited(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Original(EM_SETSEL, 0, 0);
}

void EditLine::Selection(DWORD& start, DWORD& end) const {
    Original(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
}

std::int16_t EditLine::SelStart() const {
    DWORD start = 0;
    DWORD end = 0;
    Selection(start, end);
    return ToInt16(std::min(start, end));
}

void EditLine::SetSelStart(std::int16_t start) {
    const auto length = static_cast<int>(Original(WM_GETTEXTLENGTH, 0, 0));
    const int at = std::clamp<int>(start, 0, length);
    Original(EM_SETSEL, static_cast<WPARAM>(at), at);
}

std::int16_t EditLine::SelLength() const {
    DWORD start = 0;
    DWORD end = 0;
    Selection(start, end);
    return ToInt16(start > end ? start - end : end - start);
}

void EditLine::SetSelLength(std::int16_t length) {
    const int start = SelStart();
    const auto size = static_cast<int>(Original(WM_GETTEXTLENGTH, 0, 0));
    Original(EM_SETSEL, static_cast<WPARAM>(start), start + std::clamp<int>(length, 0, size - start));
}

std::u16string EditLine::PasswordChar() const { return Original(EM_GETPASSWORDCHAR, 0, 0) == 0 ? u"" : u"*"; }

void EditLine::SetPasswordChar(const std::u16string& passwordChar) {
    Original(EM_SETPASSWORDCHAR, passwordChar.empty() ? 0 : '*', 0);
    InvalidateRect(Window(), nullptr, TRUE);
}

} // namespace mirvane
