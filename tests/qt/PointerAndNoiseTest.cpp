#include "WindowHarness.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

// Resting on the bare background or on a disabled key (Tab while masked) stops the last key's countdown.
TEST(PointerOverKeys, TheBackgroundAndADisabledKeyStopTheHoverCountdown) {
    WindowHarness h;
    h.Engine().SetInputMode(2);
    KeyButtonWidget* q = h.KeyShowing("q");
    KeyButtonWidget* tab = h.KeyShowing("tab");
    ASSERT_TRUE(q != nullptr && tab != nullptr && !tab->isEnabled());
    QWidget* background = h.Window().centralWidget();
    const QPoint bare(0, q->geometry().center().y()); // left of the row of keys
    ASSERT_EQ(background->childAt(bare), nullptr);
    const auto counting = [&] { return h.Window().HoverTimer().Enabled(); };
    const std::pair<QWidget*, QPoint> places[] = {{background, bare}, {tab, tab->rect().center()}};
    for (const auto& [widget, at] : places) {
        QTest::mouseMove(q, q->rect().center());
        ASSERT_TRUE(QTest::qWaitFor(counting));
        QTest::mouseMove(widget, at);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !counting(); })) << widget->objectName().toStdString();
    }
}

struct NoiseAndSelection : ::testing::Test, LineRig {
    NoiseAndSelection() { h.Engine().SetObsfucate(true); }
};

// Noise waits while a double click's selection stands, goes on once it is typed over, restarts when typing
// finds it off; the toolbar marks it while the X server gives the keys elsewhere, and clears it after.
TEST_F(NoiseAndSelection, NoiseResumesOverTheSelectionNeverStaysOffAndIsNeverBlockedUnseen) {
    QTest::keyClicks(password, "ab");
    QTest::mouseDClick(password, Qt::LeftButton);
    QTest::mouseRelease(password, Qt::LeftButton); // the second press's release
    ASSERT_EQ(password->SelLength(), 2);
    EXPECT_TRUE(h.Window().NoiseTimer().Enabled()) << "after the double click";
    const auto presses = [&] {
        for (int tick = 0; tick < 40; ++tick) {
            h.Engine().NoiseTimerTick();
        }
        return std::ranges::count_if(h.injector.events, &KeyEvent::down);
    };
    EXPECT_EQ(presses(), 0);
    QTest::keyClicks(password, "c");
    EXPECT_TRUE(h.Window().NoiseTimer().Enabled());
    EXPECT_GT(presses(), 0);

    h.Window().NoiseTimer().SetEnabled(false); // as focus events in an unusual order may leave it
    QTest::keyClicks(password, "a");
    EXPECT_TRUE(h.Window().NoiseTimer().Enabled());
    h.foreground.foreground = false;
    const auto obsfucate = [&] { return h.Window().ToolbarWidgetControl()->ButtonValue("Obsfucate"); };
    for (int tick = 0; tick < 100 && obsfucate() == 1; ++tick) { // a key due, then a second
        h.Engine().NoiseTimerTick();
    }
    EXPECT_EQ(obsfucate(), 2);
    h.foreground.foreground = true;
    h.Engine().NoiseTimerTick();
    EXPECT_EQ(obsfucate(), 1);
}
