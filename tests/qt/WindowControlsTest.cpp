#include "WindowHarness.h"

#include "form/MenuTable.h"

#include <QMenuBar>

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

// Menus and toolbar as designed, in order; hiding the toolbar gives back its height; Exit closes.
TEST(WindowControls, MenusAndToolbarHaveTheirCaptionsAndStatesTheToolbarHidesAndExitCloses) {
    WindowHarness h;
    frmKeyboard& w = h.Window();
    QStringList topCaptions;
    for (QAction* action : w.menuBar()->actions()) {
        topCaptions << action->text();
    }
    EXPECT_EQ(topCaptions,
              (QStringList{"&File", "&Mouse Mode", "&Keyboard Mode", "&View", "&Options", "Help"}));
    EXPECT_EQ(w.MenuAction(Menu::FileExit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(w.MenuAction(Menu::ViewPasswordMask)->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    EXPECT_EQ(w.MenuAction(Menu::EntryModeScrambleAll)->text(),
              QStringLiteral("Scramble the on-screen keys &AND keyboard input"));
    EXPECT_TRUE(w.MenuAction(Menu::EntryModeSep1)->isSeparator());

    const Menu checked[] = {Menu::ModeStandard, Menu::ViewToolbar, Menu::ViewPasswordMask,
                            Menu::OptionsKeepPasswordAfterDragDrop};
    for (const MenuEntryDesign& entry : kMenuEntries) {
        QAction* action = w.MenuAction(entry.id);
        const bool shouldCheck = std::ranges::find(checked, entry.id) != std::end(checked);
        EXPECT_EQ(action->isChecked(), shouldCheck) << entry.name;
        if (entry.id != Menu::OptionsReveal) { // an invisible action reads as disabled
            EXPECT_EQ(action->isEnabled(), entry.id != Menu::EntryModeUnscrambleAll) << entry.name;
        }
        EXPECT_EQ(action->isVisible(), entry.id != Menu::OptionsReveal) << entry.name;
        EXPECT_EQ(action->objectName().toStdString(), entry.name);
    }

    QStringList seen;
    for (QAction* action : w.ToolbarWidgetControl()->actions()) {
        seen << (action->isSeparator() ? QStringLiteral("|")
                                       : action->objectName() + ":" + action->toolTip());
        if (!action->isSeparator()) {
            // On a screen of twice the density each pixel of the icon is a sharp 2 x 2 block.
            const QImage image = action->icon().pixmap(QSize(16, 16), 2.0).toImage();
            EXPECT_EQ(image, image.scaled(16, 16).scaled(32, 32)) << action->objectName().toStdString();
        }
    }
    EXPECT_EQ(seen, (QStringList{"Standard:Standard Entry", "Hover:Hover Entry",
                                 "HideMouse:Hidden Mouse and Hover Entry", "|",
                                 "ScrambleOnScreen:Scramble JUST the on-screen keys",
                                 "ScrambleAll:Scramble the on-screen keys AND keyboard input",
                                 "Dvorak:Use Dvorak layout for on-screen keys AND keyboard",
                                 "Unscramble:Unscramble on-screen keys and keyboard input", "|",
                                 "ToggleMask:Show/hide the password masking", "|", "Beep:Beep on Hover Entry",
                                 "KeepPassword:Keep Password After Drag Drop",
                                 "Obsfucate:Hide password in amongst random characters", "|",
                                 "KeepOnTop:Keep On Top", "|", "Clear:Clear text/password"}));

    const std::int32_t before = w.Height();
    const std::int32_t toolbarHeight = w.ToolbarWidgetControl()->Height();
    const int firstRowBefore = w.KeyButtonWidgetAt(1)->y();
    for (const bool shown : {false, true}) {
        h.Menu(Menu::ViewToolbar);
        EXPECT_EQ(w.MenuAction(Menu::ViewToolbar)->isChecked(), shown);
        EXPECT_EQ(w.ToolbarWidgetControl()->isHidden(), !shown);
        EXPECT_EQ(w.Height(), shown ? before : before - toolbarHeight);
        EXPECT_EQ(w.KeyButtonWidgetAt(1)->y(),
                  shown ? firstRowBefore : firstRowBefore - ToPixels(toolbarHeight));
    }
    ASSERT_TRUE(w.isVisible());
    h.Menu(Menu::FileExit);
    EXPECT_FALSE(w.isVisible());
}

TEST(WindowControls, AVeryNarrowOrQuicklyResizedWindowRelaysWithoutError) {
    WindowHarness h;
    frmKeyboard& w = h.Window();
    for (int i = 60; i >= 0; --i) { // the last, 1 x 1
        w.resize(1 + (i * 37) % 900, 1 + (i * 53) % 700);
        QApplication::processEvents();
    }
    EXPECT_GE(w.Width(), 5200);
    EXPECT_GE(w.PasswordWidget()->height(), 25);
    const int unit = w.KeyButtonWidgetAt(1)->width();
    const QRect backspace = w.KeyButtonWidgetAt(15)->geometry();
    EXPECT_EQ(backspace.x() + backspace.width(), 20 + 15 * unit);
}
