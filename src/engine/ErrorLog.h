#pragma once

#include <cstdint>
#include <string>

namespace mirvane {

class MainWindow;

// Where the procedures that catch run-time errors report them.
class ErrorLog {
public:
    virtual ~ErrorLog() = default;
    virtual void LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                          MainWindow& owner) = 0;
};

} // namespace mirvane
