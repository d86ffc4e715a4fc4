#pragma once

#include <windows.h>

namespace mirvane {

// Commands reach the window only from its own menus, toolbar, keys and accelerators. Those
// send WM_COMMAND from the window's own thread, but for a menu choice, which the menu posts
// just before its loop ends. Any other program can post or send a WM_COMMAND to any window
// on the desktop: a posted one is dropped as it leaves the queue, whoever's loop takes it
// (a message box's, a drag's), unless it is the choice the menu just made; a sent one comes
// from another thread, and the window procedure asks Accepts(). The same holds for the edit
// commands (copy, cut, paste, clear, undo), which the lines only ever send to themselves.
class CommandGuard {
public:
    explicit CommandGuard(HWND window); // one per thread
    ~CommandGuard();
    CommandGuard(const CommandGuard&) = delete;
    CommandGuard& operator=(const CommandGuard&) = delete;

    // The window procedure's WM_MENUSELECT and WM_EXITMENULOOP.
    void MenuSelected(WPARAM wParam, LPARAM lParam);
    void MenuLoopEnded() { mChosen = mHighlighted; }
    // Whether the WM_COMMAND the window procedure is handling now came from this program.
    static bool Accepts() { return InSendMessage() == FALSE; }

private:
    static LRESULT CALLBACK Retrieved(int code, WPARAM removal, LPARAM message);
    bool Admit(const MSG& message);

    HWND mWindow;
    HHOOK mHook = nullptr;
    UINT mHighlighted = 0; // the menu item under the highlight as the menu loop ran
    UINT mChosen = 0;      // the menu's choice, waiting in the queue; 0 for none
};

} // namespace mirvane
