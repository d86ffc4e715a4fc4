#include "Keyboard.h"

namespace mirvane {

bool Keyboard::HideMouse() {
    const bool ok = mWindow->AskOkCancel(
        u"Hide mouse - turn it into grey dot?",
        u"Click OK if you want your mouse to become a small grey dot when using this on screen keyboard.\r\n"
        u"(This is designed to fool malicious screen capture programs and is only available in the password "
        u"mask view mode.)\r\n"
        u"\r\n"
        u"This will not affect any other programs, and can be undone by going to Mouse Mode - Standard.");
    SetHiddenPointer(ok ? 1 : 0);
    return ok;
}

bool Keyboard::ShowMouse() {
    SetHiddenPointer(0);
    mWindow->SetCustomPointer(false);
    return false;
}

void Keyboard::SetHiddenPointer(std::int16_t hidden) {
    mWindow->SetCustomPointer(hidden == 1);
    mMouseHidden = hidden == 1;
}

} // namespace mirvane
