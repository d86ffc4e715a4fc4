#pragma once

#include "PlacedWindow.h"

#include "engine/Controls.h"

#include <set>
#include <string>

#include <commctrl.h>
#include <windows.h>

namespace mirvane {

// One of the 65 keys. Its caption is drawn, never the BUTTON's text: any program can read a
// window's text and place, and so the scrambled map. The BUTTON is made when the window first
// shows, with the place and state the start-up gave the key: under Wine each move of a made
// key costs a round trip.
class KeyButtonWindow final : public PlacedWindow<KeyButton> {
public:
    explicit KeyButtonWindow(int number);
    void Make(HWND parent, int commandId);
    // The parent's WM_DRAWITEM for this key: the face colour, the pressed and disabled looks,
    // and the caption, where "&&" shows one "&". Pointer and focus change nothing.
    void Draw(const DRAWITEMSTRUCT& item) const;
    int Number() const override { return mNumber; }
    std::u16string Caption() const override { return mCaption; }
    void SetCaption(const std::u16string& caption) override;
    bool Enabled() const override {
        return Window() != nullptr ? IsWindowEnabled(Window()) != FALSE : mEnabled;
    }
    void SetEnabled(bool enabled) override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int mNumber;
    std::u16string mCaption;
    bool mEnabled = true; // until made
};

// An item of the menu bar, found by its command id.
class MenuItemWin32 final : public MenuItem {
public:
    MenuItemWin32(HMENU bar, UINT commandId, bool visible) : mBar(bar), mId(commandId), mVisible(visible) {}
    bool Checked() const override { return (GetMenuState(mBar, mId, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    void SetChecked(bool checked) override {
        CheckMenuItem(mBar, mId, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    bool Enabled() const override { return (GetMenuState(mBar, mId, MF_BYCOMMAND) & MF_GRAYED) == 0; }
    void SetEnabled(bool enabled) override {
        EnableMenuItem(mBar, mId, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    bool Visible() const override { return mVisible; }

private:
    HMENU mBar;
    UINT mId;
    bool mVisible;
};

// A timer of the main window. A new interval restarts it, the same one does not: the hover
// countdown is set again on every move over a key and must run from entering it.
class WindowTimer final : public Timer {
public:
    WindowTimer(HWND window, UINT_PTR id, std::int32_t interval)
        : mWindow(window), mId(id), mInterval(interval) {}
    ~WindowTimer() override { SetEnabled(false); }
    bool Enabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override;
    std::int32_t Interval() const override { return mInterval; }
    void SetInterval(std::int32_t milliseconds) override;
    // Whether a WM_TIMER of this timer is its own tick: running, and at its time (within the
    // system's timer tick) on the schedule that started with it. At most one tick a time counts.
    bool Due();

private:
    HWND mWindow;
    UINT_PTR mId;
    std::int32_t mInterval;
    bool mEnabled = false;
    ULONGLONG mNextTick = 0;
};

// tbToolbar: a common-controls toolbar whose buttons are found by key. Value 2, on but not
// working now, shows the button pressed and greyed.
class ToolbarWindow final : public PlacedWindow<ToolbarControl> {
public:
    static constexpr int kFirstCommandId = 2000; // then one per entry of the toolbar table
    explicit ToolbarWindow(HWND parent);
    ~ToolbarWindow() override;
    ToolbarWindow(const ToolbarWindow&) = delete;
    ToolbarWindow& operator=(const ToolbarWindow&) = delete;
    int ButtonValue(std::string_view key) const override;
    void SetButtonValue(std::string_view key, int value) override;
    void Refresh() override { InvalidateRect(Window(), nullptr, TRUE); }
    // The key of a button's command id, empty for none.
    static std::string_view KeyOf(int commandId);
    static std::string_view Tooltip(int commandId);

private:
    static int CommandOf(std::string_view key);

    HIMAGELIST mImages = nullptr;
};

} // namespace mirvane
