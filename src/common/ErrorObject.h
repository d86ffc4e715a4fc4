#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace mirvane {

// The program's run-time error: a number, the component that raised it and a description.
class ErrorObject : public std::runtime_error {
public:
    ErrorObject(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description), mNumber(number), mSource(std::move(source)),
          mDescription(std::move(description)) {}

    std::int32_t Number() const { return mNumber; }
    const std::string& Source() const { return mSource; }
    const std::string& Description() const { return mDescription; }

private:
    std::int32_t mNumber;
    std::string mSource;
    std::string mDescription;
};

// Well-known error numbers of the object model.
inline constexpr std::int32_t kErrorInvalidCall = 5;
inline constexpr std::int32_t kErrorOverflow = 6;
inline constexpr std::int32_t kErrorSubscriptOutOfRange = 9;
inline constexpr std::int32_t kErrorInternal = 51;

// The error a caught exception stands for: ours as it is, anything else as an internal error.
struct CaughtError {
    std::int32_t number;
    std::string source;
    std::string description;
};
CaughtError DescribeCurrentException();

} // namespace mirvane
