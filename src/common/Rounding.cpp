#include "common/Rounding.h"

#include "common/ErrorObject.h"

#include <cmath>
#include <limits>

namespace mirvane {

double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) {
        return floor;
    }
    if (diff > 0.5) {
        return floor + 1.0;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::int32_t ToLong(double value) {
    const double rounded = RoundHalfEven(value);
    if (std::isnan(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        throw ErrorObject(kErrorOverflow, "mirvane", "Overflow");
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace mirvane
