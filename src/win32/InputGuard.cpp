#include "InputGuard.h"

#include "platform/win32/Win32Keyboard.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace mirvane {

namespace {
thread_local InputGuard* tGuard = nullptr;

enum class Kind {
    Free,      // changes nothing that matters
    Input,     // the pointer and the keys: a device must have made it
    Character, // only as the translation of the person's key-down
    Command,   // posted, only as the menu's own choice
    Control,   // never from another program, posted or sent
};

struct GuardedRange {
    UINT first;
    UINT last;
    Kind kind;
};

// Every message that can change what the window shows, holds or gives away, by kind.
constexpr GuardedRange kGuarded[] = {
    {WM_SETFOCUS, WM_KILLFOCUS, Kind::Control},
    {WM_GETMINMAXINFO, WM_GETMINMAXINFO, Kind::Control}, // and other pointers into another process
    {WM_ACTIVATE, WM_ACTIVATE, Kind::Control},
    {WM_SETTEXT, WM_SETTEXT, Kind::Control},
    {WM_SETHOTKEY, WM_SETHOTKEY, Kind::Control},
    {WM_DRAWITEM, WM_CHARTOITEM, Kind::Control}, // the keys' drawing, with a pointer into this process
    {WM_COMPAREITEM, WM_COMPAREITEM, Kind::Control},
    {WM_NOTIFY, WM_NOTIFY, Kind::Control},
    {WM_CONTEXTMENU, WM_CONTEXTMENU, Kind::Control},
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, Kind::Input},
    {EM_GETSEL, 0x00FF, Kind::Control}, // the lines' and keys' own messages (EM_, BM_)
    {WM_KEYDOWN, WM_KEYUP, Kind::Input},
    {WM_CHAR, WM_DEADCHAR, Kind::Character},
    {WM_SYSKEYDOWN, WM_SYSKEYUP, Kind::Input},
    {WM_SYSCHAR, WM_SYSDEADCHAR, Kind::Character},
    {WM_UNICHAR, WM_UNICHAR, Kind::Character},
    {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, Kind::Character},
    {WM_COMMAND, WM_COMMAND, Kind::Command},
    {WM_SYSCOMMAND, WM_SYSCOMMAND, Kind::Control},
    {WM_INITMENU, WM_INITMENUPOPUP, Kind::Control},
    {WM_MENUSELECT, WM_MENUCHAR, Kind::Control},
    {WM_MENUCOMMAND, WM_MENUCOMMAND, Kind::Command},
    {WM_MOUSEFIRST, WM_MOUSELAST, Kind::Input},
    {WM_ENTERMENULOOP, WM_EXITMENULOOP, Kind::Control},
    {WM_CAPTURECHANGED, WM_CAPTURECHANGED, Kind::Control},
    {WM_DROPFILES, WM_DROPFILES, Kind::Control},
    {WM_IME_SETCONTEXT, WM_IME_KEYUP, Kind::Character},
    {WM_CUT, WM_UNDO, Kind::Control},
    {WM_HOTKEY, WM_HOTKEY, Kind::Control},
    {WM_DPICHANGED, WM_DPICHANGED, Kind::Control},
    {WM_APPCOMMAND, WM_APPCOMMAND, Kind::Control},
    {WM_USER, 0x7FFF, Kind::Control}, // the toolbar's and the other controls' own messages
};

// What another program may still ask the controls: where they are and how they look, which
// any window shows anyway, but no text and no change.
constexpr UINT kQueries[] = {EM_GETSEL,
                             EM_GETRECT,
                             EM_GETMODIFY,
                             EM_GETLINECOUNT,
                             EM_LINEINDEX,
                             EM_LINELENGTH,
                             EM_GETFIRSTVISIBLELINE,
                             EM_GETPASSWORDCHAR,
                             EM_GETMARGINS,
                             EM_GETLIMITTEXT,
                             BM_GETCHECK,
                             BM_GETSTATE,
                             BM_GETIMAGE,
                             TB_ISBUTTONENABLED,
                             TB_ISBUTTONCHECKED,
                             TB_ISBUTTONPRESSED,
                             TB_ISBUTTONHIDDEN,
                             TB_GETSTATE,
                             TB_GETBUTTON,
                             TB_BUTTONCOUNT,
                             TB_COMMANDTOINDEX,
                             TB_GETITEMRECT,
                             TB_GETTOOLTIPS,
                             TB_GETRECT,
                             TB_GETBUTTONSIZE};

Kind KindOf(UINT message) {
    if (std::find(std::begin(kQueries), std::end(kQueries), message) != std::end(kQueries)) {
        return Kind::Free;
    }
    for (const GuardedRange& range : kGuarded) {
        if (message >= range.first && message <= range.last) {
            return range.kind;
        }
    }
    return Kind::Free;
}

// What the taskbar and the system ask of any window from their own threads.
bool SystemWindowCommand(WPARAM wParam) {
    const WPARAM command = wParam & 0xFFF0;
    return command == SC_CLOSE || command == SC_MINIMIZE || command == SC_RESTORE;
}

bool SentFromAnotherThread() {
    return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK)) != 0;
}

bool IsKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
} // namespace

InputGuard::InputGuard(HWND window) : mWindow(window) {
    tGuard = this;
    mHook = SetWindowsHookExW(WH_GETMESSAGE, &InputGuard::Retrieved, nullptr, GetCurrentThreadId());
}

InputGuard::~InputGuard() {
    if (mHook != nullptr) {
        UnhookWindowsHookEx(mHook);
    }
    tGuard = nullptr;
}

bool InputGuard::RefusesSent(UINT message, WPARAM wParam) {
    if (!SentFromAnotherThread()) {
        return false;
    }
    const Kind kind = KindOf(message);
    return kind != Kind::Free && !(message == WM_SYSCOMMAND && SystemWindowCommand(wParam));
}

void InputGuard::KeepsPlace(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!SentFromAnotherThread()) {
        return;
    }
    if (message == WM_WINDOWPOSCHANGING) {
        auto& place = *reinterpret_cast<WINDOWPOS*>(lParam);
        place.flags |= SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        place.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED);
    } else if (message == WM_STYLECHANGED) {
        // Undone, not refused on WM_STYLECHANGING: Wine does not take back a changed request
        // from another thread.
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        const auto& styles = *reinterpret_cast<const STYLESTRUCT*>(lParam);
        if (styles.styleNew != styles.styleOld) {
            SetWindowLongPtrW(window, index, static_cast<LONG_PTR>(styles.styleOld));
        }
    }
}

void InputGuard::MenuSelected(WPARAM wParam, LPARAM lParam) {
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        return; // the menu closes: the highlight it had is the choice, if there was one
    }
    mHighlighted = (flags & MF_POPUP) != 0 ? 0 : LOWORD(wParam);
}

void InputGuard::Deliver(const MSG& message) {
    wchar_t characters[8] = {};
    int count = 0;
    if (IsKeyDown(message.message)) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        // Alt alone changes no character (Alt+F is "f" for the menu); with Ctrl it is AltGr.
        if ((state[VK_CONTROL] & 0x80) == 0) {
            state[VK_MENU] = state[VK_LMENU] = state[VK_RMENU] = 0;
        }
        count = ToUnicode(static_cast<UINT>(message.wParam), static_cast<UINT>((message.lParam >> 16) & 0xFF),
                          state, characters, static_cast<int>(std::size(characters)), 0);
    }
    DispatchMessageW(&message);
    if (tGuard != nullptr) {
        tGuard->mTranslating = false; // its characters come from here, none from the queue
    }
    const bool system = message.message == WM_SYSKEYDOWN;
    MSG character = message;
    if (count < 0) {
        character.message = system ? WM_SYSDEADCHAR : WM_DEADCHAR;
        character.wParam = characters[0];
        DispatchMessageW(&character);
    }
    for (int i = 0; i < count && i < static_cast<int>(std::size(characters)); ++i) {
        character.message = system ? WM_SYSCHAR : WM_CHAR;
        character.wParam = characters[i];
        DispatchMessageW(&character);
    }
}

bool InputGuard::Ours(HWND window) const { return window == mWindow || IsChild(mWindow, window) != FALSE; }

LRESULT CALLBACK InputGuard::Retrieved(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && tGuard != nullptr) {
        auto& retrieved = *reinterpret_cast<MSG*>(message);
        // A menu's loop acts on the message it peeked before removing it: both are judged.
        if (!tGuard->Admit(retrieved, (removal & PM_REMOVE) != 0)) {
            retrieved.message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

// The menu's own WM_COMMAND is the first posted message after its loop; whatever comes first
// ends the wait, so that a choice abandoned with Escape admits nothing later.
bool InputGuard::Admit(const MSG& message, bool remove) {
    const UINT chosen = remove ? std::exchange(mChosen, 0U) : mChosen;
    const Kind kind = KindOf(message.message);
    if (kind == Kind::Input) {
        INPUT_MESSAGE_SOURCE source{};
        GetCurrentInputMessageSource(&source);
        const bool down = IsKeyDown(message.message);
        const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
        const bool menusOwnKey = mMenuOpening && source.originId == IMO_UNAVAILABLE && down &&
                                 message.lParam == 0 && (message.wParam == VK_RETURN || message.wParam == VK_DOWN);
        const bool admitted =
            source.originId == IMO_HARDWARE || source.originId == IMO_SYSTEM || menusOwnKey ||
            (source.originId == IMO_INJECTED && source.deviceType == IMDT_KEYBOARD && (down || up) && !mInMenu &&
             win32::OwnInjectedKey(static_cast<std::uint8_t>(message.wParam), up, remove));
        // Only that key or the person's next press ends the wait for it: a key-up, or a noise key
        // refused on its way, may come first, and the menu would never open its first item.
        mMenuOpening = mMenuOpening && !(remove && (menusOwnKey || (admitted && down)));
        if (remove && (down || up)) {
            mTranslating = admitted && down;
            mTranslatedWindow = message.hwnd;
            mTranslatedKey = message.lParam;
        }
        return admitted;
    }
    if (kind == Kind::Character) {
        return mTranslating && message.hwnd == mTranslatedWindow && message.lParam == mTranslatedKey;
    }
    if (kind == Kind::Free || !Ours(message.hwnd)) {
        return true;
    }
    if (kind == Kind::Command) {
        return chosen != 0 && message.lParam == 0 && HIWORD(message.wParam) == 0 &&
               LOWORD(message.wParam) == chosen;
    }
    // Closing asked by the window manager or the taskbar loses the password, but gives nothing away.
    return message.message == WM_SYSCOMMAND && (message.wParam & 0xFFF0) == SC_CLOSE;
}

} // namespace mirvane
