#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace mirvane {

// What the program answers before its window toolkit starts: --help and --version, an
// unknown option, and a desktop it cannot run on, which the toolkit would answer by aborting.
// Returns the exit status when the program should end here; sets accessible for --accessible.
std::optional<int> CheckCommandLine(int argc, const char* const argv[], const std::string& platformVariable,
                                    const std::string& displayVariable,
                                    const std::function<bool(const std::string&)>& displayAnswers,
                                    std::ostream& out, std::ostream& err, bool& accessible);

} // namespace mirvane
