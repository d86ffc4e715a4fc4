#include "WindowHarness.h"

#include <gtest/gtest.h>

#include <set>
#include <variant>

using namespace mirvane;
using namespace mirvane::test;


// Each command from the menu or the toolbar: the state it sets and every indicator after it.
// At start "Standard" and "KeepPassword" are pressed; "ToggleMask" is down while in clear;
// "ScrambleAll" and "Dvorak" show layouts 3 and 1; the plain push buttons never stay down.
TEST(Commands, EachCommandSetsItsStateAndEveryIndicator) {
    using Step = std::variant<Menu, const char*>;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int layout;
        bool masked;
        std::set<std::string> pressed;
        bool unscrambleEnabled;
        bool dvorakEnabled;
        std::u16string password; // after typing "ab" first
    };
    const std::set<std::string> start{"Standard", "KeepPassword"};
    const Case cases[] = {
        {"nothing", {}, 0, true, start, false, true, u"ab"},
        {"mask from the menu", {Menu::ViewPasswordMask}, 0, false, {"Standard", "KeepPassword", "ToggleMask"},
         false, true, u"ab"},
        {"mask from the menu, then the toolbar", {Menu::ViewPasswordMask, "ToggleMask"}, 0, true, start, false,
         true, u"ab"},
        {"scramble all", {"ScrambleAll"}, 3, true, {"Standard", "KeepPassword", "ScrambleAll"}, true, true, u"ab"},
        {"scramble all twice", {"ScrambleAll", "ScrambleAll"}, 0, true, start, false, true, u"ab"},
        {"scramble all twice from the menu", {Menu::EntryModeScrambleAll, Menu::EntryModeScrambleAll}, 3, true,
         {"Standard", "KeepPassword", "ScrambleAll"}, true, true, u"ab"},
        {"dvorak", {Menu::EntryModeDvorak}, 1, true, {"Standard", "KeepPassword", "Dvorak"}, true, false, u"ab"},
        {"dvorak, then its button", {Menu::EntryModeDvorak, "Dvorak"}, 0, true, start, false, true, u"ab"},
        {"scramble on screen", {"ScrambleOnScreen"}, 2, true, start, true, true, u"ab"},
        {"scramble on screen, then unscramble", {"ScrambleOnScreen", "Unscramble"}, 0, true, start, false, true,
         u"ab"},
        {"unscramble while standard", {"Unscramble", Menu::EntryModeUnscrambleAll}, 0, true, start, false, true,
         u"ab"},
        {"keep password off", {Menu::OptionsKeepPasswordAfterDragDrop}, 0, true, {"Standard"}, false, true, u"ab"},
        {"keep on top", {"KeepOnTop"}, 0, true, {"Standard", "KeepPassword", "KeepOnTop"}, false, true, u"ab"},
        {"clear", {"Clear"}, 0, true, start, false, true, u""},
        {"hover", {"Hover"}, 0, true, {"Hover", "KeepPassword"}, false, true, u"ab"},
        {"hover, then standard from the menu", {"Hover", Menu::ModeStandard}, 0, true, start, false, true, u"ab"},
        {"beep from the menu", {Menu::OptionsBeepOnHover}, 0, true, {"Standard", "KeepPassword", "Beep"}, false,
         true, u"ab"},
        {"beep from the menu, then the toolbar", {Menu::OptionsBeepOnHover, "Beep"}, 0, true, start, false, true,
         u"ab"},
        {"noise from the menu", {Menu::OptionsObsfucate}, 0, true, {"Standard", "KeepPassword", "Obsfucate"}, false,
         true, u"ab"},
        {"noise from the menu, off by the toolbar", {Menu::OptionsObsfucate, "Obsfucate"}, 0, true, start, false,
         true, u"ab"},
        {"hover, then noise", {"Hover", "Obsfucate"}, 0, true, {"Standard", "KeepPassword", "Obsfucate"}, false, true,
         u"ab"},
    };
    const char* const keys[] = {"Standard", "Hover", "HideMouse", "ScrambleOnScreen", "ScrambleAll",
                                "Dvorak", "Unscramble", "ToggleMask", "Beep", "KeepPassword",
                                "Obsfucate", "KeepOnTop", "Clear"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowHarness h;
        h.Click("a");
        h.Click("b");
        for (const Step& step : c.steps) {
            if (std::holds_alternative<Menu>(step)) {
                h.Menu(std::get<Menu>(step));
            } else {
                h.ToolbarButton(std::get<const char*>(step));
            }
        }
        EXPECT_EQ(h.Engine().KeyboardLayoutType(), c.layout);
        EXPECT_EQ(h.Engine().TextIsMasked(), c.masked);
        EXPECT_EQ(h.Window().MenuAction(Menu::ViewPasswordMask)->isChecked(), c.masked);
        EXPECT_EQ(h.Window().PasswordWidget()->isHidden(), !c.masked);
        for (const char* key : keys) {
            EXPECT_EQ(h.Window().ToolbarWidgetControl()->ButtonAction(key)->isChecked(), c.pressed.count(key) == 1)
                << key;
        }
        EXPECT_EQ(h.Window().MenuAction(Menu::EntryModeUnscrambleAll)->isEnabled(), c.unscrambleEnabled);
        EXPECT_EQ(h.Window().MenuAction(Menu::EntryModeDvorak)->isEnabled(), c.dvorakEnabled);
        EXPECT_EQ(h.Engine().CurrentPassword(), c.password);
        const bool noise = c.pressed.count("Obsfucate") == 1;
        EXPECT_EQ(h.Engine().Obsfucate(), noise);
        EXPECT_EQ(h.Window().MenuAction(Menu::OptionsObsfucate)->isChecked(), noise);
    }
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
