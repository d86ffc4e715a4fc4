#pragma once

// Test doubles of the engine's control interfaces: plain state, with the text boxes'
// selection rules of the original controls (writing Text puts the caret at 0, SelStart
// clamps and drops the selection, SelLength clamps to the text).

#include "common/ErrorObject.h"
#include "engine/Controls.h"
#include "engine/Keyboard.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace mirvane {
// The engine keeps the password in secret memory; tests compare it with plain literals.
inline bool operator==(const SecretText& secret, const std::u16string& plain) {
    return std::u16string_view(secret) == std::u16string_view(plain);
}
} // namespace mirvane

namespace mirvane::test {

template <class Interface> class FakePlaced : public Interface {
public:
    std::int32_t Left() const override { return left; }
    void SetLeft(std::int32_t v) override { left = v; }
    std::int32_t Top() const override { return top; }
    void SetTop(std::int32_t v) override { top = v; }
    std::int32_t Width() const override { return width; }
    void SetWidth(std::int32_t v) override { width = v; }
    std::int32_t Height() const override { return height; }
    void SetHeight(std::int32_t v) override { height = v; }
    bool Visible() const override { return visible; }
    void SetVisible(bool v) override { visible = v; }

    std::int32_t left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
};

class FakeButton final : public FakePlaced<KeyButton> {
public:
    explicit FakeButton(int n) : number(n) {
        const std::string digits = std::to_string(n); // the caption it has at design time
        caption.assign(digits.begin(), digits.end());
    }
    int Number() const override { return number; }
    std::u16string Caption() const override { return caption; }
    void SetCaption(const std::u16string& c) override { caption = c; }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool e) override { enabled = e; }
    void SetLeft(std::int32_t v) override {
        if (failOnLeft) {
            throw ErrorObject(380, "test", "Invalid property value");
        }
        left = v;
        ++leftWrites;
    }

    int number;
    std::u16string caption;
    bool enabled = true, failOnLeft = false;
    int leftWrites = 0;
};

class FakeTextLine final : public FakePlaced<TextLine> {
public:
    SecretText Text() const override { return SecretText(text.begin(), text.end()); }
    void SetText(const SecretText& t) override {
        text.assign(t.begin(), t.end());
        selStart = 0;
        selLength = 0;
    }
    std::int16_t SelStart() const override { return selStart; }
    void SetSelStart(std::int16_t s) override {
        selStart = static_cast<std::int16_t>(std::clamp<int>(s, 0, static_cast<int>(text.size())));
        selLength = 0;
    }
    std::int16_t SelLength() const override { return selLength; }
    void SetSelLength(std::int16_t l) override {
        selLength =
            static_cast<std::int16_t>(std::clamp<int>(l, 0, static_cast<int>(text.size()) - selStart));
    }
    std::u16string PasswordChar() const override { return passwordChar; }
    void SetPasswordChar(const std::u16string& p) override { passwordChar = p; }
    void SetFocus() override { ++focusCount; }
    void Select(std::int16_t start, std::int16_t length) { SetSelStart(start), SetSelLength(length); }

    std::u16string text;
    std::int16_t selStart = 0, selLength = 0;
    std::u16string passwordChar;
    int focusCount = 0;
};

class FakeMenuItem final : public MenuItem {
public:
    bool Checked() const override { return checked; }
    void SetChecked(bool c) override { checked = c; }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool e) override { enabled = e; }
    bool Visible() const override { return visible; }

    bool checked = false, enabled = true, visible = true;
};

class FakeTimer final : public Timer {
public:
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool e) override {
        stops += enabled && !e ? 1 : 0;
        starts += e ? 1 : 0;
        enabled = e;
    }
    std::int32_t Interval() const override { return interval; }
    void SetInterval(std::int32_t ms) override { interval = ms; }

    bool enabled = false;
    std::int32_t interval = 0;
    int starts = 0, stops = 0; // stops: a countdown stopped, by itself or to restart
};

class FakeToolbar final : public FakePlaced<ToolbarControl> {
public:
    FakeToolbar() {
        for (const char* key :
             {"Standard", "Hover", "HideMouse", "ScrambleOnScreen", "ScrambleAll", "Dvorak", "Unscramble",
              "ToggleMask", "Beep", "KeepPassword", "Obsfucate", "KeepOnTop", "Clear"}) {
            values[key] = 0;
        }
        height = 420;
    }
    int ButtonValue(std::string_view key) const override { return values.at(std::string(key)); }
    void SetButtonValue(std::string_view key, int value) override {
        auto found = values.find(std::string(key));
        if (found == values.end()) {
            throw ErrorObject(35601, "test", "Element not found");
        }
        found->second = value;
    }
    void Refresh() override {}

    std::map<std::string, int> values;
};

// The main window: outer geometry in twips and every control. Size changes raise the
// resize event the way the real window does, once the engine holds the window.
class FakeWindow final : public FakePlaced<MainWindow> {
public:
    FakeWindow() {
        for (int n = 1; n <= kKeyButtonCount; ++n) {
            buttons[static_cast<std::size_t>(n - 1)] = std::make_unique<FakeButton>(n);
        }
        visible = false;
        width = 9795 + 100;
        height = 5640 + 480;
        timer1.enabled = true;
        timer1.interval = 2000;
        menus[static_cast<int>(Menu::ModeStandard)].checked = true;
        menus[static_cast<int>(Menu::EntryModeUnscrambleAll)].enabled = false;
        menus[static_cast<int>(Menu::OptionsReveal)].visible = false;
    }

    KeyButton& Button(int number) override { return *buttons.at(static_cast<std::size_t>(number - 1)); }
    FakeButton& Key(int number) { return *buttons.at(static_cast<std::size_t>(number - 1)); }
    TextLine& Password() override { return password; }
    TextLine& PlainText() override { return plain; }
    MenuItem& MenuEntry(Menu item) override { return menus[static_cast<int>(item)]; }
    FakeMenuItem& MenuFake(Menu item) { return menus[static_cast<int>(item)]; }
    Timer& HoverTimer() override { return timer1; }
    Timer& NoiseTimer() override { return noiseTimer; }
    ToolbarControl& Toolbar() override { return toolbar; }
    Placeable& StatusBar() override { return statusBar; }
    ScreenMetrics Screen() const override { return screen; }
    WindowHandle Handle() const override { return 0x2a00001; }
    void Show() override { visible = true, ++shows; }
    void AttachKeyboard(Keyboard* k) override { keyboard = k; }
    bool SizedByWindowManager() const override { return maximized; }
    bool CustomPointer() const override { return greyDot; }
    void SetCustomPointer(bool dot) override { greyDot = dot; }
    ScreenPoint PointerPosition() const override { return pointer; }
    void Beep() override { ++beeps; }
    bool TextLineHasFocus() const override { return lineHasFocus; }
    bool AskOkCancel(const std::u16string& title, const std::u16string& text) override {
        questions.push_back(title + u"|" + text);
        return answerOk;
    }

    void SetWidth(std::int32_t v) override { Resize(width, v); }
    void SetHeight(std::int32_t v) override { Resize(height, v); }
    void Resize(std::int32_t& side, std::int32_t v) {
        if (std::exchange(side, v) != v) {
            ++resizeEvents;
            if (keyboard != nullptr) {
                keyboard->Resize();
            }
        }
    }

    std::array<std::unique_ptr<FakeButton>, kKeyButtonCount> buttons;
    FakeTextLine password, plain;
    std::array<FakeMenuItem, kMenuCount> menus;
    FakeTimer timer1, noiseTimer;
    FakeToolbar toolbar;
    FakePlaced<Placeable> statusBar;
    ScreenMetrics screen{15.0, 15.0, 1280 * 15, 1024 * 15};
    Keyboard* keyboard = nullptr;
    int shows = 0, resizeEvents = 0, beeps = 0;
    bool maximized = false, greyDot = false, answerOk = true, lineHasFocus = true;
    ScreenPoint pointer{0, 0};
    std::vector<std::u16string> questions;
};

} // namespace mirvane::test
