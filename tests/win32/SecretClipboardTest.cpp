#include "win32/SecretClipboard.h"

#include "PutOnClipboard.h"
#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <string>

namespace mirvane {
namespace {

HWND MessageWindow() {
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// Our copy is marked for history and monitors and goes when withdrawn, but another program's
// clipboard is never emptied, whether it came after our copy or before.
TEST(SecretClipboard, OnlyOurOwnMarkedCopyIsEverEmptied) {
    HWND ours = MessageWindow();
    HWND theirs = MessageWindow();
    SecretClipboard clipboard(ours);
    ASSERT_TRUE(clipboard.Offer(SecretText(u"s3cret")));
    EXPECT_EQ(ClipboardText(), u"s3cret");
    EXPECT_TRUE(MarkedSecret());
    EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory")));
    clipboard.Withdraw();
    EXPECT_EQ(ClipboardText(), u"");

    for (const bool offeredFirst : {true, false}) {
        if (offeredFirst) {
            clipboard.Offer(SecretText(u"s3cret"));
        }
        ASSERT_TRUE(PutOnClipboard(theirs, L"other"));
        clipboard.Withdraw();
        clipboard.ClearOwn();
        EXPECT_EQ(ClipboardText(), u"other") << offeredFirst;
    }
    clipboard.Offer(SecretText(u"s3cret"));
    clipboard.ClearOwn();
    EXPECT_EQ(ClipboardText(), u"");
    DestroyWindow(ours);
    DestroyWindow(theirs);
}

} // namespace
} // namespace mirvane
