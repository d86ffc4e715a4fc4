#include "Win32Controls.h"

#include "form/FormDesign.h"
#include "form/ToolbarTable.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace mirvane {

KeyButtonWindow::KeyButtonWindow(int number) : mNumber(number) { PlaceUnmade(RECT{}); }

// Owner-drawn rather than painted here: the BUTTON paints itself on many roads (press, focus,
// hover, enabling, printing), and owner-drawn every one of them ends in Draw.
void KeyButtonWindow::Make(HWND parent, int commandId) {
    const RECT place = Place();
    const DWORD style = WS_CHILD | BS_OWNERDRAW | (Visible() ? WS_VISIBLE : 0) | (mEnabled ? 0 : WS_DISABLED);
    Adopt(CreateWindowExW(0, L"BUTTON", L"", style, place.left, place.top, place.right - place.left,
                          place.bottom - place.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId)), GetModuleHandleW(nullptr),
                          nullptr));
    SetWindowLongPtrW(Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeyButtonWindow::Procedure));
}

// The text stays empty, whoever asks or sets it. The class's own procedure is the BUTTON's,
// whichever common controls made it.
LRESULT CALLBACK KeyButtonWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETTEXT:
        if (wParam > 0 && lParam != 0) {
            reinterpret_cast<wchar_t*>(lParam)[0] = L'\0';
        }
        return 0;
    case WM_GETTEXTLENGTH:
    case WM_SETTEXT:
        return 0;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn BUTTON takes a quick second click for a double-click and presses
        // nothing; on a key it types again.
        message = WM_LBUTTONDOWN;
        break;
    default:
        break;
    }
    return CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)), window, message,
                           wParam, lParam);
}

void KeyButtonWindow::Draw(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    HBRUSH brush = CreateSolidBrush(
        RGB((kKeyFaceColour >> 16) & 0xFF, (kKeyFaceColour >> 8) & 0xFF, kKeyFaceColour & 0xFF));
    FillRect(dc, &face, brush);
    DeleteObject(brush);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (pressed) {
        OffsetRect(&face, 1, 1);
    }
    const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour =
        SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(mCaption.c_str()), -1, &face,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (oldFont != nullptr) {
        SelectObject(dc, oldFont);
    }
}

void KeyButtonWindow::SetCaption(const std::u16string& caption) {
    mCaption = caption;
    if (Window() != nullptr) {
        InvalidateRect(Window(), nullptr, FALSE);
    }
}

void KeyButtonWindow::SetEnabled(bool enabled) {
    mEnabled = enabled;
    if (Window() != nullptr) {
        EnableWindow(Window(), enabled ? TRUE : FALSE);
    }
}

void WindowTimer::SetEnabled(bool enabled) {
    if (enabled && !mEnabled) {
        SetTimer(mWindow, mId, static_cast<UINT>(mInterval), nullptr);
        mNextTick = GetTickCount64() + static_cast<ULONGLONG>(mInterval);
    } else if (!enabled && mEnabled) {
        KillTimer(mWindow, mId);
    }
    mEnabled = enabled;
}

void WindowTimer::SetInterval(std::int32_t milliseconds) {
    if (milliseconds == mInterval) {
        return;
    }
    mInterval = milliseconds;
    if (mEnabled) {
        SetTimer(mWindow, mId, static_cast<UINT>(mInterval), nullptr);
        mNextTick = GetTickCount64() + static_cast<ULONGLONG>(mInterval);
    }
}

bool WindowTimer::Due() {
    constexpr ULONGLONG kSystemTickMs = 16; // a timer may fire up to one tick early
    const ULONGLONG now = GetTickCount64() + kSystemTickMs;
    if (!mEnabled || now < mNextTick) {
        return false;
    }
    // A tick handled late does not move the schedule: the system keeps its own.
    while (mNextTick <= now) {
        mNextTick += static_cast<ULONGLONG>(std::max<std::int32_t>(mInterval, 1));
    }
    return true;
}

ToolbarWindow::ToolbarWindow(HWND parent) {
    Adopt(CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                          WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                              CCS_NODIVIDER,
                          0, 0, 10, 10, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
    SendMessageW(Window(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Under Wine a window put top-most goes in behind the pop-ups it owns, and is then not
    // top-most at all; the tooltips show over the toolbar without an owner.
    if (HWND tips = reinterpret_cast<HWND>(SendMessageW(Window(), TB_GETTOOLTIPS, 0, 0))) {
        SetWindowLongPtrW(tips, GWLP_HWNDPARENT, 0);
    }
    // The drawings, one per button left to right, where the program carries them.
    mImages = ImageList_LoadImageW(GetModuleHandleW(nullptr), L"TOOLBARIMAGES", 16, 0, RGB(255, 0, 255),
                                   IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageW(Window(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(mImages));
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (std::size_t i = 0; i < kToolbarEntries.size(); ++i) {
        const ToolbarEntry& entry = kToolbarEntries[i];
        TBBUTTON button{};
        button.iBitmap = entry.key.empty() ? 0 : mImages != nullptr ? image++ : I_IMAGENONE;
        button.idCommand = entry.key.empty() ? 0 : kFirstCommandId + static_cast<int>(i);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = static_cast<BYTE>(entry.key.empty()  ? BTNS_SEP
                                           : entry.showsState ? BTNS_CHECK
                                                              : BTNS_BUTTON);
        buttons.push_back(button);
    }
    SendMessageW(Window(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

ToolbarWindow::~ToolbarWindow() {
    if (mImages != nullptr) {
        ImageList_Destroy(mImages);
    }
}

std::string_view ToolbarWindow::Tooltip(int commandId) {
    const int index = commandId - kFirstCommandId;
    return index >= 0 && index < static_cast<int>(kToolbarEntries.size())
               ? kToolbarEntries[static_cast<std::size_t>(index)].tooltip
               : std::string_view{};
}

std::string_view ToolbarWindow::KeyOf(int commandId) {
    const int index = commandId - kFirstCommandId;
    return index >= 0 && index < static_cast<int>(kToolbarEntries.size())
               ? kToolbarEntries[static_cast<std::size_t>(index)].key
               : std::string_view{};
}

int ToolbarWindow::CommandOf(std::string_view key) {
    for (std::size_t i = 0; i < kToolbarEntries.size(); ++i) {
        if (!key.empty() && kToolbarEntries[i].key == key) {
            return kFirstCommandId + static_cast<int>(i);
        }
    }
    throw ErrorObject(35601, "mirvane", "Element not found");
}

int ToolbarWindow::ButtonValue(std::string_view key) const {
    const auto state =
        static_cast<int>(SendMessageW(Window(), TB_GETSTATE, static_cast<WPARAM>(CommandOf(key)), 0));
    return (state & TBSTATE_INDETERMINATE) != 0 ? 2 : (state & TBSTATE_CHECKED) != 0 ? 1 : 0;
}

void ToolbarWindow::SetButtonValue(std::string_view key, int value) {
    const int id = CommandOf(key);
    const auto state = static_cast<BYTE>(TBSTATE_ENABLED | (value != 0 ? TBSTATE_CHECKED : 0) |
                                         (value == 2 ? TBSTATE_INDETERMINATE : 0));
    SendMessageW(Window(), TB_SETSTATE, static_cast<WPARAM>(id), MAKELONG(state, 0));
    // A button that cannot work now says why; the others ask the window for their text.
    if (HWND tips = reinterpret_cast<HWND>(SendMessageW(Window(), TB_GETTOOLTIPS, 0, 0))) {
        std::wstring text;
        for (const wchar_t c : ToolbarTooltip(Tooltip(id), value)) {
            text += c;
        }
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Window();
        tool.uId = static_cast<UINT_PTR>(id);
        tool.lpszText = value == 2 ? text.data() : LPSTR_TEXTCALLBACKW;
        SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

} // namespace mirvane
