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
    struct Case {
        bool password;
        std::int16_t key, shift;
        bool windowsKey;
        std::int16_t left;      // the code the line sees, 0 cancelled
        bool lineTakes;         // the line may carry it out itself
        const char16_t* buffer; // the password after it, "abc" with the caret at 1
        const char16_t* line;   // the plain line after it, "abc" with "b" selected
        const char16_t* copied;
    };
    for (const Case& c : {Case{true, 46, 0, false, 46, true, u"ac", u"abc", u""},    // Delete
                          Case{true, 46, 1, false, 0, false, u"abc", u"abc", u""},   // Shift+Delete cuts
                          Case{true, 46, 2, false, 0, false, u"abc", u"abc", u""},   // Ctrl+Delete
                          Case{true, 46, 4, false, 0, false, u"abc", u"abc", u""},   // Alt+Delete
                          Case{true, 46, 3, false, 0, false, u"abc", u"abc", u""},   // Ctrl+Shift+Delete
                          Case{true, 46, 0, true, 0, false, u"abc", u"abc", u""},    // Windows+Delete
                          Case{true, 8, 2, false, 8, false, u"abc", u"abc", u""},    // Ctrl+Backspace
                          Case{true, 86, 2, false, 0, false, u"abc", u"abc", u""},   // Ctrl+V
                          Case{true, 67, 2, false, 0, false, u"abc", u"abc", u""},   // Ctrl+C
                          Case{true, 88, 2, false, 0, false, u"abc", u"abc", u""},   // Ctrl+X
                          Case{true, 45, 2, false, 0, false, u"abc", u"abc", u""},   // Ctrl+Insert
                          Case{true, 45, 1, false, 0, false, u"abc", u"abc", u""},   // Shift+Insert
                          Case{true, 86, 6, false, 86, false, u"abc", u"abc", u""},  // Ctrl+Alt+V
                          Case{true, 37, 1, false, 37, true, u"abc", u"abc", u""},   // Shift+Left
                          Case{true, 65, 2, false, 65, true, u"abc", u"abc", u""},   // Ctrl+A
                          Case{true, 65, 0, false, 65, false, u"abc", u"abc", u""},  // a: its character comes
                          Case{false, 67, 2, false, 0, false, u"abc", u"abc", u"b"}, // Ctrl+C
                          Case{false, 45, 2, false, 0, false, u"abc", u"abc", u"b"}, // Ctrl+Insert
                          Case{false, 88, 2, false, 0, false, u"abc", u"ac", u"b"},  // Ctrl+X
                          Case{false, 46, 1, false, 0, false, u"abc", u"ac", u"b"},  // Shift+Delete
                          Case{false, 46, 2, false, 46, true, u"abc", u"abc", u""},  // Ctrl+Delete
                          Case{false, 86, 2, false, 86, true, u"abc", u"abc", u""},  // Ctrl+V pastes
                          Case{false, 45, 1, false, 45, true, u"abc", u"abc", u""}}) { // Shift+Insert pastes
        k.SetCurrentPassword(SecretText(u"abc"));
        w.password.text = u"***";
        w.Password().SetSelStart(1);
        w.plain.text = u"abc";
        w.plain.Select(1, 1);
        toolkit.copies.clear();
        w.password.visible = c.password;
        w.plain.visible = !c.password;
        std::int16_t key = c.key;
        const bool takes =
            form.LineKeyDown(c.password ? w.Password() : w.PlainText(), key, c.shift, c.windowsKey);
        SCOPED_TRACE(testing::Message()
                     << c.key << " with " << c.shift << (c.password ? " in the password" : " in the text"));
        EXPECT_EQ(key, c.left);
        EXPECT_EQ(takes, c.lineTakes);
        EXPECT_EQ(k.CurrentPassword(), c.buffer);
        EXPECT_EQ(w.plain.text, c.line);
        EXPECT_EQ(toolkit.copies, std::vector<std::u16string>(*c.copied ? 1 : 0, c.copied));
    }
    // The engine alone puts text in the password line: what it does not take, nobody does.
    const auto codeAfter = [this](TextLine& l, std::int16_t c) { return form.LineKeyPress(l, c), c; };
    for (const std::int16_t refused : {std::int16_t{0x200B}, std::int16_t{13}, std::int16_t{27}}) {
        EXPECT_EQ(codeAfter(w.Password(), refused), 0) << refused;
        EXPECT_EQ(codeAfter(w.PlainText(), refused), refused) << refused;
    }
}

// A press in the plain line's selection arms a drag that starts at the drag distance; an
// earlier release puts the caret there.
TEST_F(FormTest, ThePlainLineDragsItsSelectionOnceThePointerHasGoneTheDistance) {
    struct Case {
        std::int16_t button;
        std::int32_t at;
        LinePoint to;
        bool armed;
        std::size_t drags;
        std::int16_t caret, selected;
    };
    for (const Case& c : {Case{1, 2, {14, 10}, true, 1, 1, 3}, Case{1, 4, {10, 14}, true, 1, 1, 3},
                          Case{1, 3, {11, 11}, true, 0, 3, 0}, Case{1, 5, {20, 20}, false, 0, 1, 3},
                          Case{2, 2, {20, 20}, false, 0, 1, 3}, Case{1, 0, {20, 20}, false, 0, 1, 3}}) {
        w.plain.text = u"abcdef";
        w.plain.Select(1, 3);
        toolkit.dragged.clear();
        SCOPED_TRACE(testing::Message() << "press at " << c.at << " with " << c.button);
        EXPECT_EQ(form.PlainLinePressArmsDrag(w.PlainText(), c.button, c.at, {10, 10}), c.armed);
        EXPECT_EQ(form.PlainLineMoveTaken(w.PlainText(), c.button, c.to, 4), c.armed);
        form.PlainLineReleaseTaken(w.PlainText(), c.at);
        EXPECT_EQ(toolkit.dragged, std::vector<std::u16string>(c.drags, u"bcd"));
        if (c.drags == 0) { // a drag leaves the line as the drop left it
            EXPECT_EQ(w.PlainText().SelStart(), c.caret);
            EXPECT_EQ(w.PlainText().SelLength(), c.selected);
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

// Noise runs only while a line has the focus and no menu is open; the frame passes its focus
// to the line; the window's end leaves no copy and no key behind.
TEST_F(FormTest, NoiseFollowsTheFocusAndTheMenusAndStopsAtTheEnd) {
    k.SetObsfucate(true);
    w.password.text = u"***";
    std::int16_t typed = 'x';
    std::int16_t caret = 0; // after a release in the middle: where the buffer appends
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { form.FormGotFocus(); }, true}, // the line focused
        {[&] { form.LineMouseDown(w.Password(), 1, 0); }, false},
        {[&] { w.password.Select(1, 0), form.LineMouseUp(w.password, 1, 0), caret = w.password.selStart; }, true},
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

// Failed layering is reported and start-up goes on; the about box is top-most only over a
// kept-on-top window; a button that cannot work now says why.
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
