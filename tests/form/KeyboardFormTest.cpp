#include "form/KeyboardForm.h"

#include "engine/Keyboard.h"
#include "support/FakeControls.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirvane::test {
namespace {

class FakeToolkit final : public FormToolkit {
public:
    void CloseWindow() override { ++closes; }
    void ShowAboutBox() override { ++abouts; }
    bool MouseButtonHeld() const override { return false; }
    bool Printable(char16_t code) const override { return code != 0x200B; }
    void ClearOwnClipboard() override { ++clipboardClears; }
    DropEffect RunDrag(SecretText text) override {
        dragged.emplace_back(text.begin(), text.end());
        return effect;
    }

    int closes = 0;
    int abouts = 0;
    int clipboardClears = 0;
    DropEffect effect = DropEffect::Move;
    std::vector<std::u16string> dragged;
};

struct FormTest : EngineTest {
    FormTest() { form.AttachKeyboard(&k); }
    FakeToolkit toolkit;
    RecordingStacking stacking;
    KeyboardForm form{w, h.errors, stacking, toolkit};
};

// Every road by keyboard to the clipboard is shut in the password line, and only there.
TEST_F(FormTest, ClipboardKeysAreCancelledInThePasswordLineOnly) {
    struct Case {
        bool password;
        std::int16_t key;
        std::int16_t shift;
        std::int16_t left;
    };
    for (const Case& c :
         {Case{true, 86, 2, 0}, Case{true, 67, 2, 0}, Case{true, 88, 2, 0}, Case{true, 45, 2, 0},
          Case{true, 45, 1, 0}, Case{true, 46, 1, 0}, Case{true, 86, 6, 86}, Case{true, 46, 0, 46},
          Case{false, 86, 2, 86}, Case{false, 45, 1, 45}}) {
        std::int16_t key = c.key;
        form.LineKeyDown(c.password ? w.Password() : w.PlainText(), key, c.shift);
        EXPECT_EQ(key, c.left) << c.key << " with " << c.shift
                               << (c.password ? " in the password" : " in the text");
    }
    std::int16_t invisible = 0x200B; // the engine alone puts text in the line, so it is asked
    form.LineKeyPress(w.Password(), invisible);
    EXPECT_EQ(invisible, 0x200B);
}

// A press inside the selection arms one drag of the real password; where it goes decides
// what the line and the buffer keep.
TEST_F(FormTest, APressInTheSelectionDragsThePasswordOnceAndTheLineFollowsTheDrop) {
    for (const auto& [keep, effect, line, buffer] :
         {std::tuple{false, DropEffect::Move, u"abef", u"abef"},
          std::tuple{false, DropEffect::Copy, u"abcdef", u"abcdef"},
          std::tuple{true, DropEffect::Move, u"abcdef", u"abcdef"}}) {
        k.SetKeepPasswordAfterDragDrop(keep);
        k.SetCurrentPassword(SecretText(u"abcdef"));
        w.password.text = u"abcdef";
        toolkit.effect = effect;
        toolkit.dragged.clear();
        w.Password().SetSelStart(2);
        w.Password().SetSelLength(2);
        form.LineMouseMove(w.Password(), 0, 0);
        w.Password().SetSelStart(3); // the toolkit put the caret under the press
        form.LineMouseDown(w.Password(), 1, 0);
        EXPECT_TRUE(form.LineMouseMoveStartsDrag(w.Password(), 1, 0));
        EXPECT_FALSE(form.LineMouseMoveStartsDrag(w.Password(), 1, 0));
        EXPECT_EQ(toolkit.dragged, std::vector<std::u16string>{u"abcdef"});
        EXPECT_EQ(w.password.text, line);
        const SecretText password = k.CurrentPassword();
        EXPECT_EQ(std::u16string(password.begin(), password.end()), buffer);
    }
    form.LineMouseDown(w.Password(), 1, 0);
    EXPECT_EQ(toolkit.clipboardClears, 0);
    form.LineMouseDown(w.Password(), 2, 0);
    EXPECT_EQ(toolkit.clipboardClears, 1);
}

TEST_F(FormTest, CommandsFlipTheirChecksAndReachTheWindowAndTheSystem) {
    form.OnMenu(Menu::FileKeepOnTop);
    EXPECT_TRUE(w.MenuEntry(Menu::FileKeepOnTop).Checked());
    EXPECT_EQ(stacking.calls.back(), std::make_pair(w.Handle(), true));
    form.OnToolbarButton("KeepOnTop");
    EXPECT_FALSE(w.MenuEntry(Menu::FileKeepOnTop).Checked());
    EXPECT_EQ(stacking.calls.back(), std::make_pair(w.Handle(), false));

    const std::int32_t keyTop = w.Button(1).Top();
    const std::int32_t windowHeight = w.Height();
    form.OnMenu(Menu::ViewToolbar);
    EXPECT_FALSE(w.Toolbar().Visible());
    EXPECT_EQ(w.Button(1).Top(), keyTop - 420);
    EXPECT_EQ(w.Height(), windowHeight - 420);

    form.OnMenu(Menu::HelpAbout);
    form.OnMenu(Menu::FileExit);
    EXPECT_EQ(toolkit.abouts, 1);
    EXPECT_EQ(toolkit.closes, 1);
}

} // namespace
} // namespace mirvane::test
