#pragma once

#include "platform/KeyInjection.h"

namespace mirvane {

// Handles every message now in the thread's queue, the characters that key messages turn
// into among them, so that a synthetic key's character has reached its line on return.
class MessagePump final : public EventPump {
public:
    void ProcessPendingEvents() override;
};

} // namespace mirvane
