#include "win32/EditLine.h"

#include "PutOnClipboard.h"
#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace mirvane {
namespace {

class RecordingEvents final : public TextLineEvents {
public:
    bool LineKeyDown(TextLine&, std::int16_t& keyCode, std::int16_t, bool) override {
        said += "down" + std::to_string(keyCode) + " ";
        keyCode = keyCode == 'Q' ? 0 : keyCode;
        return true;
    }
    void LineKeyPress(TextLine&, std::int16_t& keyAscii) override {
        said += "press" + std::to_string(keyAscii) + " ";
        keyAscii = keyAscii == 'x' ? 0 : keyAscii;
    }
    void LineKeyUp(TextLine&, std::int16_t keyCode, std::int16_t) override {
        said += "up" + std::to_string(keyCode) + " ";
    }
    void LineMouseDown(TextLine&, std::int16_t, std::int16_t) override {}
    bool LineMouseMoveStartsDrag(TextLine&, std::int16_t, std::int16_t) override { return false; }
    void LineMouseMove(TextLine&, std::int16_t, std::int16_t) override {}
    void LineMouseUp(TextLine&, std::int16_t, std::int16_t) override {}
    void LineDoubleClick(TextLine&) override {}
    bool PlainLinePressArmsDrag(TextLine&, std::int16_t, std::int32_t, LinePoint) override { return false; }
    bool PlainLineMoveTaken(TextLine&, std::int16_t, LinePoint, std::int32_t) override { return false; }
    bool PlainLineReleaseTaken(TextLine&, std::int32_t) override { return false; }
    void LineCopy(TextLine&, bool) override {}
    void LineGotFocus(TextLine&) override {}
    void LineLostFocus(TextLine&) override {}
    std::string said;
};

// Keys reach the form in order and a cancelled one reaches no line; the password line takes
// no paste; no other thread reads, writes or pastes into either line.
TEST(EditLine, KeysGoThroughTheFormAndNothingElseReachesTheText) {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    EditLine password(parent, 1, true);
    EditLine plain(parent, 2, false);
    RecordingEvents events;
    password.SetEvents(&events);
    const HWND edit = password.Window();
    const std::pair<UINT, char> keys[] = {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}, {WM_CHAR, 'x'},
                                          {WM_KEYDOWN, 'Q'}, {WM_CHAR, 'q'}, {WM_KEYUP, 'Q'}};
    for (const auto& [message, code] : keys) {
        SendMessageW(edit, message, static_cast<WPARAM>(code), 1);
    }
    EXPECT_EQ(events.said, "down65 press97 up65 press120 down81 up81 ");
    EXPECT_EQ(password.PasswordChar(), u"*");

    ASSERT_TRUE(PutOnClipboard(parent, L"zz"));
    for (HWND line : {edit, plain.Window()}) {
        SendMessageW(line, WM_PASTE, 0, 0);
    }
    EXPECT_EQ(std::tuple(password.Text(), plain.Text()), std::tuple(u"a", u"zz"));

    wchar_t read[16] = L"?";
    DWORD_PTR length = 99;
    FromAnotherThread([&] {
        SendMessageTimeoutW(edit, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(read), SMTO_BLOCK, 5000, nullptr);
        SendMessageTimeoutW(plain.Window(), WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length);
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"other"), SMTO_BLOCK, 5000,
                            nullptr);
        SendMessageTimeoutW(plain.Window(), WM_PASTE, 0, 0, SMTO_BLOCK, 5000, nullptr);
    });
    EXPECT_EQ(std::tuple(std::wstring(read), length, password.Text(), plain.Text()),
              std::tuple(L"?", 0u, u"a", u"zz"));
    DestroyWindow(parent);
}

} // namespace
} // namespace mirvane
