#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mirvane {

// What the program answers before its window opens: --help, --version and an unknown
// option. Returns the exit status when the program should end here, with the text to show
// and whether it reports a mistake.
struct CommandLineAnswer {
    int status;
    std::string text;
    bool mistake;
};
std::optional<CommandLineAnswer> CheckCommandLine(const std::vector<std::string>& arguments);

} // namespace mirvane
