// Another program of the same user, trying to read or change what Mirvane holds without the
// pointer or the keyboard. One road per run; then it waits until Mirvane has handled all it
// was given and prints what it sees: "window", "masked", "length", "menu", "topmost" and
// "passwordchar" lines with a number each, and a "text SOURCE TEXT" line for each text read.
//   toolbar X Y | accelerator | menu-keys MENU ITEM | menu-select ID | command ID | read | copy
//   | paste TEXT | drag | key ID post|send click|press | char post|send TEXT | password-char CODE
//   | notify | raise | state
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <windows.h>

#include <commctrl.h>

namespace {

constexpr int kPasswordLine = 101;
constexpr int kPlainLine = 102;

std::string Utf8(const wchar_t* text) {
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text) {
    wchar_t out[1024] = {};
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 1023);
    return out;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr) {
    DWORD_PTR result = 0;
    const bool ok =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    if (answered != nullptr) {
        *answered = ok;
    }
    return static_cast<LRESULT>(result);
}

void Deliver(bool sent, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sent ? static_cast<void>(Send(window, message, wParam, lParam))
         : static_cast<void>(PostMessageW(window, message, wParam, lParam));
}

// Posted messages are handled in turn, and each sent one is answered at the thread's next look
// at its queue, whatever loop (a menu's, a drag's) looks: a round of them outlasts the posted.
bool Settle(HWND window) {
    bool answered = true;
    for (int round = 0; round < 40 && answered; ++round) {
        Send(window, WM_NULL, 0, 0, &answered);
    }
    return answered;
}

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

bool InMenu(HWND window) { return (ThreadInfo(window).flags & GUI_INMENUMODE) != 0; }

void Clipboard(const std::wstring* put) {
    if (!OpenClipboard(nullptr)) {
        return;
    }
    if (put != nullptr) {
        EmptyClipboard();
        const std::size_t bytes = (put->size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), put->c_str(), bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    } else if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            std::printf("text clipboard %s\n", Utf8(text).c_str());
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}

void Report(HWND window) {
    const bool alive = IsWindow(window) && Settle(window);
    std::printf("window %d\n", alive ? 1 : 0);
    if (alive) {
        HWND password = GetDlgItem(window, kPasswordLine);
        const bool masked = IsWindowVisible(password) && !IsWindowVisible(GetDlgItem(window, kPlainLine));
        std::printf("masked %d\nlength %ld\nmenu %d\ntopmost %d\npasswordchar %ld\n", masked ? 1 : 0,
                    static_cast<long>(
                        Send(GetDlgItem(window, masked ? kPasswordLine : kPlainLine), EM_LINELENGTH, 0, 0)),
                    InMenu(window) ? 1 : 0,
                    (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? 1 : 0,
                    static_cast<long>(Send(password, EM_GETPASSWORDCHAR, 0, 0)));
    }
    Clipboard(nullptr);
}

// The toolbar sends the command of a button it saw pressed and released, from Mirvane's thread.
void Toolbar(HWND window, int x, int y) {
    HWND toolbar = FindWindowExW(window, nullptr, TOOLBARCLASSNAMEW, nullptr);
    POINT at{x, y};
    ScreenToClient(toolbar, &at);
    PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Attached, the two threads share one key state, which Mirvane's accelerators read.
void Accelerator(HWND window) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // a queue of our own to attach
    const DWORD own = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
    if (!AttachThreadInput(own, theirs, TRUE)) {
        return;
    }
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    HWND focus = GetFocus() != nullptr ? GetFocus() : GetDlgItem(window, kPasswordLine);
    PostMessageW(focus, WM_KEYDOWN, 'M', 0x00320001);
    Settle(window);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0; // nothing this program holds is left down
    SetKeyboardState(keys);
    AttachThreadInput(own, theirs, FALSE);
}

void MenuKeys(HWND window, wchar_t menu, wchar_t item) {
    constexpr LPARAM kAltHeld = 0x20000000;
    PostMessageW(window, WM_SYSKEYDOWN, VK_MENU, kAltHeld | 0x00380001);
    PostMessageW(window, WM_SYSCHAR, menu, kAltHeld | 1);
    Settle(window);
    if (!InMenu(window)) {
        PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, menu);
        Settle(window);
    }
    // The letter alone: the menu posts its choice, and nothing of ours may come before it.
    PostMessageW(window, WM_CHAR, item, 1);
    Settle(window);
    for (int tries = 0; tries < 3 && InMenu(window); ++tries) { // leave no menu open behind us
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        Settle(window);
    }
}

void Read(HWND window) {
    for (int id : {kPasswordLine, kPlainLine}) {
        HWND line = GetDlgItem(window, id);
        for (const char* how : {"gettext", "getline", "windowtext"}) {
            wchar_t text[1024] = {1000}; // EM_GETLINE finds the buffer's size in its first word
            const std::string source = how;
            if (source == "windowtext") {
                InternalGetWindowText(line, text, 1024);
            } else {
                const LRESULT copied = source == "gettext"
                                           ? Send(line, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text))
                                           : Send(line, EM_GETLINE, 0, reinterpret_cast<LPARAM>(text));
                text[copied > 0 && copied < 1024 ? copied : 0] = L'\0';
            }
            std::printf("text %s-%d %s\n", how, id, Utf8(text).c_str());
        }
    }
}

void Drag(HWND window) {
    HWND line = GetDlgItem(window, kPasswordLine);
    RECT client{};
    GetClientRect(line, &client);
    const LPARAM at = MAKELPARAM(4, client.bottom / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}) {
        PostMessageW(line, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    for (int step = 1; step <= 3; ++step) {
        PostMessageW(line, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4 + 6 * step, client.bottom / 2));
    }
    Settle(window);
    // A drag runs a loop of its own, and it is over once nothing holds the pointer.
    for (int wait = 0; wait < 100 && ThreadInfo(window).hwndCapture != nullptr; ++wait) {
        Sleep(20);
    }
}

void Road(HWND window, const std::string& road, int argc, char** argv) {
    const auto number = [&](int index) { return argc > index ? std::atoi(argv[index]) : 0; };
    const bool sent = argc > 3 && std::string(argv[3]) == "send";
    HWND plain = GetDlgItem(window, kPlainLine);
    if (road == "toolbar") {
        Toolbar(window, number(2), number(3));
    } else if (road == "accelerator") {
        Accelerator(window);
    } else if (road == "menu-keys" && argc > 3) {
        MenuKeys(window, static_cast<wchar_t>(argv[2][0]), static_cast<wchar_t>(argv[3][0]));
    } else if (road == "menu-select") { // taken for the menu's own choice as its loop ends
        Send(window, WM_MENUSELECT, MAKEWPARAM(number(2), MF_HILITE),
             reinterpret_cast<LPARAM>(GetMenu(window)));
        Send(window, WM_EXITMENULOOP, FALSE, 0);
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(number(2)), 0);
    } else if (road == "command") {
        Send(window, WM_COMMAND, static_cast<WPARAM>(number(2)), 0);
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(number(2)), 0);
    } else if (road == "read") {
        Read(window);
    } else if (road == "copy" || (road == "paste" && argc > 2)) {
        if (road == "paste") {
            const std::wstring text = Wide(argv[2]);
            Clipboard(&text);
        }
        Send(plain, EM_SETSEL, 0, -1);
        PostMessageW(plain, WM_CHAR, road == "copy" ? 0x03 : 0x16, 1); // Ctrl+C, Ctrl+V
    } else if (road == "drag") {
        Drag(window);
    } else if (road == "key" && argc > 4) {
        HWND key = GetDlgItem(window, number(2));
        if (std::string(argv[4]) == "press") {
            Deliver(sent, key, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            Deliver(sent, key, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        } else {
            Deliver(sent, key, BM_CLICK, 0, 0);
        }
    } else if (road == "char" && argc > 3) {
        for (wchar_t c : Wide(argv[3])) {
            Deliver(std::string(argv[2]) == "send", GetDlgItem(window, kPasswordLine), WM_CHAR, c, 1);
        }
    } else if (road == "password-char") {
        Send(GetDlgItem(window, kPasswordLine), EM_SETPASSWORDCHAR, static_cast<WPARAM>(number(2)), 0);
    } else if (road == "notify") { // pointers no page stands behind, by every road there is
        for (LPARAM nowhere : {static_cast<LPARAM>(0x10), static_cast<LPARAM>(0x7ff0dead0000)}) {
            Send(window, WM_NOTIFY, 0, nowhere);
            PostMessageW(window, WM_NOTIFY, 0, nowhere);
            SendNotifyMessageW(window, WM_NOTIFY, 0, nowhere);
        }
    } else if (road == "raise") {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Settle(window);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

} // namespace

int main(int argc, char** argv) {
    HWND window = FindWindowW(L"MirvaneKeyboard", nullptr);
    if (window == nullptr || argc < 2) {
        std::fprintf(stderr, "no main window, or no road\n");
        return 2;
    }
    Road(window, argv[1], argc, argv);
    Report(window);
    std::fflush(stdout);
    return 0;
}
