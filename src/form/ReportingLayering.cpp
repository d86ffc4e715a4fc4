#include "ReportingLayering.h"

#include "common/ErrorObject.h"

namespace mirvane {

void ReportingLayering::MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) {
    try {
        mSystem.MakeWindowLayered(windowHandle, opacity);
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mShowMessage(error.description + " Source : " + error.source);
    }
}

} // namespace mirvane
