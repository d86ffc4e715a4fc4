// Looks at Mirvane's main window from another program, as an attacker on the same desktop
// would: what its controls show and give, and whether messages sent to it drive it.
//   probe controls            one line per child: kind id visible x y width height style text
//   probe faces               "window" x y width height of the main window, then one line per
//                             visible key, read off the screen as a screen recorder sees it:
//                             "face" id x y width height and a hash of the pixels of its
//                             caption, "-" for a face with none
//   probe command ID          sends, then posts, WM_COMMAND ID to the main window
//   probe state               "window", the main window's extended style, style and client
//                             area (x y width height on the screen), then one line
//                             per toolbar button: "button" command-id state x y width height
//   probe length ID           the length of the line with that id
//   probe dialog TITLE        one line per child of the dialog of that title: kind id ... text
//   probe paste               puts "PASTED" on the clipboard and sends and posts every paste
//                             road to both lines
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <windows.h>

#include <commctrl.h>

namespace {
HWND MainWindow() { return FindWindowW(L"MirvaneKeyboard", nullptr); }

std::string Utf8(const wchar_t* text) {
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    wchar_t kind[64] = {};
    GetClassNameW(child, kind, 64);
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        &length);
    text[length < 1024 ? length : 1023] = L'\0';
    if (text[0] == L'\0') { // the text the window system keeps, without asking the window
        InternalGetWindowText(child, text, 1024);
    }
    RECT box{};
    GetWindowRect(child, &box);
    std::printf("%s %d %d %ld %ld %ld %ld %lx %s\n", Utf8(kind).c_str(), GetDlgCtrlID(child),
                IsWindowVisible(child) ? 1 : 0, box.left, box.top, box.right - box.left, box.bottom - box.top,
                static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)), Utf8(text).c_str());
    return TRUE;
}

// The caption's pixels: those inside the key's edge that differ from its face, cut to their
// bounding box, so that a caption hashes the same on keys of any size and place.
std::string FaceHash(HDC screen, const RECT& box) {
    const int width = box.right - box.left, height = box.bottom - box.top, inset = 3;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const unsigned*>(bits);
    const auto at = [&](int x, int y) { return pixels[y * width + x] & 0xFFFFFFu; };
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = inset; y < height - inset; ++y) {
        for (int x = inset; x < width - inset; ++x) {
            if (at(x, y) != at(inset, inset)) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
        }
    }
    unsigned long long hash = 14695981039346656037ull; // FNV-1a over the box's size and pixels
    const auto mix = [&](unsigned value) {
        for (int i = 0; i < 4; ++i, value >>= 8) {
            hash = (hash ^ (value & 0xFFu)) * 1099511628211ull;
        }
    };
    mix(static_cast<unsigned>(right - left));
    mix(static_cast<unsigned>(bottom - top));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            mix(at(x, y));
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    char out[32] = "-";
    if (right >= 0) {
        std::snprintf(out, sizeof out, "%016llx", hash);
    }
    return out;
}

BOOL CALLBACK PrintFace(HWND child, LPARAM screen) {
    const int id = GetDlgCtrlID(child);
    RECT box{};
    GetWindowRect(child, &box);
    if (id > 3000 && id <= 3065 && IsWindowVisible(child) && box.right - box.left > 6 &&
        box.bottom - box.top > 6) {
        std::printf("face %d %ld %ld %ld %ld %s\n", id, box.left, box.top, box.right - box.left,
                    box.bottom - box.top, FaceHash(reinterpret_cast<HDC>(screen), box).c_str());
    }
    return TRUE;
}

void PrintState(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("window %lx %lx %ld %ld %ld %ld\n",
                static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)), client.left, client.top,
                client.right - client.left, client.bottom - client.top);
    // A plain-value message needs no memory shared between the processes; a button's place
    // is written into a page of the other process, as any program of the same user may.
    HWND toolbar = FindWindowExW(window, nullptr, TOOLBARCLASSNAMEW, nullptr);
    DWORD process = 0;
    GetWindowThreadProcessId(toolbar, &process);
    HANDLE handle = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, process);
    void* page = handle != nullptr ? VirtualAllocEx(handle, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)
                                   : nullptr;
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0, id = 2000; i < count; ++i, ++id) {
        const LRESULT state = SendMessageW(toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
        RECT box{};
        if (state == -1 || page == nullptr ||
            SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(page)) ==
                0 ||
            ReadProcessMemory(handle, page, &box, sizeof(box), nullptr) == 0) {
            continue;
        }
        MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&box), 2);
        std::printf("button %d %ld %ld %ld %ld %ld\n", id, static_cast<long>(state), box.left, box.top,
                    box.right - box.left, box.bottom - box.top);
    }
    if (page != nullptr) {
        VirtualFreeEx(handle, page, 0, MEM_RELEASE);
    }
    if (handle != nullptr) {
        CloseHandle(handle);
    }
}

void Paste(HWND window) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"PASTED"));
        std::memcpy(GlobalLock(memory), L"PASTED", sizeof(L"PASTED"));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }
    for (int id : {101, 102}) {
        HWND line = GetDlgItem(window, id);
        for (UINT message : {WM_PASTE, EM_UNDO, WM_UNDO}) {
            SendMessageW(line, message, 0, 0);
            PostMessageW(line, message, 0, 0);
        }
        SendMessageW(line, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"REPLACED"));
        SendMessageW(line, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"SET"));
    }
}
} // namespace

int main(int argc, char** argv) {
    HWND window = MainWindow();
    if (window == nullptr || argc < 2) {
        std::fprintf(stderr, "no main window, or no command\n");
        return 2;
    }
    const std::string what = argv[1];
    if (what == "controls") {
        EnumChildWindows(window, &PrintChild, 0);
    } else if (what == "faces") {
        RECT frame{};
        GetWindowRect(window, &frame);
        std::printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                    frame.bottom - frame.top);
        HDC screen = GetDC(nullptr);
        EnumChildWindows(window, &PrintFace, reinterpret_cast<LPARAM>(screen));
        ReleaseDC(nullptr, screen);
    } else if (what == "command" && argc > 2) {
        const auto id = static_cast<WPARAM>(std::atoi(argv[2]));
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 2000, &result);
        PostMessageW(window, WM_COMMAND, id, 0);
    } else if (what == "length" && argc > 2) {
        std::printf("%ld\n", static_cast<long>(
                                 SendMessageW(GetDlgItem(window, std::atoi(argv[2])), EM_LINELENGTH, 0, 0)));
    } else if (what == "dialog" && argc > 2) {
        wchar_t title[256] = {};
        MultiByteToWideChar(CP_UTF8, 0, argv[2], -1, title, 255);
        if (HWND dialog = FindWindowW(L"#32770", title)) {
            EnumChildWindows(dialog, &PrintChild, 0);
        }
    } else if (what == "state") {
        PrintState(window);
    } else if (what == "paste") {
        Paste(window);
    } else {
        return 2;
    }
    // What was posted is handled once the window waits for input again.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process)) {
        WaitForInputIdle(handle, 5000);
        CloseHandle(handle);
    }
    std::fflush(stdout);
    return 0;
}
