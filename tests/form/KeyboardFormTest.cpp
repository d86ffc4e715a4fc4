#include "form/KeyboardForm.h"
#include "form/ReportingLayering.h"
#include "form/ToolbarTable.h"

#include "engine/Keyboard.h"
#include "support/FakeControls.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <functional>
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
    void OfferCopy(const SecretText& text) override { copies.emplace_back(text.begin(), text.end()); }
    void WithdrawCopy() override { ++withdrawals; }
    void RaiseCursorCount() override { ++cursorRaises; }

    int closes = 0, abouts = 0, clipboardClears = 0, withdrawals = 0, cursorRaises = 0;
    DropEffect effect = DropEffect::Move;
    std::vector<std::u16string> dragged, copies;
};

struct FormTest : EngineTest {
    FormTest() { form.AttachKeyboard(&k); }
    FakeToolkit toolkit;
    RecordingStacking stacking;
    KeyboardForm form{w, h.errors, stacking, toolkit};
};

// Which keys each line carries out itself, which reach the engine, which copy the plain line.
TEST_F(FormTest, KeysReachTheLineTheEngineOrTheMarkedCopyAsTheTableSays) {
    // left: the code the line sees, 0 cancelled; lineTakes: the line may carry it out itself; then the
    // password ("abc", caret at 1), the plain line ("abc", "b" selected) and the copy after it.
    using Case = std::tuple<bool, std::int16_t, std::int16_t, bool, std::int16_t, bool, const char16_t*,
                            const char16_t*, const char16_t*>;
    for (const auto& [password, pressed, shift, windowsKey, left, lineTakes, buffer, line, copied] :
         {Case{true, 46, 0, false, 46, true, u"ac", u"abc", u""},      // Delete
          Case{true, 46, 1, false, 0, false, u"abc", u"abc", u""},     // Shift+Delete cuts
          Case{true, 46, 2, false, 0, false, u"abc", u"abc", u""},     // Ctrl+Delete
          Case{true, 46, 4, false, 0, false, u"abc", u"abc", u""},     // Alt+Delete
          Case{true, 46, 3, false, 0, false, u"abc", u"abc", u""},     // Ctrl+Shift+Delete
          Case{true, 46, 0, true, 0, false, u"abc", u"abc", u""},      // Windows+Delete
          Case{true, 8, 2, false, 8, false, u"abc", u"abc", u""},      // Ctrl+Backspace
          Case{true, 86, 2, false, 0, false, u"abc", u"abc", u""},     // Ctrl+V
          Case{true, 67, 2, false, 0, false, u"abc", u"abc", u""},     // Ctrl+C
          Case{true, 88, 2, false, 0, false, u"abc", u"abc", u""},     // Ctrl+X
          Case{true, 45, 2, false, 0, false, u"abc", u"abc", u""},     // Ctrl+Insert
          Case{true, 45, 1, false, 0, false, u"abc", u"abc", u""},     // Shift+Insert
          Case{true, 86, 6, false, 86, false, u"abc", u"abc", u""},    // Ctrl+Alt+V
          Case{true, 37, 1, false, 37, true, u"abc", u"abc", u""},     // Shift+Left
          Case{true, 65, 2, false, 65, true, u"abc", u"abc", u""},     // Ctrl+A
          Case{true, 65, 0, false, 65, false, u"abc", u"abc", u""},    // a: its character comes
          Case{false, 67, 2, false, 0, false, u"abc", u"abc", u"b"},   // Ctrl+C
          Case{false, 45, 2, false, 0, false, u"abc", u"abc", u"b"},   // Ctrl+Insert
          Case{false, 88, 2, false, 0, false, u"abc", u"ac", u"b"},    // Ctrl+X
          Case{false, 46, 1, false, 0, false, u"abc", u"ac", u"b"},    // Shift+Delete
          Case{false, 46, 2, false, 46, true, u"abc", u"abc", u""},    // Ctrl+Delete
          Case{false, 86, 2, false, 86, true, u"abc", u"abc", u""},    // Ctrl+V pastes
          Case{false, 45, 1, false, 45, true, u"abc", u"abc", u""}}) { // Shift+Insert pastes
        k.SetCurrentPassword(SecretText(u"abc"));
        w.password.text = u"***";
        w.Password().SetSelStart(1);
        w.plain.text = u"abc";
        w.plain.Select(1, 1);
        toolkit.copies.clear();
        w.password.visible = password;
        w.plain.visible = !password;
        std::int16_t key = pressed;
        const bool takes = form.LineKeyDown(password ? w.Password() : w.PlainText(), key, shift, windowsKey);
        SCOPED_TRACE(testing::Message()
                     << pressed << " with " << shift << (password ? " in the password" : " in the text"));
        EXPECT_EQ(key, left);
        EXPECT_EQ(takes, lineTakes);
        EXPECT_EQ(k.CurrentPassword(), buffer);
        EXPECT_EQ(w.plain.text, line);
        EXPECT_EQ(toolkit.copies, std::vector<std::u16string>(*copied ? 1 : 0, copied));
    }
    // The engine alone puts text in the password line: what it does not take, nobody does.
    const auto codeAfter = [this](TextLine& l, std::int16_t c) { return form.LineKeyPress(l, c), c; };
    for (const std::int16_t refused : {std::int16_t{0x200B}, std::int16_t{13}, std::int16_t{27}}) {
        EXPECT_EQ(codeAfter(w.Password(), refused), 0) << refused;
        EXPECT_EQ(codeAfter(w.PlainText(), refused), refused) << refused;
    }
}

// A press in the plain line's selection arms a drag begun at the distance; a release first puts the caret.
TEST_F(FormTest, ThePlainLineDragsItsSelectionOnceThePointerHasGoneTheDistance) {
    using Case =
        std::tuple<std::int16_t, std::int32_t, LinePoint, bool, std::size_t, std::int16_t, std::int16_t>;
    for (const auto& [button, at, to, armed, drags, caret, selected] :
         {Case{1, 2, {14, 10}, true, 1, 1, 3}, Case{1, 4, {10, 14}, true, 1, 1, 3},
          Case{1, 3, {11, 11}, true, 0, 3, 0}, Case{1, 5, {20, 20}, false, 0, 1, 3},
          Case{2, 2, {20, 20}, false, 0, 1, 3}, Case{1, 0, {20, 20}, false, 0, 1, 3}}) {
        w.plain.text = u"abcdef";
        w.plain.Select(1, 3);
        toolkit.dragged.clear();
        SCOPED_TRACE(testing::Message() << "press at " << at << " with " << button);
        EXPECT_EQ(form.PlainLinePressArmsDrag(w.PlainText(), button, at, {10, 10}), armed);
        EXPECT_EQ(form.PlainLineMoveTaken(w.PlainText(), button, to, 4), armed);
        form.PlainLineReleaseTaken(w.PlainText(), at);
        EXPECT_EQ(toolkit.dragged, std::vector<std::u16string>(drags, u"bcd"));
        if (drags == 0) { // a drag leaves the line as the drop left it
            EXPECT_EQ(w.PlainText().SelStart(), caret);
            EXPECT_EQ(w.PlainText().SelLength(), selected);
        }
    }
}

// One drag of the real password per press in the selection; the drop decides what stays.
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
        w.password.Select(2, 2);
        form.LineMouseMove(w.Password(), 0, 0);
        w.Password().SetSelStart(3); // the toolkit put the caret under the press
        form.LineMouseDown(w.Password(), 1, 0);
        EXPECT_TRUE(form.LineMouseMoveStartsDrag(w.Password(), 1, 0));
        EXPECT_FALSE(form.LineMouseMoveStartsDrag(w.Password(), 1, 0));
        EXPECT_EQ(toolkit.dragged, std::vector<std::u16string>{u"abcdef"});
        EXPECT_EQ(w.password.text, line);
        EXPECT_EQ(k.CurrentPassword(), std::u16string(buffer));
    }
    form.LineMouseDown(w.Password(), 1, 0);
    EXPECT_EQ(toolkit.clipboardClears, 0);
    form.LineMouseDown(w.Password(), 2, 0);
    EXPECT_EQ(toolkit.clipboardClears, 1);
}

// Noise runs only while a line has the focus and no menu is open; the end leaves no copy and no key behind.
TEST_F(FormTest, NoiseFollowsTheFocusAndTheMenusAndStopsAtTheEnd) {
    k.SetObsfucate(true);
    w.password.text = u"***";
    std::int16_t typed = 'x';
    std::int16_t caret = 0; // after a release in the middle: where the buffer appends
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { form.FormGotFocus(); }, true}, // the line focused
        {[&] { form.LineMouseDown(w.Password(), 1, 0); }, false},
        {[&] { w.password.Select(1, 0), form.LineMouseUp(w.password, 1, 0), caret = w.password.selStart; },
         true},
        {[&] { form.MenuOpened(); }, false},
        {[&] { form.LineGotFocus(w.Password()); }, false},
        {[&] { form.LineKeyPress(w.Password(), typed); }, false},
        {[&] { form.MenuOpened(); }, false}, // the next menu shows before the last hides
        {[&] { form.MenuClosed(); }, false},
        {[&] { form.MenuClosed(); }, true},
        {[&] { form.MenuOpened(); }, false},
        {[&] { w.lineHasFocus = false, form.MenuClosed(); }, false}, // nowhere to type
        {[&] { form.FormGotFocus(); }, true},
        {[&] { form.FormUnload(); }, false},
    };
    const int focusBefore = w.password.focusCount;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].first();
        EXPECT_EQ(w.noiseTimer.enabled, steps[i].second) << "step " << i;
    }
    EXPECT_EQ(caret, 3);
    EXPECT_EQ(w.password.focusCount, focusBefore + 2);
    EXPECT_EQ(toolkit.withdrawals, 1);
    EXPECT_EQ(toolkit.cursorRaises, 1);
}

// Failed layering is reported; the about box is top-most only over a top-most window; a dead button says why.
TEST(FormRules, LayeringFailureAboutBoxAndTooltip) {
    struct FailingLayering final : WindowLayering {
        void MakeWindowLayered(std::uintptr_t, std::int16_t) override {
            throw ErrorObject(5, "mirvane", "Invalid procedure call or argument");
        }
    } failing;
    RecordingLayering working;
    std::vector<std::string> shown;
    const auto show = [&](const std::string& text) { shown.push_back(text); };
    ReportingLayering(failing, show).MakeWindowLayered(7, 254);
    ReportingLayering(working, show).MakeWindowLayered(7, 254);
    EXPECT_EQ(shown, std::vector<std::string>{"Invalid procedure call or argument Source : mirvane"});
    EXPECT_EQ(working.calls.size(), 1u);

    RecordingStacking stacking;
    StackAboutBox(false, stacking, 1, 2);
    EXPECT_TRUE(stacking.calls.empty());
    StackAboutBox(true, stacking, 1, 2);
    EXPECT_EQ(stacking.calls, (std::vector<std::pair<std::uintptr_t, bool>>{{1, false}, {2, true}}));

    EXPECT_EQ(ToolbarTooltip("Keep On Top", 1), "Keep On Top");
    EXPECT_EQ(
        ToolbarTooltip("Hide password in amongst random characters", 2),
        "Hide password in amongst random characters - not working now: the system takes none of its keys");
}

TEST_F(FormTest, CommandsFlipTheirChecksAndReachTheSystem) {
    form.OnMenu(Menu::FileKeepOnTop);
    EXPECT_TRUE(w.MenuEntry(Menu::FileKeepOnTop).Checked());
    EXPECT_EQ(stacking.calls.back(), std::make_pair(w.Handle(), true));
    form.OnToolbarButton("KeepOnTop");
    EXPECT_FALSE(w.MenuEntry(Menu::FileKeepOnTop).Checked());
    EXPECT_EQ(stacking.calls.back(), std::make_pair(w.Handle(), false));
    form.OnMenu(Menu::HelpAbout);
    EXPECT_EQ(toolkit.abouts, 1);
}

} // namespace
} // namespace mirvane::test
