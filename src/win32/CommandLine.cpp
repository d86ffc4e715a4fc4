#include "CommandLine.h"

#include "form/ProgramTexts.h"

namespace mirvane {

namespace {
constexpr std::string_view kUsage = "Usage: mirvane.exe [--help] [--version]";
} // namespace

std::optional<CommandLineAnswer> CheckCommandLine(const std::vector<std::string>& arguments) {
    for (const std::string& option : arguments) {
        if (option == "--help" || option == "-h" || option == "/?") {
            return CommandLineAnswer{0,
                                     std::string(kUsage) +
                                         "\r\n\r\nCompose a password on on-screen keys that loggers cannot "
                                         "follow, then drag it into another program's password field.",
                                     false};
        }
        if (option == "--version") {
            return CommandLineAnswer{0, "mirvane " + std::string(kVersionNumber), false};
        }
        return CommandLineAnswer{1, "mirvane: unknown option '" + option + "'\r\n" + std::string(kUsage), true};
    }
    return std::nullopt;
}

} // namespace mirvane
