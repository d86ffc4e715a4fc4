#include "frmKeyboard.h"

#include "common/ErrorObject.h"
#include "engine/Keyboard.h"

#include <QSignalBlocker>

#include <string_view>
#include <utility>

namespace mirvane {

namespace {
constexpr std::string_view kTextLinesTimersAndImages[] = {"Timer1",         "txtPassword", "txtText",
                                                          "tmrRandomNoise", "ImageList1",  "ilToolbarImages"};

bool StaysWhenToolbarShows(std::string_view name) {
    if (name.substr(0, 3) == "mnu") {
        return true;
    }
    for (std::string_view kept : kTextLinesTimersAndImages) {
        if (name == kept) {
            return true;
        }
    }
    return false;
}
} // namespace

// A checkable action has already flipped itself when it triggers; put it back, so that
// every command reads the check as it was and flips it itself where it should.
void frmKeyboard::OnMenu(Menu item) {
    QAction* action = MenuAction(item);
    if (action->isCheckable()) {
        const QSignalBlocker blocker(action);
        action->setChecked(!action->isChecked());
    }
    if (mKeyboard == nullptr) {
        return;
    }
    Keyboard& keyboard = *mKeyboard;
    switch (item) {
    case Menu::FileExit:
        close();
        return;
    case Menu::FileKeepOnTop:
        KeepOnTopClick();
        break;
    case Menu::OptionsKeepPasswordAfterDragDrop:
        KeepPasswordClick();
        break;
    case Menu::HelpAbout:
        AboutClick();
        break;
    case Menu::EntryModeScramble:
        keyboard.SetKeyboardLayoutType(kLayoutScrambleOnScreen);
        break;
    case Menu::EntryModeScrambleAll:
        keyboard.SetKeyboardLayoutType(kLayoutScrambleAll);
        break;
    case Menu::EntryModeDvorak:
        keyboard.SetKeyboardLayoutType(keyboard.KeyboardLayoutType() == kLayoutDvorak ? kLayoutStandard
                                                                                      : kLayoutDvorak);
        break;
    case Menu::EntryModeUnscrambleAll:
        if (keyboard.KeyboardLayoutType() != kLayoutStandard) {
            keyboard.SetKeyboardLayoutType(kLayoutStandard);
        }
        break;
    case Menu::ViewToolbar:
        ViewToolbarClick();
        break;
    case Menu::ModeStandard:
        keyboard.SetInputMode(1);
        break;
    case Menu::ModeHover:
        keyboard.SetInputMode(2);
        break;
    case Menu::ModeHiddenMouseAndHover:
        keyboard.SetInputMode(3);
        break;
    case Menu::OptionsBeepOnHover:
        BeepClick();
        break;
    case Menu::OptionsObsfucate:
        ObsfucateClick();
        break;
    case Menu::ViewPasswordMask:
        keyboard.SetTextIsMasked(!MenuEntry(Menu::ViewPasswordMask).Checked());
        break;
    default:
        return;
    }
}

void frmKeyboard::OnToolbarButton(const QString& key) {
    if (mKeyboard == nullptr) {
        return;
    }
    Keyboard& keyboard = *mKeyboard;
    const std::int16_t layout = keyboard.KeyboardLayoutType();
    if (key == QLatin1String("Standard")) {
        keyboard.SetInputMode(1);
    } else if (key == QLatin1String("Hover")) {
        keyboard.SetInputMode(2);
    } else if (key == QLatin1String("HideMouse")) {
        keyboard.SetInputMode(3);
    } else if (key == QLatin1String("Beep")) {
        BeepClick();
    } else if (key == QLatin1String("ToggleMask")) {
        keyboard.SetTextIsMasked(!MenuEntry(Menu::ViewPasswordMask).Checked());
    } else if (key == QLatin1String("ScrambleOnScreen")) {
        keyboard.SetKeyboardLayoutType(kLayoutScrambleOnScreen);
    } else if (key == QLatin1String("ScrambleAll")) {
        keyboard.SetKeyboardLayoutType(layout == kLayoutScrambleAll ? kLayoutStandard : kLayoutScrambleAll);
    } else if (key == QLatin1String("Unscramble")) {
        if (layout != kLayoutStandard) {
            keyboard.SetKeyboardLayoutType(kLayoutStandard);
        }
    } else if (key == QLatin1String("Clear")) {
        keyboard.ClearText();
    } else if (key == QLatin1String("Dvorak")) {
        keyboard.SetKeyboardLayoutType(layout == kLayoutDvorak ? kLayoutStandard : kLayoutDvorak);
    } else if (key == QLatin1String("KeepOnTop")) {
        KeepOnTopClick();
    } else if (key == QLatin1String("KeepPassword")) {
        KeepPasswordClick();
    } else if (key == QLatin1String("Obsfucate")) {
        ObsfucateClick();
    }
    // A pressed-state button toggles itself when clicked; show the state actually in force.
    keyboard.RefreshToolbar();
}

bool frmKeyboard::FlipCheck(Menu item) {
    MenuItem& entry = MenuEntry(item);
    entry.SetChecked(!entry.Checked());
    return entry.Checked();
}

void frmKeyboard::KeepOnTopClick() {
    try {
        const bool onTop = FlipCheck(Menu::FileKeepOnTop);
        mKeyboard->SetKeepOnTop(onTop);
        mStacking.SetTopMost(Handle(), onTop);
        mKeyboard->RefreshToolbar();
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("mnuFileKeepOnTop_Click", error.number, error.description, *this);
    }
}

// Read, flip and write the menu check, so that menu and toolbar never disagree.
void frmKeyboard::BeepClick() { mKeyboard->SetBeepOnHover(FlipCheck(Menu::OptionsBeepOnHover)); }

// The toolbar shows the new state at once, off as well as on.
void frmKeyboard::ObsfucateClick() {
    mKeyboard->SetObsfucate(FlipCheck(Menu::OptionsObsfucate));
    mKeyboard->RefreshToolbar();
}

void frmKeyboard::KeepPasswordClick() {
    mKeyboard->SetKeepPasswordAfterDragDrop(FlipCheck(Menu::OptionsKeepPasswordAfterDragDrop));
    mKeyboard->RefreshToolbar();
}

// The about window takes the top-most place while it shows; the main window gets it back.
void frmKeyboard::AboutClick() {
    try {
        mShowAbout(*mKeyboard, mStacking, this);
        if (MenuEntry(Menu::FileKeepOnTop).Checked()) {
            mStacking.SetTopMost(Handle(), true);
        }
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("mnuHelpAbout_Click", error.number, error.description, *this);
    }
}

void frmKeyboard::ViewToolbarClick() {
    // Every control of the window by name, with its position where it has one.
    std::vector<std::pair<std::string, Placeable*>> controls{{"StatusBar1", mStatusBar.get()},
                                                             {"tmrRandomNoise", nullptr},
                                                             {"ilToolbarImages", nullptr},
                                                             {"txtText", txtText}};
    for (KeyButtonWidget* button : mKeyButtons) {
        controls.emplace_back("Command" + std::to_string(button->Number()), button);
    }
    controls.insert(controls.end(), {{"tbToolbar", tbToolbar},
                                     {"Timer1", nullptr},
                                     {"txtPassword", txtPassword},
                                     {"ImageList1", nullptr}});
    for (QAction* action : mMenuActions) {
        controls.emplace_back(action->objectName().toStdString(), nullptr);
    }

    try {
        const bool shown = FlipCheck(Menu::ViewToolbar);
        tbToolbar->SetVisible(shown);
        const std::int32_t h = tbToolbar->Height();
        if (shown) {
            for (auto& [name, control] : controls) {
                if (!StaysWhenToolbarShows(name) && control != nullptr) {
                    control->SetTop(control->Top() + h);
                }
            }
            SetHeight(Height() + h);
        } else {
            for (auto& [name, control] : controls) {
                if (control != nullptr) {
                    try {
                        control->SetTop(control->Top() - h);
                    } catch (...) {
                    }
                }
            }
            SetHeight(Height() - h);
        }
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("mnuViewToolbar_Click", error.number, error.description, *this);
    }
}

} // namespace mirvane
