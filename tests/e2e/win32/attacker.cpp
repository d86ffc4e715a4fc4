// Another program of the same user, trying one road per run (see Road) to read or change what
// Mirvane holds without the pointer or the keyboard. Once Mirvane has handled all it was given, it
// prints "NAME NUMBER" lines of what it sees, and "text SOURCE TEXT" for each text read.
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

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
}

// Posted messages are handled in turn, and each sent one is answered at the thread's next look
// at its queue, whatever loop (a menu's, a drag's) looks: a round of them outlasts the posted.
bool Settle(HWND window) {
    int round = 0;
    while (round < 40 && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr) != 0) {
        ++round;
    }
    return round == 40;
}

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info{sizeof(info), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

bool InMenu(HWND window) { return (ThreadInfo(window).flags & GUI_INMENUMODE) != 0; }

void Report(HWND window) {
    const bool alive = IsWindow(window) && Settle(window);
    std::printf("window %d\n", alive ? 1 : 0);
    if (alive) {
        HWND password = GetDlgItem(window, kPasswordLine);
        const bool masked = IsWindowVisible(password) && !IsWindowVisible(GetDlgItem(window, kPlainLine));
        std::printf("masked %d\nlength %ld\nmenu %d\ntopmost %d\npasswordchar %ld\n", masked,
                    static_cast<long>(
                        Send(GetDlgItem(window, masked ? kPasswordLine : kPlainLine), EM_LINELENGTH, 0, 0)),
                    InMenu(window), (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? 1 : 0,
                    static_cast<long>(Send(password, EM_GETPASSWORDCHAR, 0, 0)));
    }
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            std::printf("text clipboard %s\n", Utf8(static_cast<const wchar_t*>(GlobalLock(data))).c_str());
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
}

void Road(HWND window, const std::string& road, int argc, char** argv) {
    const auto number = [&](int index) { return argc > index ? std::atoi(argv[index]) : 0; };
    const auto both = [](HWND to, UINT message, WPARAM wParam, LPARAM lParam) { // sent, then posted
        Send(to, message, wParam, lParam);
        PostMessageW(to, message, wParam, lParam);
    };
    HWND password = GetDlgItem(window, kPasswordLine), plain = GetDlgItem(window, kPlainLine);
    if (road == "toolbar") { // the toolbar sends the command of a button it saw pressed and released
        HWND toolbar = FindWindowExW(window, nullptr, TOOLBARCLASSNAMEW, nullptr);
        POINT at{number(2), number(3)};
        ScreenToClient(toolbar, &at);
        PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    } else if (road == "accelerator") { // attached, the threads share the key state accelerators read
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // a queue of our own to attach
        const DWORD own = GetCurrentThreadId(), theirs = GetWindowThreadProcessId(window, nullptr);
        if (!AttachThreadInput(own, theirs, TRUE)) {
            return;
        }
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(GetFocus() != nullptr ? GetFocus() : GetDlgItem(window, kPasswordLine), WM_KEYDOWN, 'M',
                     0x00320001);
        Settle(window);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0; // nothing this program holds is left down
        SetKeyboardState(keys);
        AttachThreadInput(own, theirs, FALSE);
    } else if (road == "menu-keys" && argc > 3) {
        const auto menu = static_cast<WPARAM>(argv[2][0]);
        constexpr LPARAM kAltHeld = 0x20000000;
        PostMessageW(window, WM_SYSKEYDOWN, VK_MENU, kAltHeld | 0x00380001);
        PostMessageW(window, WM_SYSCHAR, menu, kAltHeld | 1);
        Settle(window);
        if (!InMenu(window)) {
            PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(menu));
            Settle(window);
        }
        // The letter alone: the menu posts its choice, and nothing of ours may come before it.
        PostMessageW(window, WM_CHAR, static_cast<WPARAM>(argv[3][0]), 1);
        Settle(window);
        for (int tries = 0; tries < 3 && InMenu(window); ++tries) { // leave no menu open behind us
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            Settle(window);
        }
    } else if (road == "menu-select") { // taken for the menu's own choice as its loop ends
        Send(window, WM_MENUSELECT, MAKEWPARAM(number(2), MF_HILITE),
             reinterpret_cast<LPARAM>(GetMenu(window)));
        Send(window, WM_EXITMENULOOP, FALSE, 0);
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(number(2)), 0);
    } else if (road == "read") { // EM_GETLINE finds the buffer's size in its first word
        for (HWND line : {password, plain}) {
            wchar_t text[1024] = {1000};
            const LRESULT copied = Send(line, EM_GETLINE, 0, reinterpret_cast<LPARAM>(text));
            text[copied > 0 && copied < 1024 ? copied : 0] = L'\0';
            std::printf("text getline-%d %s\n", GetDlgCtrlID(line), Utf8(text).c_str());
        }
    } else if (road == "copy" || road == "paste") {
        if (road == "paste" && argc > 2 && OpenClipboard(nullptr)) {
            const std::wstring text(argv[2], argv[2] + std::strlen(argv[2])); // ASCII
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
            std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            EmptyClipboard();
            SetClipboardData(CF_UNICODETEXT, memory);
            CloseClipboard();
        }
        Send(plain, EM_SETSEL, 0, -1);
        PostMessageW(plain, WM_CHAR, road == "copy" ? 0x03 : 0x16, 1); // Ctrl+C, Ctrl+V
    } else if (road == "drag") {
        RECT client{};
        GetClientRect(password, &client);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}) {
            PostMessageW(password, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                         MAKELPARAM(4, client.bottom / 2));
        }
        for (int step = 1; step <= 3; ++step) {
            PostMessageW(password, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4 + 6 * step, client.bottom / 2));
        }
        Settle(window);
        // A drag runs a loop of its own, and it is over once nothing holds the pointer.
        for (int wait = 0; wait < 100 && ThreadInfo(window).hwndCapture != nullptr; ++wait) {
            Sleep(20);
        }
    } else if (road == "key") { // clicked and pressed
        HWND key = GetDlgItem(window, number(2));
        both(key, BM_CLICK, 0, 0);
        both(key, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        both(key, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    } else if (road == "char" && argc > 2) {
        for (const char* c = argv[2]; *c != '\0'; ++c) { // ASCII
            both(password, WM_CHAR, static_cast<WPARAM>(*c), 1);
        }
    } else if (road == "password-char") {
        Send(password, EM_SETPASSWORDCHAR, static_cast<WPARAM>(number(2)), 0);
    } else if (road == "notify") { // pointers no page stands behind, by every road there is
        for (LPARAM nowhere : {static_cast<LPARAM>(0x10), static_cast<LPARAM>(0x7ff0dead0000)}) {
            both(window, WM_NOTIFY, 0, nowhere);
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
}
