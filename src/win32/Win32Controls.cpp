#include "Win32Controls.h"

#include "form/ToolbarTable.h"

#include <commctrl.h>

#include <vector>

namespace mirvane {

KeyButtonWindow::KeyButtonWindow(int number) : mNumber(number) { PlaceUnmade(RECT{}); }

void KeyButtonWindow::Make(HWND parent, int commandId) {
    const RECT place = Place();
    const DWORD style = WS_CHILD | BS_PUSHBUTTON | (Visible() ? WS_VISIBLE : 0) | (mEnabled ? 0 : WS_DISABLED);
    Adopt(CreateWindowExW(0, L"BUTTON", reinterpret_cast<const wchar_t*>(mCaption.c_str()), style, place.left,
                          place.top, place.right - place.left, place.bottom - place.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId)), GetModuleHandleW(nullptr),
                          nullptr));
}

void KeyButtonWindow::SetCaption(const std::u16string& caption) {
    mCaption = caption;
    if (Window() != nullptr) {
        SetWindowTextW(Window(), reinterpret_cast<const wchar_t*>(caption.c_str()));
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
    }
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
    mImages = ImageList_LoadImageW(GetModuleHandleW(nullptr), L"TOOLBARIMAGES", 16, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                                   LR_CREATEDIBSECTION);
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
}

} // namespace mirvane
