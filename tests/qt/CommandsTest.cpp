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
        bool unscrambleEnabled = false;
        bool dvorakEnabled = true;
        std::u16string password = u"ab"; // after typing "ab" first
    };
    const std::set<std::string> start{"Standard", "KeepPassword"};
    const std::set<std::string> scrambled{"Standard", "KeepPassword", "ScrambleAll"};
    const Case cases[] = {
        {"nothing", {}, 0, true, start},
        {"mask by menu", {Menu::ViewPasswordMask}, 0, false, {"Standard", "KeepPassword", "ToggleMask"}},
        {"mask from the menu, then the toolbar", {Menu::ViewPasswordMask, "ToggleMask"}, 0, true, start},
        {"scramble all", {"ScrambleAll"}, 3, true, scrambled, true},
        {"scramble all twice", {"ScrambleAll", "ScrambleAll"}, 0, true, start},
        {"menu, twice", {Menu::EntryModeScrambleAll, Menu::EntryModeScrambleAll}, 3, true, scrambled, true},
        {"dvorak", {Menu::EntryModeDvorak}, 1, true, {"Standard", "KeepPassword", "Dvorak"}, true, false},
        {"dvorak, then its button", {Menu::EntryModeDvorak, "Dvorak"}, 0, true, start},
        {"scramble on screen", {"ScrambleOnScreen"}, 2, true, start, true},
        {"scramble on screen, then unscramble", {"ScrambleOnScreen", "Unscramble"}, 0, true, start},
        {"unscramble while standard", {"Unscramble", Menu::EntryModeUnscrambleAll}, 0, true, start},
        {"keep password off", {Menu::OptionsKeepPasswordAfterDragDrop}, 0, true, {"Standard"}},
        {"keep on top", {"KeepOnTop"}, 0, true, {"Standard", "KeepPassword", "KeepOnTop"}},
        {"clear", {"Clear"}, 0, true, start, false, true, u""},
        {"hover", {"Hover"}, 0, true, {"Hover", "KeepPassword"}},
        {"hover, then standard from the menu", {"Hover", Menu::ModeStandard}, 0, true, start},
        {"beep by menu", {Menu::OptionsBeepOnHover}, 0, true, {"Standard", "KeepPassword", "Beep"}},
        {"beep from the menu, then the toolbar", {Menu::OptionsBeepOnHover, "Beep"}, 0, true, start},
        {"noise by menu", {Menu::OptionsObsfucate}, 0, true, {"Standard", "KeepPassword", "Obsfucate"}},
        {"noise from the menu, off by the toolbar", {Menu::OptionsObsfucate, "Obsfucate"}, 0, true, start},
        {"hover, then noise", {"Hover", "Obsfucate"}, 0, true, {"Standard", "KeepPassword", "Obsfucate"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowHarness h;
        h.Click("a");
        h.Click("b");
        for (const Step& step : c.steps) {
            std::visit([&h](auto command) { h.Command(command); }, step);
        }
        EXPECT_EQ(h.Engine().KeyboardLayoutType(), c.layout);
        EXPECT_EQ(h.Engine().TextIsMasked(), c.masked);
        EXPECT_EQ(h.Window().MenuAction(Menu::ViewPasswordMask)->isChecked(), c.masked);
        EXPECT_EQ(h.Window().PasswordWidget()->isHidden(), !c.masked);
        for (const QAction* button : h.Window().ToolbarWidgetControl()->actions()) {
            const std::string key = button->objectName().toStdString();
            EXPECT_EQ(button->isChecked(), c.pressed.count(key) == 1) << key;
        }
        EXPECT_EQ(h.Window().MenuAction(Menu::EntryModeUnscrambleAll)->isEnabled(), c.unscrambleEnabled);
        EXPECT_EQ(h.Window().MenuAction(Menu::EntryModeDvorak)->isEnabled(), c.dvorakEnabled);
        EXPECT_EQ(h.Engine().CurrentPassword(), c.password);
        const bool noise = c.pressed.count("Obsfucate") == 1;
        EXPECT_EQ(h.Engine().Obsfucate(), noise);
        EXPECT_EQ(h.Window().MenuAction(Menu::OptionsObsfucate)->isChecked(), noise);
    }
}
