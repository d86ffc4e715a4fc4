#include "EditLine.h"
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
    }
    SetWindowLongPtrW(Window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    mOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditLine::Subclassed)));
}

LRESULT CALLBACK EditLine::Subclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* line = reinterpret_cast<EditLine*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return line->Handle(message, wParam, lParam);
}

LRESULT EditLine::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
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
        if (!mPassword && !InSendMessage()) {
            CopySelection(message == WM_CUT);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kCopyExpiryTimer) {
            KillTimer(Window(), kCopyExpiryTimer);
            mClipboard.Withdraw();
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
        if (mEvents != nullptr) {
            mEvents->LineKeyDown(*this, keyCode, ShiftMask());
        }
        mSwallowCharacter = keyCode == 0;
        if (keyCode == 0) {
            return 0;
        }
        break;
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
                   : Original(message, static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii)), lParam);
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
        const LRESULT result = Original(message, wParam, lParam);
        if (mEvents != nullptr) {
            mEvents->LineMouseMove(*this, ButtonsHeld(wParam), ShiftMask());
        }
        return result;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
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
    default:
        break;
    }
    return Original(message, wParam, lParam);
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

void EditLine::CopySelection(bool cut) {
    DWORD start = 0;
    DWORD end = 0;
    Selection(start, end);
    const SecretText text = Text();
    if (end <= start || end > text.size()) {
        return;
    }
    if (mClipboard.Offer(text.substr(start, end - start))) {
        SetTimer(Window(), kCopyExpiryTimer, kCopyLifetimeMs, nullptr);
    }
    if (cut) {
        Original(WM_CLEAR, 0, 0);
    }
}

// Writing the text puts the caret at the start, as the original text box does.
void EditLine::SetText(const SecretText& text) {
    if (text.empty()) {
        mClipboard.Withdraw(); // "Clear" and masking empty the line
    }
    Original(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
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
