#pragma once

#include "platform/KeyInjection.h"

namespace mirvane {

// Lets the window handle what is pending, such as the character a synthetic key just
// produced in its own text line.
class QtEventPump final : public EventPump {
public:
    void ProcessPendingEvents() override;
};

} // namespace mirvane
