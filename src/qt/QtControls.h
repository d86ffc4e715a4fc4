#pragma once

// Adapters that let the engine drive Qt widgets through its control interfaces.

#include "engine/Controls.h"

#include <QAction>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <string>

namespace mirvane {

// Twips per pixel of the primary screen: 1440 over its logical dots per inch.
double TwipsPerPixel();
int ToPixels(std::int32_t twips);
std::int32_t ToTwips(int pixels);

// A rectangle given in twips, in pixels.
QRect TwipsRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

QString ToQString(const std::u16string& text);
std::u16string ToU16(const QString& text);
// A widget's text is the widget's own copy; these make the engine's copy, or show it.
QString ToQString(const SecretText& text);
SecretText ToSecret(const QString& text);

// Left, Top, Width, Height and Visible of a child widget, in twips of its parent.
template <class Interface> class PlacedWidget : public Interface {
public:
    explicit PlacedWidget(QWidget& widget) : mWidget(widget) {}
    std::int32_t Left() const override { return ToTwips(mWidget.x()); }
    void SetLeft(std::int32_t twips) override { mWidget.move(ToPixels(twips), mWidget.y()); }
    std::int32_t Top() const override { return ToTwips(mWidget.y()); }
    void SetTop(std::int32_t twips) override { mWidget.move(mWidget.x(), ToPixels(twips)); }
    std::int32_t Width() const override { return ToTwips(mWidget.width()); }
    void SetWidth(std::int32_t twips) override {
        mWidget.resize(ToPixels(CheckedSize(twips)), mWidget.height());
    }
    std::int32_t Height() const override { return ToTwips(mWidget.height()); }
    void SetHeight(std::int32_t twips) override {
        mWidget.resize(mWidget.width(), ToPixels(CheckedSize(twips)));
    }
    bool Visible() const override { return !mWidget.isHidden(); }
    void SetVisible(bool visible) override { mWidget.setVisible(visible); }

private:
    // A control cannot take a negative size: the object model raises "Invalid property value".
    static std::int32_t CheckedSize(std::int32_t twips);
    QWidget& mWidget;
};

void ThrowInvalidPropertyValue();

template <class Interface> std::int32_t PlacedWidget<Interface>::CheckedSize(std::int32_t twips) {
    if (twips < 0) {
        ThrowInvalidPropertyValue();
    }
    return twips;
}

class QtMenuItem final : public MenuItem {
public:
    explicit QtMenuItem(QAction& action) : mAction(action) {}
    bool Checked() const override { return mAction.isChecked(); }
    void SetChecked(bool checked) override { mAction.setChecked(checked); }
    bool Enabled() const override { return mAction.isEnabled(); }
    void SetEnabled(bool enabled) override { mAction.setEnabled(enabled); }
    bool Visible() const override { return mAction.isVisible(); }

private:
    QAction& mAction;
};

class QtTimer final : public Timer {
public:
    explicit QtTimer(QTimer& timer) : mTimer(timer) {}
    bool Enabled() const override { return mTimer.isActive(); }
    void SetEnabled(bool enabled) override {
        if (enabled && !mTimer.isActive()) {
            mTimer.start();
        } else if (!enabled) {
            mTimer.stop();
        }
    }
    std::int32_t Interval() const override { return mTimer.interval(); }
    // The toolkit restarts a running timer on every new interval, even the same one. The hover
    // countdown is re-applied on every pointer move over a key; restarting it there would press
    // only once the pointer lay perfectly still, which a slightly shaky hand never manages. So
    // the interval runs from entering the key.
    void SetInterval(std::int32_t milliseconds) override {
        if (milliseconds != mTimer.interval()) {
            mTimer.setInterval(milliseconds);
        }
    }

private:
    QTimer& mTimer;
};

} // namespace mirvane
