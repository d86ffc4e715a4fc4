#pragma once

#include "engine/Controls.h"

#include <array>
#include <string_view>

namespace mirvane {

// The menu bar as designed: a top-level menu, then its items. "-" is a separator.
struct MenuEntryDesign {
    Menu id;
    std::string_view name;
    std::string_view caption;
    std::string_view shortcut;
    bool topLevel;
    bool checkable;
    bool checked;
    bool enabled;
    bool visible;
};

inline constexpr std::array<MenuEntryDesign, kMenuCount> kMenuEntries{{
    {Menu::File, "mnuFile", "&File", "", true, false, false, true, true},
    {Menu::FileKeepOnTop, "mnuFileKeepOnTop", "Keep on &Top", "", false, true, false, true, true},
    {Menu::FileBar0, "mnuFileBar0", "-", "", false, false, false, true, true},
    {Menu::FileExit, "mnuFileExit", "E&xit", "Ctrl+Q", false, false, false, true, true},
    {Menu::Mode, "mnuMode", "&Mouse Mode", "", true, false, false, true, true},
    {Menu::ModeStandard, "mnuModeStandard", "1. Standard", "", false, true, true, true, true},
    {Menu::ModeHover, "mnuModeHover", "2. Hover Entry", "", false, true, false, true, true},
    {Menu::ModeHiddenMouseAndHover, "mnuModeHiddenMouseAndHover", "3. Hidden Mouse and Hover Entry", "",
     false, true, false, true, true},
    {Menu::EntryMode, "mnuEntryMode", "&Keyboard Mode", "", true, false, false, true, true},
    {Menu::EntryModeScramble, "mnuEntryModeScramble", "Scramble &JUST the on-screen keys", "", false, false,
     false, true, true},
    {Menu::EntryModeScrambleAll, "mnuEntryModeScrambleAll", "Scramble the on-screen keys &AND keyboard input",
     "", false, false, false, true, true},
    {Menu::EntryModeSep1, "mnuEntryModeSep1", "-", "", false, false, false, true, true},
    {Menu::EntryModeDvorak, "mnuEntryModeDvorak", "Use &Dvorak layout for on-screen keys AND keyboard", "",
     false, false, false, true, true},
    {Menu::EntryModeSep2, "mnuEntryModeSep2", "-", "", false, false, false, true, true},
    {Menu::EntryModeUnscrambleAll, "mnuEntryModeUnscrambleAll",
     "Return on-screen keys and keyboard input to &normal", "", false, false, false, false, true},
    {Menu::View, "mnuView", "&View", "", true, false, false, true, true},
    {Menu::ViewToolbar, "mnuViewToolbar", "&Toolbar", "", false, true, true, true, true},
    {Menu::ViewBar0, "mnuViewBar0", "-", "", false, false, false, true, true},
    {Menu::ViewPasswordMask, "mnuViewPasswordMask", "&Password Mask", "Ctrl+M", false, true, true, true,
     true},
    {Menu::Options, "mnuOptions", "&Options", "", true, false, false, true, true},
    {Menu::OptionsBeepOnHover, "mnuOptionsBeepOnHover", "&Beep on Hover Entry", "", false, true, false, true,
     true},
    {Menu::OptionsKeepPasswordAfterDragDrop, "mnuOptionsKeepPasswordAfterDragDrop",
     "&Keep Password after Drag Drop", "", false, true, false, true, true},
    {Menu::OptionsBar0, "mnuOptionsBar0", "-", "", false, false, false, true, true},
    {Menu::OptionsObsfucate, "mnuOptionsObsfucate", "&Hide password in amongst random characters", "", false,
     true, false, true, true},
    {Menu::OptionsReveal, "mnuOptionsReveal", "&Reveal password (remove random characters)", "", false, false,
     false, true, false},
    {Menu::Help, "mnuHelp", "Help", "", true, false, false, true, true},
    {Menu::HelpAbout, "mnuHelpAbout", "About", "", false, false, false, true, true},
}};

} // namespace mirvane
