#pragma once

#include <cstring>
#include <cwchar>

#include <windows.h>

namespace mirvane {

// `text` on the clipboard as `owner`'s copy, as another program puts its own there.
inline bool PutOnClipboard(HWND owner, const wchar_t* text) {
    if (!OpenClipboard(owner)) {
        return false;
    }
    EmptyClipboard();
    const std::size_t size = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(copy), text, size);
    GlobalUnlock(copy);
    SetClipboardData(CF_UNICODETEXT, copy);
    return CloseClipboard() != 0;
}

// Whether the copy on the clipboard is marked as one that clipboard monitors leave alone.
inline bool MarkedSecret() {
    return IsClipboardFormatAvailable(
               RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")) != 0;
}

} // namespace mirvane
