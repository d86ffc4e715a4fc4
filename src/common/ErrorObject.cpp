#include "common/ErrorObject.h"

#include <exception>

namespace mirvane {

CaughtError DescribeCurrentException() {
    try {
        throw;
    } catch (const ErrorObject& e) {
        return {e.Number(), e.Source(), e.Description()};
    } catch (const std::exception& e) {
        return {kErrorInternal, "mirvane", e.what()};
    } catch (...) {
        return {kErrorInternal, "mirvane", "Unknown error"};
    }
}

} // namespace mirvane
