#include "win32/EditLine.h"
#include "win32/frmKeyboard.h"

#include "PutOnClipboard.h"
#include "engine/Keyboard.h"
#include "support/FakeServices.h"
#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirvane::test {
namespace {

// The real window, its lines and the real engine, with the system's keys and randomness faked.
struct Harness {
    Harness() {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        keyboard = std::make_unique<Keyboard>(KeyboardServices{
            [this] {
                auto made = std::make_unique<frmKeyboard>(errors, stacking, [](Keyboard&, HWND) {});
                window = made.get();
                return made;
            },
            random, errors, layering, [] { return 2000; }, keyState, wire, wire, wire, wire});
        wire.keyboard = keyboard.get();
    }
    ~Harness() {
        keyboard.reset();
        EXPECT_TRUE(errors.errors.empty());
        // The window's end asks the thread to quit; the next test's loops must not take that.
        for (MSG quit; PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
        }
    }
    EditLine& Line(bool password) {
        return static_cast<EditLine&>(password ? window->Password() : window->PlainText());
    }

    SeededRandom random;
    RecordingErrorLog errors;
    RecordingLayering layering;
    RecordingStacking stacking;
    FakeKeyState keyState;
    FakeKeyboardWire wire{keyState};
    frmKeyboard* window = nullptr;
    std::unique_ptr<Keyboard> keyboard;
};

// The thread's own key state, as the person's held modifiers leave it.
void Hold(const std::vector<BYTE>& keys) {
    BYTE state[256] = {};
    for (const BYTE key : keys) {
        state[key] = 0x80;
    }
    SetKeyboardState(state);
}

// A key as the window's thread gets it from the person: down, its character, up.
void Key(HWND line, WORD key, const std::vector<BYTE>& held = {}, wchar_t character = 0) {
    Hold(held);
    const bool alt = std::find(held.begin(), held.end(), VK_MENU) != held.end();
    const LPARAM context = alt ? 1 << 29 : 0;
    SendMessageW(line, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | context);
    if (character != 0) {
        SendMessageW(line, alt ? WM_SYSCHAR : WM_CHAR, character, 1 | context);
    }
    SendMessageW(line, alt ? WM_SYSKEYUP : WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u) | context);
    Hold({});
}

void Type(HWND line, const char16_t* text) {
    for (; *text != 0; ++text) {
        const SHORT scan = VkKeyScanW(static_cast<wchar_t>(*text));
        Key(line, LOBYTE(scan), std::vector<BYTE>((scan & 0x100) != 0 ? 1 : 0, VK_SHIFT),
            static_cast<wchar_t>(*text));
    }
}

struct Edit {
    const char* name;
    const char16_t* typed;
    int caret, selection;
    std::vector<std::function<void(HWND)>> actions;
    std::optional<std::u16string> buffer; // the engine's, on the masked line; none: the plain line
    std::u16string line;
    int caretAfter;
    std::u16string clipboard = u"prior"; // what the clipboard holds afterwards
};

// One key of the person's, as a table's action.
std::function<void(HWND)> Press(WORD key, std::vector<BYTE> held = {}, wchar_t character = 0) {
    return [=](HWND l) { Key(l, key, held, character); };
}
std::function<void(HWND)> Char(wchar_t character) {
    return [character](HWND l) { SendMessageW(l, WM_CHAR, character, 1); };
}

const std::vector<std::function<void(HWND)>> kClipboardKeys = {
    Press('V', {VK_CONTROL}, 22),   Press('C', {VK_CONTROL}, 3),  Press('X', {VK_CONTROL}, 24),
    Press(VK_INSERT, {VK_CONTROL}), Press(VK_INSERT, {VK_SHIFT}), Press(VK_DELETE, {VK_SHIFT})};

const Edit kEdits[] = {
    {"typing", u"s3cr&T", 6, 0, {}, u"s3cr&T", u"******", 6},
    {"typing over a selection", u"abcd", 0, 2, {Press('Z', {VK_SHIFT}, 'Z')}, u"Zcd", u"***", 1},
    {"backspace", u"abc", 2, 0, {Press(VK_BACK, {}, 8)}, u"ac", u"**", 1},
    {"shift+backspace", u"abc", 2, 0, {Press(VK_BACK, {VK_SHIFT}, 8)}, u"ac", u"**", 1},
    {"ctrl+backspace", u"abc", 2, 0, {Press(VK_BACK, {VK_CONTROL}, 0x7F)}, u"abc", u"***", 2},
    {"alt+backspace", u"abc", 2, 0, {Press(VK_BACK, {VK_MENU})}, u"abc", u"***", 2},
    {"delete", u"abc", 0, 0, {Press(VK_DELETE)}, u"bc", u"**", 0},
    {"delete over a selection", u"abcd", 1, 2, {Press(VK_DELETE)}, u"ad", u"**", 1},
    {"ctrl+delete", u"abc", 0, 0, {Press(VK_DELETE, {VK_CONTROL})}, u"abc", u"***", 0},
    {"alt+delete", u"abc", 0, 0, {Press(VK_DELETE, {VK_MENU})}, u"abc", u"***", 0},
    {"a character the engine refuses", u"abc", 3, 0, {Char(0xD83D), Char(0xDE00)}, u"abc", u"***", 3},
    {"clipboard keys", u"abc", 0, 3, kClipboardKeys, u"abc", u"***", 0},
    {"plain backspace", u"abcd", 4, 0, {Press(VK_BACK, {}, 8)}, std::nullopt, u"abc", 3},
    {"plain ctrl+c", u"abc", 1, 1, {Press('C', {VK_CONTROL}, 3)}, std::nullopt, u"abc", 1, u"b"},
    {"plain ctrl+ins", u"abc", 1, 1, {Press(VK_INSERT, {VK_CONTROL})}, std::nullopt, u"abc", 1, u"b"},
    {"plain ctrl+x", u"abc", 1, 1, {Press('X', {VK_CONTROL}, 24)}, std::nullopt, u"ac", 1, u"b"},
    {"plain shift+delete", u"abc", 1, 1, {Press(VK_DELETE, {VK_SHIFT})}, std::nullopt, u"ac", 1, u"b"},
    {"plain ctrl+v", u"ab", 2, 0, {Press('V', {VK_CONTROL}, 22)}, std::nullopt, u"abprior", 7},
    {"plain delete", u"abc", 1, 0, {Press(VK_DELETE)}, std::nullopt, u"ac", 1},
};

// Typing, deleting and the clipboard keys on the real lines and engine: the buffer, the line,
// its caret and the clipboard afterwards. Only a marked copy of the plain line reaches it.
TEST(EditingTable, BufferLineCaretAndClipboardAfterEachWayOfEditing) {
    for (const Edit& edit : kEdits) {
        SCOPED_TRACE(edit.name);
        Harness h;
        if (!edit.buffer) {
            h.keyboard->SetTextIsMasked(false);
        }
        EditLine& line = h.Line(h.window->Password().Visible());
        Type(line.Window(), edit.typed);
        line.SetSelStart(static_cast<std::int16_t>(edit.caret));
        line.SetSelLength(static_cast<std::int16_t>(edit.selection));
        ASSERT_TRUE(PutOnClipboard(nullptr, L"prior"));
        for (const auto& action : edit.actions) {
            action(line.Window());
        }
        if (edit.buffer) {
            EXPECT_EQ(h.keyboard->CurrentPassword(), *edit.buffer);
        }
        EXPECT_EQ(line.Text(), edit.line);
        EXPECT_EQ(line.SelStart(), edit.caretAfter);
        EXPECT_EQ(ClipboardText(), edit.clipboard);
        EXPECT_EQ(MarkedSecret(), edit.clipboard != u"prior");
    }
}

// Activation focuses the line and runs the noise, but not under a menu; a press in the plain
// line's selection keeps it for a drag; the box's buffer keeps no text it no longer shows; the
// copy goes with the window.
TEST(EditingWindow, FocusNoiseDragBufferAndCopyFollowTheWindow) {
    auto h = std::make_unique<Harness>();
    h->keyboard->SetObsfucate(true);
    const HWND frame = reinterpret_cast<HWND>(h->window->Handle());
    SendMessageW(frame, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), h->Line(true).Window());
    EXPECT_TRUE(h->window->NoiseTimer().Enabled());
    SendMessageW(frame, WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_FALSE(h->window->NoiseTimer().Enabled());
    SendMessageW(frame, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_TRUE(h->window->NoiseTimer().Enabled());
    h->keyboard->SetObsfucate(false);

    auto& toolbar = static_cast<ToolbarWindow&>(h->window->Toolbar());
    toolbar.SetButtonValue("Obsfucate", 2);
    wchar_t tip[160] = L"";
    const UINT_PTR id = ToolbarWindow::kFirstCommandId + 13;
    TOOLINFOW tool{sizeof(tool), 0, toolbar.Window(), id, {}, nullptr, tip, 0, nullptr};
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(toolbar.Window(), TB_GETTOOLTIPS, 0, 0)), TTM_GETTEXTW,
                 std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(
        std::wstring(tip),
        L"Hide password in amongst random characters - not working now: the system takes none of its keys");

    h->keyboard->SetTextIsMasked(false);
    EditLine& plain = h->Line(false);
    plain.SetText(SecretText(u"sekrit words"));
    plain.SetSelStart(0);
    plain.SetSelLength(6);
    const auto at = static_cast<LPARAM>(SendMessageW(plain.Window(), EM_POSFROMCHAR, 3, 0));
    SendMessageW(plain.Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(plain.Window(), WM_MOUSEMOVE, MK_LBUTTON, at);
    EXPECT_EQ(plain.SelLength(), 6) << "a press in the selection keeps it";
    SendMessageW(plain.Window(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(plain.SelStart(), 3);
    EXPECT_EQ(plain.SelLength(), 0);

    const auto selectAll = [&] {
        plain.SetText(SecretText(u"ab"));
        plain.SetSelLength(2);
    };
    selectAll();
    const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(plain.Window(), EM_GETHANDLE, 0, 0));
    const auto* held = static_cast<const char16_t*>(LocalLock(buffer));
    ASSERT_NE(held, nullptr);
    const std::u16string all(held, LocalSize(buffer) / sizeof(char16_t));
    LocalUnlock(buffer);
    EXPECT_EQ(all.find(u"words"), std::u16string::npos) << "the old text stays in the box's buffer";
    EXPECT_GE(all.size(), 32768u);

    ASSERT_TRUE(PutOnClipboard(nullptr, L"prior"));
    FromAnotherThread([&] { SendMessageTimeoutW(plain.Window(), WM_COPY, 0, 0, SMTO_BLOCK, 5000, nullptr); });
    EXPECT_EQ(ClipboardText(), u"prior") << "another program's copy is none the person asked for";
    for (int copy = 0; copy < 3; ++copy) { // twice, then once more after the line took its copy back
        if (copy == 2) {
            plain.SetText(SecretText());
            EXPECT_EQ(ClipboardText(), u"") << "an emptied line takes its copy back";
        }
        selectAll();
        Key(plain.Window(), 'C', {VK_CONTROL}, 3);
        EXPECT_EQ(ClipboardText(), u"ab");
    }
    SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(ClipboardText(), u"") << "the copy outlived the window";
}

} // namespace
} // namespace mirvane::test
