#pragma once

#include "common/SecretText.h"

#include <windows.h>

namespace mirvane {

// The clipboard as this program may touch it: a copy the person asked for, marked so that
// clipboard history, cloud clipboard and monitors leave it alone, and emptied only while
// the copy on it is still ours.
class SecretClipboard {
public:
    explicit SecretClipboard(HWND owner) : mOwner(owner) {}
    ~SecretClipboard() { Withdraw(); }
    SecretClipboard(const SecretClipboard&) = delete;
    SecretClipboard& operator=(const SecretClipboard&) = delete;

    bool Offer(const SecretText& text);
    void Withdraw(); // our copy, if nobody has put anything on the clipboard since
    void ClearOwn(); // whatever this program put there; another program's clipboard stays

private:
    bool Ours() const { return GetClipboardOwner() == mOwner; }
    void Empty();

    HWND mOwner;
    DWORD mOffered = 0; // the clipboard's sequence number once our copy was on it
};

} // namespace mirvane
