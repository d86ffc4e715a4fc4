#include "Keyboard.h"

namespace mirvane {

namespace {
constexpr std::int32_t kMargin = 300;
constexpr std::int16_t kStandardEntry = 1;
constexpr std::int16_t kKeyboardType101 = 101;
constexpr std::int16_t kLayeredOpacity = 254;
} // namespace

Keyboard::Keyboard(KeyboardServices services)
    : mRandom(services.random), mErrors(services.errors), mHoverInterval(std::move(services.hoverInterval)),
      mKeyState(services.keyState), mForeground(services.foreground), mInjector(services.injector),
      mLayout(services.layout), mPump(services.pump),
      mMilliseconds(std::move(services.milliseconds)) {
    mWindow = services.createWindow();
    mWindow->StatusBar().SetHeight(0);
    mWindow->StatusBar().SetVisible(false);
    SizeAndPlaceAtStartUp();
    mInputMode = kStandardEntry;
    mWindow->Show();
    mWindow->Password().SetWidth(mWindow->Width() - 100 - 2 * mMargin);
    mKeepPasswordAfterDragDrop = true;
    mWindow->MenuEntry(Menu::OptionsKeepPasswordAfterDragDrop).SetChecked(true);
    services.layering.MakeWindowLayered(mWindow->Handle(), kLayeredOpacity);
}

Keyboard::~Keyboard() {
    Wipe(mCurrentPassword);
    // No pump now: the window is going. A held noise key still goes up.
    for (const HeldNoiseKey& held : mHeldNoiseKeys) {
        try {
            mInjector.KeyboardEvent(static_cast<std::uint8_t>(held.key), kKeyEventExtendedKey | kKeyEventKeyUp);
        } catch (...) {
        }
    }
    // The window may outlive nothing of ours: drop its reference before it goes.
    if (mWindow) {
        mWindow->AttachKeyboard(nullptr);
    }
}

// Everything from the first random draw until the window is ready to be shown.
void Keyboard::SizeAndPlaceAtStartUp() {
    const ScreenMetrics screen = mWindow->Screen();
    const double r = mRandom.Next();
    const std::int32_t startWidth = StartWidth(screen, r);
    mMargin = kMargin;
    const std::int32_t unit = KeyUnit(startWidth, kMargin);
    mWindow->SetWidth(2 * kMargin + 100 + 15 * unit);

    mWindow->Toolbar().SetVisible(true);
    mWindow->MenuEntry(Menu::ViewToolbar).SetChecked(true);
    SetTextIsMasked(true);
    mKeyboardType = kKeyboardType101;
    SetTimerEnabled(false);
    LayoutKeys(mWindow->Width(), 100);
    mWindow->AttachKeyboard(this);
    RefreshKeyCaptions(0);

    const std::int32_t toolbarHeight =
        mWindow->MenuEntry(Menu::ViewToolbar).Checked() ? mWindow->Toolbar().Height() : 0;
    mWindow->SetHeight(toolbarHeight + 5 * unit + 400 + 2 * mMargin + 950 + mWindow->StatusBar().Height());

    TextLine& password = mWindow->Password();
    password.SetLeft(mMargin);
    password.SetTop(Button(58).Top() + Button(58).Height() + mMargin);
    const std::int32_t outerHeight = mWindow->Height();
    password.SetHeight(outerHeight - password.Top() - 840 >= 0 ? outerHeight - password.Top() - 900 : 0);

    SetTextIsMasked(true);
    PlaceWindowAtRandom();
}

void Keyboard::SetTimerEnabled(bool enabled) {
    mTimerEnabled = enabled;
    mWindow->HoverTimer().SetEnabled(enabled);
}

void Keyboard::SetShiftIsDown(bool down) {
    if (down != mShiftIsDown) {
        mShiftIsDown = down;
        RefreshKeyCaptions(0);
    }
}

void Keyboard::SetKeyboardInputToMatchOnScreenKey(bool match) {
    mKeyboardInputToMatchOnScreenKey = match;
    RefreshToolbar();
}

} // namespace mirvane
