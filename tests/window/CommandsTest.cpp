#include "WindowHarness.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
bool Pressed(WindowHarness& h, const char* key) {
    return h.Window().ToolbarWidgetControl()->ButtonAction(key)->isChecked();
}
} // namespace

TEST(Commands, ClickingKeysTypesIntoTheRealPasswordLine) {
    WindowHarness h;
    h.Click("shft");
    h.Click("P");
    for (const char* key : {"a", "s", "s"}) {
        h.Click(key);
    }
    h.Click("shft");
    h.Click("&&");
    EXPECT_EQ(h.Engine().CurrentPassword(), u"Pass&");
    EXPECT_EQ(h.Window().PasswordWidget()->text(), QStringLiteral("*****"));
    EXPECT_EQ(h.Window().PasswordWidget()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(h.Window().PasswordWidget()->displayText(), QStringLiteral("*****"));
}

TEST(Commands, TheMaskMenuAndToolbarShowAndHideThePassword) {
    WindowHarness h;
    h.Click("x");
    h.Menu(Menu::ViewPasswordMask);
    EXPECT_FALSE(h.Engine().TextIsMasked());
    EXPECT_FALSE(h.Window().MenuAction(Menu::ViewPasswordMask)->isChecked());
    EXPECT_TRUE(Pressed(h, "ToggleMask"));
    EXPECT_TRUE(h.Window().PasswordWidget()->isHidden());
    EXPECT_FALSE(h.Window().PlainTextWidget()->isHidden());
    EXPECT_EQ(h.Window().PlainTextWidget()->toPlainText(), QStringLiteral("x"));
    EXPECT_TRUE(h.Window().KeyButtonWidgetAt(16)->isEnabled());

    h.ToolbarButton("ToggleMask");
    EXPECT_TRUE(h.Engine().TextIsMasked());
    EXPECT_TRUE(h.Window().MenuAction(Menu::ViewPasswordMask)->isChecked());
    EXPECT_FALSE(Pressed(h, "ToggleMask"));
    EXPECT_EQ(h.Window().PasswordWidget()->text(), QStringLiteral("*"));
    EXPECT_FALSE(h.Window().KeyButtonWidgetAt(29)->isEnabled());
}

TEST(Commands, LayoutCommandsFromMenuAndToolbar) {
    WindowHarness h;
    Keyboard& k = h.Engine();
    h.ToolbarButton("ScrambleAll");
    EXPECT_EQ(k.KeyboardLayoutType(), 3);
    EXPECT_TRUE(Pressed(h, "ScrambleAll"));
    h.ToolbarButton("ScrambleAll");
    EXPECT_EQ(k.KeyboardLayoutType(), 0);
    EXPECT_FALSE(Pressed(h, "ScrambleAll"));

    h.Menu(Menu::EntryModeScrambleAll);
    const QString first = h.Window().KeyButtonWidgetAt(17)->text() +
                          h.Window().KeyButtonWidgetAt(18)->text() +
                          h.Window().KeyButtonWidgetAt(19)->text() + h.Window().KeyButtonWidgetAt(20)->text();
    h.Menu(Menu::EntryModeScrambleAll);
    const QString second =
        h.Window().KeyButtonWidgetAt(17)->text() + h.Window().KeyButtonWidgetAt(18)->text() +
        h.Window().KeyButtonWidgetAt(19)->text() + h.Window().KeyButtonWidgetAt(20)->text();
    EXPECT_EQ(k.KeyboardLayoutType(), 3);
    EXPECT_NE(first, second);
    EXPECT_TRUE(h.Window().MenuAction(Menu::EntryModeUnscrambleAll)->isEnabled());

    h.Menu(Menu::EntryModeDvorak);
    EXPECT_EQ(k.KeyboardLayoutType(), 1);
    EXPECT_TRUE(Pressed(h, "Dvorak"));
    EXPECT_FALSE(h.Window().MenuAction(Menu::EntryModeDvorak)->isEnabled());
    EXPECT_EQ(h.Window().KeyButtonWidgetAt(17)->text(), QStringLiteral("'"));
    h.ToolbarButton("Dvorak");
    EXPECT_EQ(k.KeyboardLayoutType(), 0);

    h.ToolbarButton("ScrambleOnScreen");
    EXPECT_EQ(k.KeyboardLayoutType(), 2);
    EXPECT_FALSE(Pressed(h, "ScrambleAll"));
    EXPECT_FALSE(Pressed(h, "Dvorak"));
    EXPECT_FALSE(Pressed(h, "ScrambleOnScreen"));
    h.ToolbarButton("Unscramble");
    EXPECT_EQ(k.KeyboardLayoutType(), 0);
    EXPECT_FALSE(h.Window().MenuAction(Menu::EntryModeUnscrambleAll)->isEnabled());
    EXPECT_EQ(h.Window().KeyButtonWidgetAt(17)->text(), QStringLiteral("q"));
}

TEST(Commands, UnscrambleAtTheStandardLayoutDoesNothing) {
    WindowHarness h;
    h.Click("a");
    const KeyTable before = h.Engine().KeyTableRows();
    h.ToolbarButton("Unscramble");
    h.Menu(Menu::EntryModeUnscrambleAll); // disabled: triggering does nothing
    EXPECT_EQ(h.Engine().KeyboardLayoutType(), 0);
    EXPECT_EQ(h.Engine().KeyTableRows(), before);
    EXPECT_EQ(h.Engine().CurrentPassword(), u"a");
}

TEST(Commands, ClearEmptiesThePassword) {
    WindowHarness h;
    h.Click("a");
    h.Click("b");
    h.ToolbarButton("Clear");
    EXPECT_EQ(h.Engine().CurrentPassword(), u"");
    EXPECT_TRUE(h.Window().PasswordWidget()->text().isEmpty());
}

TEST(Commands, HidingThenShowingTheToolbarGivesBackTheHeight) {
    WindowHarness h;
    frmKeyboard& w = h.Window();
    const std::int32_t before = w.Height();
    const std::int32_t toolbarHeight = w.ToolbarWidgetControl()->Height();
    const int firstRowBefore = w.KeyButtonWidgetAt(1)->y();
    h.Menu(Menu::ViewToolbar);
    EXPECT_FALSE(w.MenuAction(Menu::ViewToolbar)->isChecked());
    EXPECT_TRUE(w.ToolbarWidgetControl()->isHidden());
    EXPECT_EQ(w.Height(), before - toolbarHeight);
    EXPECT_EQ(w.KeyButtonWidgetAt(1)->y(), firstRowBefore - ToPixels(toolbarHeight));
    h.Menu(Menu::ViewToolbar);
    EXPECT_TRUE(w.MenuAction(Menu::ViewToolbar)->isChecked());
    EXPECT_FALSE(w.ToolbarWidgetControl()->isHidden());
    EXPECT_EQ(w.Height(), before);
    EXPECT_EQ(w.KeyButtonWidgetAt(1)->y(), firstRowBefore);
}

TEST(Commands, ExitClosesTheWindow) {
    WindowHarness h;
    ASSERT_TRUE(h.Window().isVisible());
    h.Menu(Menu::FileExit);
    EXPECT_FALSE(h.Window().isVisible());
}
