#pragma once

#include "platform/WindowLayering.h"

#include <functional>
#include <string>

namespace mirvane {

// Layering the main window is a nicety: a window that cannot be made layered is reported in a
// plain message box ("description Source : source") and the program goes on with it opaque.
class ReportingLayering final : public WindowLayering {
public:
    using ShowMessage = std::function<void(const std::string& text)>;
    ReportingLayering(WindowLayering& system, ShowMessage showMessage)
        : mSystem(system), mShowMessage(std::move(showMessage)) {}
    void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) override;

private:
    WindowLayering& mSystem;
    ShowMessage mShowMessage;
};

} // namespace mirvane
