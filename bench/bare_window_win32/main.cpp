// The yardstick for mirvane.exe's start-up and memory: a bare Win32 window with the same
// controls (a menu bar, a common-controls toolbar of 13 buttons, 65 push buttons, a password
// line, a text box and a hidden status bar) and nothing else.

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace {
constexpr int kButtonCount = 65;
constexpr int kToolbarButtonCount = 13;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HMENU MenuBar() {
    HMENU bar = CreateMenu();
    UINT id = 1000;
    for (const wchar_t* title :
         {L"&File", L"&Mouse Mode", L"&Keyboard Mode", L"&View", L"&Options", L"&Help"}) {
        HMENU menu = CreatePopupMenu();
        for (int item = 0; item < 4; ++item) {
            AppendMenuW(menu, MF_STRING | MF_UNCHECKED, id++, (L"Item " + std::to_wstring(item)).c_str());
        }
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), title);
    }
    return bar;
}

struct Place {
    int left, top, width, height;
};

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD extendedStyle,
           Place at, int id, HFONT font) {
    HWND child = CreateWindowExW(extendedStyle, className, text, WS_CHILD | style, at.left, at.top, at.width,
                                 at.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void AddToolbar(HWND parent, int width) {
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                       CCS_NODIVIDER,
                                   0, 0, width, 28, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The common controls' own small images, so the buttons draw pictures as a real toolbar does.
    SendMessageW(toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    TBBUTTON buttons[kToolbarButtonCount]{};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = 2000 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_CHECK;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, kToolbarButtonCount, reinterpret_cast<LPARAM>(buttons));
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) /* IDC_ARROW */;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    RECT frame{0, 0, 653, 376};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    HWND window = CreateWindowExW(0, L"BareWindow", L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  MenuBar(), instance, nullptr);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    AddToolbar(window, 653);
    for (int number = 0; number < kButtonCount; ++number) {
        Child(window, L"BUTTON", std::to_wstring(number).c_str(), WS_VISIBLE | BS_PUSHBUTTON, 0,
              {24 + (number % 15) * 40, 40 + (number / 15) * 44, 40, 40}, 3000 + number, font);
    }
    Child(window, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_PASSWORD,
          WS_EX_CLIENTEDGE, {24, 272, 233, 65}, 101, font);
    Child(window, L"EDIT", L"",
          WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
              ES_WANTRETURN | WS_VSCROLL,
          WS_EX_CLIENTEDGE, {264, 272, 297, 65}, 102, font);
    Child(window, STATUSCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN, 0, {0, 351, 653, 25}, 103, font);

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    return static_cast<int>(message.wParam);
}
