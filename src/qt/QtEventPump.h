#pragma once

#include "platform/KeyInjection.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>

struct xcb_connection_t;

namespace mirvane {

// Lets the window handle what is pending, such as the character a synthetic key just
// produced in its own text line.
class QtEventPump final : public EventPump, private QAbstractNativeEventFilter {
public:
    QtEventPump();
    ~QtEventPump() override;
    QtEventPump(const QtEventPump&) = delete;
    QtEventPump& operator=(const QtEventPump&) = delete;

    void ProcessPendingEvents() override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    xcb_connection_t* mConnection = nullptr;
    std::uint32_t mWindow = 0; // an unmapped window of the toolkit's connection, for the marks
    std::uint32_t mMarkAtom = 0;
    std::uint32_t mSent = 0;
    std::uint32_t mSeen = 0;
};

} // namespace mirvane
