#pragma once

#include <windows.h>

namespace mirvane {

// Only the person drives the window. Any program of the user may post or send messages to
// any window on the desktop, and a posted click, key or command looks just like the person's
// own; what tells them apart is where the message came from, not its name. The system says of
// each input message whether a device made it, the system did, or it was injected (by anyone),
// and of a posted or sent one that nothing is known. So every message that can change what
// Mirvane shows, holds or gives away (pointer, keys, characters, menus, commands, focus,
// selection, edits, the toolbar's and keys' state) is acted on only when a device or the system
// made it, or it is one of Mirvane's own injected keys that it is waiting for. A message sent
// from another thread is refused outright, whatever it claims.
class InputGuard {
public:
    explicit InputGuard(HWND window); // one per thread: the window, its children and its menus
    ~InputGuard();
    InputGuard(const InputGuard&) = delete;
    InputGuard& operator=(const InputGuard&) = delete;

    // Asked first by every window procedure of the window and its children: true for a guarded
    // message sent from another thread, which the procedure then drops.
    static bool RefusesSent(UINT message, WPARAM wParam);
    // Another thread's move, resize, restacking, showing or hiding of one of the windows is
    // stopped before it happens (WM_WINDOWPOSCHANGING), and its change of the window's styles
    // (say, letting clicks through a layered window) is undone (WM_STYLECHANGED).
    static void KeepsPlace(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Hands a retrieved message to its window. A key's characters go straight after it, not
    // through the queue as TranslateMessage would put them, where another program's posted
    // characters could come first and be taken for the person's.
    static void Deliver(const MSG& message);

    // The window procedure's WM_ENTERMENULOOP, WM_MENUSELECT and WM_EXITMENULOOP, from the
    // menu's own loop (another thread's are refused before they get here).
    void MenuLoopStarted() { mMenuOpening = mInMenu = true; }
    void MenuSelected(WPARAM wParam, LPARAM lParam);
    void MenuLoopEnded() {
        mChosen = mHighlighted;
        mInMenu = mMenuOpening = false;
    }

private:
    static LRESULT CALLBACK Retrieved(int code, WPARAM removal, LPARAM message);
    bool Admit(const MSG& message, bool remove);
    bool Ours(HWND window) const;

    HWND mWindow;
    HHOOK mHook = nullptr;
    UINT mHighlighted = 0; // the menu item under the highlight as the menu loop ran
    UINT mChosen = 0;      // the menu's choice, waiting in the queue; 0 for none
    // The person's key-down whose characters TranslateMessage (in a menu's or a message box's
    // loop) is about to post: only characters of that key-down are taken.
    HWND mTranslatedWindow = nullptr;
    LPARAM mTranslatedKey = 0;
    bool mTranslating = false;
    // A menu the person opened from the keyboard opens its first item with a key of its own,
    // posted as the loop starts (Wine posts Return or Down).
    bool mMenuOpening = false;
    // Mirvane's own noise keys are for its line: one sent just before a menu opened must not
    // choose an item in it.
    bool mInMenu = false;
};

} // namespace mirvane
