#include "Keyboard.h"

#include "common/ErrorObject.h"
#include "common/Rounding.h"

namespace mirvane {

namespace {
constexpr std::int32_t kFrameWidth = 100;  // outer width that is not client area
constexpr std::int32_t kFrameHeight = 480; // title bar, menu bar and borders
constexpr std::int32_t kUnitsPerRow = 15;
constexpr std::int32_t kMinimumWidth = 5200;
constexpr std::int32_t kMinimumTextHeight = 375;
constexpr std::int32_t kStartWidthFloor = 5500;
constexpr std::int32_t kScreenInset = 400;
} // namespace

std::int32_t Keyboard::PixelRound(double twips) const {
    const double twipsPerPixel = mWindow->Screen().twipsPerPixelX;
    return ToLong(RoundHalfEven(twips / twipsPerPixel) * twipsPerPixel);
}

std::int32_t Keyboard::KeyUnit(std::int32_t outerWidth, std::int32_t margin) const {
    return PixelRound(static_cast<double>(outerWidth - kFrameWidth - 2 * margin) / kUnitsPerRow);
}

std::int32_t Keyboard::StartWidth(const ScreenMetrics& screen, double r) {
    return ToLong((screen.width / 2.0 - kStartWidthFloor) * r + kStartWidthFloor);
}

void Keyboard::PlaceWindowAtRandom() {
    const ScreenMetrics screen = mWindow->Screen();
    const double r1 = mRandom.Next();
    mWindow->SetTop(ToLong((screen.height - mWindow->Height() - 2.0 * kScreenInset) * r1 + kScreenInset));
    const double r2 = mRandom.Next();
    mWindow->SetLeft(ToLong((screen.width - mWindow->Width() - 2.0 * kScreenInset) * r2 + kScreenInset));
}

void Keyboard::PlaceRightOf(KeyButton& target, KeyButton& previous) {
    target.SetLeft(previous.Left() + previous.Width());
    target.SetTop(previous.Top());
    target.SetWidth(previous.Width());
    target.SetHeight(previous.Height());
}

void Keyboard::LayoutKeys(std::int32_t outerWidth, std::int32_t margin) {
    const std::int32_t u = KeyUnit(outerWidth, margin);
    ToolbarControl& toolbar = mWindow->Toolbar();

    // Each row starts below the one before and at the first key's left edge.
    const auto startRow = [&](KeyButton& first, KeyButton& above, std::int32_t width) {
        first.SetLeft(above.Left());
        first.SetTop(above.Top() + above.Height());
        first.SetWidth(width);
        first.SetHeight(u);
    };
    const auto chain = [&](int from, int to) {
        for (int number = from; number <= to; ++number) {
            PlaceRightOf(Button(number), Button(number - 1));
        }
    };
    const auto placeWithWidth = [&](int number, int previous, std::int32_t width) {
        PlaceRightOf(Button(number), Button(previous));
        Button(number).SetWidth(width);
    };

    KeyButton& first = Button(1);
    first.SetLeft(margin);
    first.SetTop(toolbar.Visible() ? toolbar.Height() + margin : margin);
    first.SetWidth(u);
    first.SetHeight(u);
    chain(2, 15);

    startRow(Button(16), Button(1), PixelRound(1.4 * u));
    placeWithWidth(17, 16, u);
    chain(18, 28);

    startRow(Button(30), Button(16), PixelRound(1.8 * u));
    placeWithWidth(31, 30, u);
    chain(32, 41);

    startRow(Button(42), Button(30), PixelRound(2.2 * u));
    placeWithWidth(43, 42, u);
    chain(44, 52);

    KeyButton& rightShift = Button(53);
    rightShift.SetTop(Button(52).Top());
    rightShift.SetWidth(5 * u - Button(42).Width());
    rightShift.SetHeight(u);
    rightShift.SetLeft(Button(52).Left() + Button(52).Width());

    KeyButton& backslash = Button(65);
    backslash.SetTop(Button(28).Top());
    backslash.SetWidth(3 * u - Button(16).Width());
    backslash.SetHeight(u);
    backslash.SetLeft(Button(28).Left() + Button(28).Width());
    backslash.SetVisible(true);

    Button(14).SetVisible(false);
    KeyButton& backspace = Button(15);
    backspace.SetWidth(2 * u);
    backspace.SetLeft(backspace.Left() - u);

    KeyButton& enter = Button(29);
    enter.SetTop(Button(41).Top());
    enter.SetWidth(4 * u - Button(30).Width());
    enter.SetHeight(u);
    enter.SetLeft(backspace.Left() + backspace.Width() - enter.Width());

    startRow(Button(54), Button(42), PixelRound(1.4 * u));
    placeWithWidth(55, 54, u);
    placeWithWidth(56, 55, PixelRound(1.4 * u));
    placeWithWidth(57, 56, 6 * u);
    placeWithWidth(58, 57, PixelRound(1.4 * u));

    for (int number : {59, 60, 61, 62, 63, 64, 54, 55, 56, 58}) {
        Button(number).SetVisible(false);
    }
}

void Keyboard::Resize() {
    if (mLayoutGuard) {
        return;
    }
    mLayoutGuard = true;
    try {
        ResizeLayout();
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("Keyboard Resize", error.number, error.description, *mWindow);
    }
    mLayoutGuard = false;
}

// The narrowest width, then a width at which every key unit is a whole number of pixels.
void Keyboard::SnapWindowWidth() {
    if (mWindow->Width() < kMinimumWidth) {
        mWindow->SetWidth(kMinimumWidth);
    }
    try {
        const double twipsPerPixel = mWindow->Screen().twipsPerPixelX;
        const double units = static_cast<double>(mWindow->Width() - kFrameWidth - 2 * mMargin) / kUnitsPerRow;
        mWindow->SetWidth(ToLong(RoundHalfEven(units / twipsPerPixel) * kUnitsPerRow * twipsPerPixel +
                                 (2 * mMargin + kFrameWidth)));
    } catch (...) {
        // An unsnapped width still lays out; the keys only lose their whole pixels.
    }
}

void Keyboard::ResizeLayout() {
    // A maximized or full-screen window keeps the size it was given: resizing it would end
    // that state and could push it off the screen.
    const bool sizedByWindowManager = mWindow->SizedByWindowManager();
    if (!sizedByWindowManager) {
        SnapWindowWidth();
    }
    LayoutKeys(mWindow->Width(), mMargin);

    TextLine& password = mWindow->Password();
    KeyButton& bottomRow = Button(58);
    password.SetLeft(mMargin);
    password.SetTop(bottomRow.Top() + bottomRow.Height() + mMargin);

    const std::int32_t top = password.Top();
    const std::int32_t toolbarHeight = mWindow->Toolbar().Height();
    const std::int32_t statusHeight = mWindow->StatusBar().Height();
    const std::int32_t freeHeight = mWindow->Height() - top - kFrameHeight - toolbarHeight - statusHeight;
    if (freeHeight < kMinimumTextHeight) {
        if (!sizedByWindowManager) {
            mWindow->SetHeight(top + kMinimumTextHeight + kFrameHeight + toolbarHeight + statusHeight);
        }
        password.SetHeight(kMinimumTextHeight);
    } else {
        password.SetHeight(freeHeight);
    }
    password.SetWidth(mWindow->Width() - kFrameWidth - 2 * mMargin);

    TextLine& plain = mWindow->PlainText();
    plain.SetLeft(password.Left());
    plain.SetTop(password.Top());
    plain.SetWidth(password.Width());
    plain.SetHeight(password.Height());
}

} // namespace mirvane
