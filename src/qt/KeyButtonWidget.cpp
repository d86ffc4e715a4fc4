#include "KeyButtonWidget.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace mirvane {

std::int16_t MouseButtonMask(Qt::MouseButtons buttons) {
    std::int16_t mask = 0;
    if (buttons & Qt::LeftButton) {
        mask |= 1;
    }
    if (buttons & Qt::RightButton) {
        mask |= 2;
    }
    if (buttons & Qt::MiddleButton) {
        mask |= 4;
    }
    return mask;
}

std::int16_t ShiftMask(Qt::KeyboardModifiers modifiers) {
    std::int16_t mask = 0;
    if (modifiers & Qt::ShiftModifier) {
        mask |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        mask |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        mask |= 4;
    }
    return mask;
}

KeyButtonWidget::KeyButtonWidget(int number, QWidget* parent)
    : QPushButton(QString::number(number), parent), PlacedWidget<KeyButton>(*static_cast<QWidget*>(this)),
      mNumber(number) {
    setObjectName(QStringLiteral("Command%1").arg(number));
    setMouseTracking(true);
    // The keys never take the keyboard focus away from the text line.
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
}

void KeyButtonWidget::ShowHover(bool shown) {
    if (shown != mHoverShown) {
        mHoverShown = shown;
        setAttribute(Qt::WA_Hover, shown);
        update();
    }
}

// The style marks the key under the pointer whether or not it tracks hovering, so the mark is
// taken off here.
void KeyButtonWidget::paintEvent(QPaintEvent* event) {
    if (mHoverShown) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_MouseOver;
    painter.drawControl(QStyle::CE_PushButton, option);
}

void KeyButtonWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit pointerMoved(this, MouseButtonMask(event->buttons()), ShiftMask(event->modifiers()),
                      static_cast<float>(at.x() * TwipsPerPixel()),
                      static_cast<float>(at.y() * TwipsPerPixel()));
    QPushButton::mouseMoveEvent(event);
}

void KeyButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit pointerReleased(this, MouseButtonMask(event->button()), ShiftMask(event->modifiers()),
                         static_cast<float>(at.x() * TwipsPerPixel()),
                         static_cast<float>(at.y() * TwipsPerPixel()));
    QPushButton::mouseReleaseEvent(event);
}

} // namespace mirvane
