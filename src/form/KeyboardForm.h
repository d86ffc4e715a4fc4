#pragma once

#include "TextLineEvents.h"

#include "common/SecretText.h"
#include "engine/Controls.h"
#include "engine/ErrorLog.h"
#include "platform/WindowStacking.h"

#include <cstdint>
#include <string_view>

namespace mirvane {

enum class DropEffect { None, Copy, Move };

// What only the toolkit that draws the window can do for the form.
class FormToolkit {
public:
    virtual ~FormToolkit() = default;
    virtual void CloseWindow() = 0;
    virtual void ShowAboutBox() = 0; // modal over the main window
    virtual bool MouseButtonHeld() const = 0;
    // Whether a character outside ASCII is one a person can type and see.
    virtual bool Printable(char16_t code) const = 0;
    // Empties the clipboard (and a primary selection), but only what this program put there.
    virtual void ClearOwnClipboard() = 0;
    // Offers the text to the one program it is dropped on; returns once the drag is over.
    virtual DropEffect RunDrag(SecretText text) = 0;
    // Puts a copy the person asked for on the clipboard, marked as a secret; it is taken back
    // after kCopyLifetimeMs unless something else has been put there since.
    virtual void OfferCopy(const SecretText& text) = 0;
    // Takes that copy back now, if the clipboard still holds it.
    virtual void WithdrawCopy() = 0;
    // Raises the system's cursor display count by one, where the system keeps one.
    virtual void RaiseCursorCount() = 0;
};

// Each time the about box is activated over a kept-on-top main window, the main window gives
// up its top-most place and the about box takes it; the about command gives it back.
void StackAboutBox(bool keepOnTop, WindowStacking& stacking, WindowHandle mainWindow, WindowHandle about);

// The main window's handlers: what its menus, toolbar, text lines and window events do,
// whatever toolkit draws it. Each toolkit's window forwards its events here.
class KeyboardForm final : public TextLineEvents {
public:
    KeyboardForm(MainWindow& window, ErrorLog& errors, WindowStacking& stacking, FormToolkit& toolkit)
        : mWindow(window), mErrors(errors), mStacking(stacking), mToolkit(toolkit) {}
    ~KeyboardForm() override { Wipe(mSavedText); }

    void AttachKeyboard(Keyboard* keyboard) { mKeyboard = keyboard; }

    // Commands. The menu item's check is read as it was before the click.
    void OnMenu(Menu item);
    void OnToolbarButton(std::string_view key);

    // Window events.
    void FormActivate();
    void FormDeactivate();
    void FormGotFocus(); // the frame itself got the focus
    void FormUnload();   // the window is closing
    // While a menu is open its letters choose items: no noise key may press one.
    void MenuOpened();
    void MenuClosed();
    void FormResize(); // the lines follow the window, then the engine lays out the keys
    void NoiseTimerTick();
    void HoverTimerTick();

    // The text lines' events.
    bool LineKeyDown(TextLine& line, std::int16_t& keyCode, std::int16_t shift, bool otherModifier) override;
    void LineKeyPress(TextLine& line, std::int16_t& keyAscii) override;
    void LineKeyUp(TextLine& line, std::int16_t keyCode, std::int16_t shift) override;
    void LineMouseDown(TextLine& line, std::int16_t button, std::int16_t shift) override;
    bool LineMouseMoveStartsDrag(TextLine& line, std::int16_t button, std::int16_t shift) override;
    void LineMouseMove(TextLine& line, std::int16_t button, std::int16_t shift) override;
    void LineMouseUp(TextLine& line, std::int16_t button, std::int16_t shift) override;
    void LineDoubleClick(TextLine& line) override;
    bool PlainLinePressArmsDrag(TextLine& line, std::int16_t button, std::int32_t at,
                                LinePoint point) override;
    bool PlainLineMoveTaken(TextLine& line, std::int16_t buttons, LinePoint point,
                            std::int32_t dragDistance) override;
    bool PlainLineReleaseTaken(TextLine& line, std::int32_t at) override;
    void LineCopy(TextLine& line, bool cut) override;
    void LineGotFocus(TextLine& line) override;
    void LineLostFocus(TextLine& line) override;

    // A key still held by the noise goes up with the pause: nothing it pressed stays down.
    void PauseNoise();

private:
    bool EngineTakes(std::uint16_t code) const;
    bool NoiseShouldRun() const;
    void RememberPasswordSelection();
    void ResumeNoise(TextLine& line);
    void DragPassword();
    void DragPlainText();
    static void RemoveSelectionAfterMove(TextLine& line, std::int16_t start, std::int16_t length);
    TextLine& VisibleLine();

    bool FlipCheck(Menu item);
    void KeepOnTopClick();
    void KeepPasswordClick();
    void ObsfucateClick();
    void BeepClick();
    void AboutClick();
    void ViewToolbarClick();

    MainWindow& mWindow;
    ErrorLog& mErrors;
    WindowStacking& mStacking;
    FormToolkit& mToolkit;
    Keyboard* mKeyboard = nullptr;

    bool mDragReady = false;
    std::int16_t mSavedSelStart = 0;
    std::int16_t mSavedSelLength = 0;
    SecretText mSavedText;
    int mMenusOpen = 0; // a menu bar may show the next menu before it hides the last
    bool mPlainDragArmed = false;
    LinePoint mPlainPressedAt;
};

} // namespace mirvane
