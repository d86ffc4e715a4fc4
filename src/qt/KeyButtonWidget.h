#pragma once

#include "QtControls.h"

#include <QPushButton>

namespace mirvane {

// One on-screen key: a push button that reports every pointer move and release with the
// mouse-button and modifier masks and the position in twips.
class KeyButtonWidget final : public QPushButton, public PlacedWidget<KeyButton> {
    Q_OBJECT
public:
    KeyButtonWidget(int number, QWidget* parent);

    int Number() const override { return mNumber; }
    std::u16string Caption() const override { return ToU16(text()); }
    void SetCaption(const std::u16string& caption) override { setText(ToQString(caption)); }
    bool Enabled() const override { return isEnabled(); }
    void SetEnabled(bool enabled) override { setEnabled(enabled); }
    // Whether the key the pointer is over looks so; under the grey dot no key may give it away.
    void ShowHover(bool shown);

signals:
    void pointerMoved(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift, float x,
                      float y);
    void pointerReleased(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift, float x,
                         float y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int mNumber;
    bool mHoverShown = true;
};

// The masks the key events carry: left 1, right 2, middle 4; Shift 1, Ctrl 2, Alt 4.
std::int16_t MouseButtonMask(Qt::MouseButtons buttons);
std::int16_t ShiftMask(Qt::KeyboardModifiers modifiers);

} // namespace mirvane
