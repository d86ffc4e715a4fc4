#include "Keyboard.h"

namespace mirvane {

void Keyboard::RefreshToolbar() {
    ToolbarControl& toolbar = mWindow->Toolbar();
    const auto press = [&toolbar](std::string_view key, bool pressed) {
        toolbar.SetButtonValue(key, pressed ? 1 : 0);
    };

    // Pressed while on; 2, marked, while on but blocked.
    toolbar.SetButtonValue("Obsfucate", !mObsfucate ? 0 : mNoiseBlocked ? 2 : 1);
    if (mInputMode >= 1 && mInputMode <= 3) {
        press("Standard", mInputMode == 1);
        press("Hover", mInputMode == 2);
        press("HideMouse", mInputMode == 3);
    }
    press("ToggleMask", !mTextIsMasked);
    press("Beep", mBeepOnHover);
    press("KeepOnTop", mWindow->MenuEntry(Menu::FileKeepOnTop).Checked());
    press("KeepPassword", mWindow->MenuEntry(Menu::OptionsKeepPasswordAfterDragDrop).Checked());
    press("ScrambleAll", mKeyboardLayoutType == kLayoutScrambleAll);
    press("Dvorak", mKeyboardLayoutType == kLayoutDvorak);
    toolbar.Refresh();
}

} // namespace mirvane
