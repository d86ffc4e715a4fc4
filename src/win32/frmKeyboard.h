#pragma once

#include "EditLine.h"
#include "InputGuard.h"
#include "Win32Controls.h"

#include "engine/Controls.h"
#include "engine/ErrorLog.h"
#include "engine/KeyButtonEvents.h"
#include "form/DropGate.h"
#include "form/KeyboardForm.h"
#include "platform/WindowStacking.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

namespace mirvane {

// The main window: the 65 keys, the two text lines, menus, toolbar and timers, as native
// controls. Each message reads or flips a control and forwards to the form or the engine.
class frmKeyboard final : public MainWindow, private FormToolkit {
public:
    // Shows the about box modally over the main window.
    using ShowAbout = std::function<void(Keyboard& keyboard, HWND owner)>;

    frmKeyboard(ErrorLog& errors, WindowStacking& stacking, ShowAbout showAbout);
    ~frmKeyboard() override;
    frmKeyboard(const frmKeyboard&) = delete;
    frmKeyboard& operator=(const frmKeyboard&) = delete;

    // Keyboard accelerators of the menus, for the message loop.
    bool TranslateAccelerator(MSG& message) const;

    // MainWindow
    KeyButton& Button(int number) override { return *mKeyButtons.at(static_cast<std::size_t>(number - 1)); }
    TextLine& Password() override { return *txtPassword; }
    TextLine& PlainText() override { return *txtText; }
    MenuItem& MenuEntry(Menu item) override { return *mMenuItems.at(static_cast<std::size_t>(item)); }
    Timer& HoverTimer() override { return *mTimer1; }
    Timer& NoiseTimer() override { return *mRandomNoise; }
    ToolbarControl& Toolbar() override { return *tbToolbar; }
    Placeable& StatusBar() override { return *StatusBar1; }
    ScreenMetrics Screen() const override;
    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(mWindow); }
    void Show() override;
    bool SizedByWindowManager() const override { return IsZoomed(mWindow) != FALSE; }
    bool CustomPointer() const override { return mPointerIsDot; }
    void SetCustomPointer(bool greyDot) override;
    ScreenPoint PointerPosition() const override;
    void Beep() override { MessageBeep(MB_OK); }
    bool TextLineHasFocus() const override;
    bool AskOkCancel(const std::u16string& title, const std::u16string& text) override;
    void AttachKeyboard(Keyboard* keyboard) override;

    // Placeable: the outer frame, in twips; its size counts the frame as fixed allowances.
    std::int32_t Left() const override;
    void SetLeft(std::int32_t twips) override;
    std::int32_t Top() const override;
    void SetTop(std::int32_t twips) override;
    std::int32_t Width() const override;
    void SetWidth(std::int32_t twips) override;
    std::int32_t Height() const override;
    void SetHeight(std::int32_t twips) override;
    bool Visible() const override { return IsWindowVisible(mWindow) != FALSE; }
    void SetVisible(bool visible) override { ShowWindow(mWindow, visible ? SW_SHOW : SW_HIDE); }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChildProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(WPARAM wParam, LPARAM lParam);
    void ChildMouse(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    KeyButtonWindow* KeyOf(HWND child) const;
    void CreateControls();
    WNDPROC Adopt(HWND child);
    void CreateMenus();
    void PlaceAtDesign();
    void MoveFrame(int x, int y, int width, int height);
    SIZE ClientSize() const;
    void MovedToDensity(int dotsPerInch, const RECT& suggested);
    RECT Frame() const;

    // FormToolkit
    void CloseWindow() override { PostMessageW(mWindow, WM_CLOSE, 0, 0); }
    void ShowAboutBox() override;
    bool MouseButtonHeld() const override;
    bool Printable(char16_t code) const override;
    void ClearOwnClipboard() override;
    DropEffect RunDrag(SecretText dragged) override;
    void OfferCopy(const SecretText& text) override { txtText->OfferCopy(text); }
    void WithdrawCopy() override { txtText->WithdrawCopy(); }
    void RaiseCursorCount() override { ShowCursor(TRUE); }

    WindowStacking& mStacking;
    ShowAbout mShowAbout;
    Keyboard* mKeyboard = nullptr;
    KeyboardForm mForm;
    HWND mWindow = nullptr;
    HMENU mMenuBar = nullptr;
    HACCEL mAccelerators = nullptr;
    HCURSOR mGreyDot = nullptr;
    WNDPROC mKeyProcedure = nullptr;
    WNDPROC mToolbarProcedure = nullptr;
    HFONT mFont = nullptr;
    LOGFONTW mFontDesign{};           // the system's message font, at the density below
    double mFontDesignDensity = 15.0; // twips per pixel
    HBRUSH mBackground = nullptr;
    bool mPointerIsDot = false;
    bool mShown = false;
    std::optional<RECT> mUnshownFrame;
    std::wstring mTooltip; // the text a tooltip shows, kept while it shows

    std::unique_ptr<PlacedWindow<Placeable>> StatusBar1;
    std::unique_ptr<EditLine> txtText;
    std::vector<std::unique_ptr<KeyButtonWindow>> mKeyButtons;
    std::unique_ptr<ToolbarWindow> tbToolbar;
    std::unique_ptr<EditLine> txtPassword;
    std::unique_ptr<WindowTimer> mTimer1;
    std::unique_ptr<WindowTimer> mRandomNoise;
    std::array<std::unique_ptr<MenuItem>, kMenuCount> mMenuItems;
    std::unique_ptr<InputGuard> mInputGuard;
    DropGate mDropGate{std::chrono::milliseconds(900)};
};

} // namespace mirvane
