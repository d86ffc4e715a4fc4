#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
struct Hovering : EngineTest {
    // The window's outer rectangle: 100 to 700 pixels across, 100 to 500 down.
    Hovering() { std::tie(w.left, w.top, w.width, w.height) = std::tuple(1500, 1500, 9000, 6000); }
    Hovering& Move(int number) {
        k.ButtonMouseMove(w.Key(number), 0, 0, 0, 0);
        return *this;
    }
    void OverLine() { k.MouseMoveInTextBox(0, 0, 0, 0); }
    void OverBackground() { k.MouseMoveInForm(0, 0, 0, 0); }
    void TickAt(double x, double y) {
        w.pointer = {x, y};
        k.Timer1Tick();
    }
    int Current() const { return k.CurrentButton() != nullptr ? k.CurrentButton()->Number() : 0; }
};
} // namespace

// Off, Waiting and Counting, each way between them, the window's edges inside; keys told apart by caption.
TEST_F(Hovering, TheStatesEveryTransitionAndTheWindowsEdgesCountingAsInside) {
    using Step =
        std::tuple<const char*, std::function<void(Hovering&)>, bool, bool, int, int, std::u16string>;
    const Step steps[] = {
        {"start", [](Hovering&) {}, false, false, 0, 0, u""},
        {"mode 2", [](Hovering& t) { t.k.SetInputMode(2); }, true, true, 0, 0, u""},
        {"a tick with no key yet", [](Hovering& t) { t.TickAt(300, 300); }, true, true, 0, 0, u""},
        {"onto q", [](Hovering& t) { t.Move(17); }, true, true, 17, 1, u""},
        {"along q", [](Hovering& t) { t.Move(17); }, true, true, 17, 0, u""},
        {"onto a shift", [](Hovering& t) { t.Move(42); }, true, true, 42, 1, u""},
        {"onto the other shift", [](Hovering& t) { t.Move(53); }, true, true, 42, 0, u""},
        {"onto the background", [](Hovering& t) { t.OverBackground(); }, true, false, 42, 1, u""},
        {"onto a text line", [](Hovering& t) { t.OverLine(); }, true, false, 42, 0, u""},
        {"onto w", [](Hovering& t) { t.Move(18); }, true, true, 18, 1, u""},
        {"a tick inside", [](Hovering& t) { t.TickAt(300, 300); }, true, true, 18, 0, u"w"},
        {"onto e, then a text line", [](Hovering& t) { t.Move(19).OverLine(); }, true, true, 19, 1, u"w"},
        {"a tick over the line", [](Hovering& t) { t.TickAt(300, 480); }, true, true, 19, 0, u"we"},
        {"a tick outside", [](Hovering& t) { t.TickAt(800, 300); }, true, false, 0, 1, u"we"},
        {"mode 1", [](Hovering& t) { t.k.SetInputMode(1); }, false, false, 0, 0, u"we"},
        {"a tick in mode 1", [](Hovering& t) { t.Move(17).TickAt(300, 300); }, false, false, 17, 0, u"we"},
    };
    for (const auto& [what, act, hoverOn, counting, current, stopped, typed] : steps) {
        SCOPED_TRACE(what);
        const int stopsBefore = w.timer1.stops;
        act(*this);
        EXPECT_EQ(k.TimerEnabled(), hoverOn);
        EXPECT_EQ(w.timer1.enabled, counting);
        EXPECT_EQ(Current(), current);
        EXPECT_EQ(w.timer1.stops - stopsBefore, stopped);
        EXPECT_EQ(k.CurrentPassword(), typed);
    }
    k.SetInputMode(2);
    const std::tuple<double, double, bool> ticks[] = {
        {100, 300, true},   {700, 300, true},    {300, 100, true},   {300, 500, true},
        {99.5, 300, false}, {700.5, 300, false}, {300, 99.9, false}, {300, 500.5, false}};
    for (const auto& [x, y, inside] : ticks) {
        k.ClearText();
        Move(18);
        TickAt(x, y);
        EXPECT_EQ(k.CurrentPassword(), inside ? u"w" : u"") << x << "," << y;
    }
}

TEST_F(Hovering, ModeWritesSetTheChecksAndTheThirdAsksFirst) {
    // Only the hidden mouse mode shows the grey dot; only standard mode runs no hover.
    using Case = std::tuple<std::vector<std::int16_t>, bool, std::int16_t, std::size_t>;
    for (const auto& [writes, answerOk, mode, questions] :
         {Case{{2}, true, 2, 0}, Case{{3}, true, 3, 1}, Case{{3}, false, 1, 1}, Case{{2, 3}, false, 2, 1},
          Case{{3, 3}, true, 3, 1}, Case{{3, 1}, true, 1, 1}, Case{{3, 2}, true, 2, 1}}) {
        EngineHarness e;
        e.w.answerOk = answerOk;
        for (std::int16_t write : writes) {
            e.k.SetInputMode(write);
        }
        SCOPED_TRACE(std::to_string(writes.back()) + (answerOk ? " OK" : " Cancel"));
        EXPECT_EQ(e.k.InputMode(), mode);
        EXPECT_EQ(e.w.MenuFake(Menu::ModeStandard).checked, mode == 1);
        EXPECT_EQ(e.w.MenuFake(Menu::ModeHover).checked, mode == 2);
        EXPECT_EQ(e.w.MenuFake(Menu::ModeHiddenMouseAndHover).checked, mode == 3);
        EXPECT_EQ(e.w.toolbar.values["HideMouse"], mode == 3 ? 1 : 0);
        EXPECT_EQ(e.k.TimerEnabled(), mode != 1);
        EXPECT_EQ(e.k.MouseHidden(), mode == 3);
        EXPECT_EQ(e.w.greyDot, mode == 3);
        EXPECT_EQ(e.w.questions.size(), questions);
    }
    // The question, word for word.
    k.SetInputMode(3);
    EXPECT_EQ(
        w.questions.at(0),
        u"Hide mouse - turn it into grey dot?|Click OK if you want your mouse to become a small grey "
        u"dot when using this on screen keyboard.\r\n(This is designed to fool malicious screen capture "
        u"programs and is only available in the password mask view mode.)\r\n\r\nThis will not affect "
        u"any other programs, and can be undone by going to Mouse Mode - Standard.");
}

TEST_F(Hovering, TheDotShowsOverKeysOnlyAndTheBeepFollowsHoverPressesOnly) {
    k.SetBeepOnHover(true);
    EXPECT_EQ(w.toolbar.values["Beep"], 1);
    k.SetInputMode(3);
    for (const bool overLine : {true, false}) {
        Move(18);
        EXPECT_TRUE(w.greyDot);
        overLine ? OverLine() : OverBackground();
        EXPECT_FALSE(w.greyDot) << overLine;
    }
    EXPECT_TRUE(k.MouseHidden());

    k.ButtonClick(w.Key(18));
    EXPECT_EQ(w.beeps, 0) << "a click never beeps";
    Move(18);
    TickAt(300, 300);
    EXPECT_EQ(w.beeps, 1);
    EXPECT_EQ(k.CurrentPassword(), u"ww");
    // A key that is hidden now is never pressed.
    w.Key(18).visible = false;
    TickAt(300, 300);
    EXPECT_EQ(k.CurrentPassword(), u"ww");
}
