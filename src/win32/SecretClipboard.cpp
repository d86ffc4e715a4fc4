#include "SecretClipboard.h"

#include <cstring>

namespace mirvane {

namespace {
HGLOBAL Copy(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory != nullptr) {
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
    }
    return memory;
}

// Clipboard history and cloud clipboard read a DWORD 0 as "not this one"; monitors skip any
// data that carries the exclusion format at all.
void MarkSecret() {
    const DWORD no = 0;
    for (const wchar_t* name : {L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
        if (HGLOBAL flag = Copy(&no, sizeof no);
            SetClipboardData(RegisterClipboardFormatW(name), flag) == nullptr) {
            GlobalFree(flag);
        }
    }
    if (HGLOBAL mark = Copy(&no, sizeof no);
        SetClipboardData(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"), mark) ==
        nullptr) {
        GlobalFree(mark);
    }
}
} // namespace

bool SecretClipboard::Offer(const SecretText& text) {
    if (!OpenClipboard(mOwner)) {
        return false;
    }
    EmptyClipboard();
    MarkSecret();
    HGLOBAL copy = Copy(text.c_str(), (text.size() + 1) * sizeof(char16_t));
    const bool offered = copy != nullptr && SetClipboardData(CF_UNICODETEXT, copy) != nullptr;
    if (!offered && copy != nullptr) {
        GlobalFree(copy);
    }
    CloseClipboard();
    mOffered = offered ? GetClipboardSequenceNumber() : 0;
    return offered;
}

void SecretClipboard::Withdraw() {
    if (mOffered != 0 && Ours() && GetClipboardSequenceNumber() == mOffered) {
        Empty();
    }
    mOffered = 0;
}

void SecretClipboard::ClearOwn() {
    if (Ours()) {
        Empty();
    }
    mOffered = 0;
}

void SecretClipboard::Empty() {
    if (OpenClipboard(mOwner)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

} // namespace mirvane
