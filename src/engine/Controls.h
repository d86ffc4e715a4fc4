#pragma once

// The small interfaces through which the engine drives the main window. Lengths are
// twips, relative to the window's client area; text is UTF-16 as in the text boxes.

#include "common/SecretText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mirvane {

class Keyboard;

class Placeable {
public:
    virtual ~Placeable() = default;
    virtual std::int32_t Left() const = 0;
    virtual void SetLeft(std::int32_t twips) = 0;
    virtual std::int32_t Top() const = 0;
    virtual void SetTop(std::int32_t twips) = 0;
    virtual std::int32_t Width() const = 0;
    virtual void SetWidth(std::int32_t twips) = 0;
    virtual std::int32_t Height() const = 0;
    virtual void SetHeight(std::int32_t twips) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

// One of the 65 on-screen keys; Number() is 1 to 65 (Command1 .. Command65).
class KeyButton : public Placeable {
public:
    virtual int Number() const = 0;
    virtual std::u16string Caption() const = 0;
    virtual void SetCaption(const std::u16string& caption) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

class TextLine : public Placeable {
public:
    // Secret: the plain line shows the password itself.
    virtual SecretText Text() const = 0;
    virtual void SetText(const SecretText& text) = 0;
    virtual std::int16_t SelStart() const = 0;
    virtual void SetSelStart(std::int16_t start) = 0;
    virtual std::int16_t SelLength() const = 0;
    virtual void SetSelLength(std::int16_t length) = 0;
    virtual std::u16string PasswordChar() const = 0;
    virtual void SetPasswordChar(const std::u16string& passwordChar) = 0;
    virtual void SetFocus() = 0;
};

class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Visible() const = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual std::int32_t Interval() const = 0;
    virtual void SetInterval(std::int32_t milliseconds) = 0;
};

// The toolbar control: buttons looked up by key, Value 1 pressed and 0 released.
class ToolbarControl : public Placeable {
public:
    virtual int ButtonValue(std::string_view key) const = 0;
    virtual void SetButtonValue(std::string_view key, int value) = 0;
    virtual void Refresh() = 0;
};

// Every menu item of the main window, in the menu bar's order.
enum class Menu {
    File,
    FileKeepOnTop,
    FileBar0,
    FileExit,
    Mode,
    ModeStandard,
    ModeHover,
    ModeHiddenMouseAndHover,
    EntryMode,
    EntryModeScramble,
    EntryModeScrambleAll,
    EntryModeSep1,
    EntryModeDvorak,
    EntryModeSep2,
    EntryModeUnscrambleAll,
    View,
    ViewToolbar,
    ViewBar0,
    ViewPasswordMask,
    Options,
    OptionsBeepOnHover,
    OptionsKeepPasswordAfterDragDrop,
    OptionsBar0,
    OptionsObsfucate,
    OptionsReveal,
    Help,
    HelpAbout,
};
inline constexpr int kMenuCount = static_cast<int>(Menu::HelpAbout) + 1;

struct ScreenPoint {
    double x;
    double y;
};

struct ScreenMetrics {
    double twipsPerPixelX;
    double twipsPerPixelY;
    std::int32_t width;  // twips
    std::int32_t height; // twips
};

using WindowHandle = std::uintptr_t;

inline constexpr int kKeyButtonCount = 65;

// The most characters either text line holds (a line break counts two): every position
// must fit the 16-bit caret of the text boxes.
inline constexpr std::size_t kMaxTextLength = 32767;

// The main window. Its own Left/Top/Width/Height are the outer frame's, in twips.
class MainWindow : public Placeable {
public:
    virtual KeyButton& Button(int number) = 0; // 1 .. 65
    virtual TextLine& Password() = 0;          // txtPassword
    virtual TextLine& PlainText() = 0;         // txtText
    virtual MenuItem& MenuEntry(Menu item) = 0;
    virtual Timer& HoverTimer() = 0;       // Timer1
    virtual Timer& NoiseTimer() = 0;       // tmrRandomNoise
    virtual ToolbarControl& Toolbar() = 0; // tbToolbar
    virtual Placeable& StatusBar() = 0;    // StatusBar1
    virtual ScreenMetrics Screen() const = 0;
    virtual WindowHandle Handle() const = 0;
    virtual void Show() = 0;
    // Maximized or full screen: the window manager decides the size, the layout follows it.
    virtual bool SizedByWindowManager() const = 0;
    // The window's own pointer: the grey dot (true) or the platform's default.
    virtual bool CustomPointer() const = 0;
    virtual void SetCustomPointer(bool greyDot) = 0;
    // Where the pointer is on the screen, in pixels.
    virtual ScreenPoint PointerPosition() const = 0;
    virtual void Beep() = 0;
    // The form's active control is one of the two text lines.
    virtual bool TextLineHasFocus() const = 0;
    // A modal question with OK and Cancel and the question icon; true for OK.
    virtual bool AskOkCancel(const std::u16string& title, const std::u16string& text) = 0;
    // Gives the window its one reference back to the engine.
    virtual void AttachKeyboard(Keyboard* keyboard) = 0;
};

} // namespace mirvane
