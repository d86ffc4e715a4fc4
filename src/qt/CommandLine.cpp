#include "CommandLine.h"

#include "form/ProgramTexts.h"

#include <string_view>

namespace mirvane {

namespace {
constexpr std::string_view kUsage = "Usage: mirvane [--help] [--version] [--accessible] [-display DISPLAY]";
} // namespace

std::optional<int> CheckCommandLine(int argc, const char* const argv[], const std::string& platformVariable,
                                    const std::string& displayVariable,
                                    const std::function<bool(const std::string&)>& displayAnswers,
                                    std::ostream& out, std::ostream& err, bool& accessible) {
    std::string platform = platformVariable;
    std::string display = displayVariable;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            out << kUsage << "\n"
                << "Compose a password on on-screen keys that loggers cannot follow, then drag it into\n"
                << "another program's password field.\n\n"
                << "  --accessible  show the window to screen readers and other accessibility tools\n"
                << "                (keys, menus and toolbar, never the password); any program of\n"
                << "                yours can then read them and run the menus\n";
            return 0;
        }
        if (option == "--version") {
            out << "mirvane " << kVersionNumber << "\n";
            return 0;
        }
        if (option == "--accessible") {
            accessible = true;
            continue;
        }
        // The window toolkit's own options that make sense here.
        if ((option == "-display" || option == "-platform") && i + 1 < argc) {
            (option == "-display" ? display : platform) = argv[++i];
            continue;
        }
        err << "mirvane: unknown option '" << option << "'\n" << kUsage << "\n";
        return 2;
    }
    if (!platform.empty() && platform != "xcb") {
        err << "mirvane: needs an X11 display; the '" << platform
            << "' platform cannot show its window or take its keys (run it without -platform).\n";
        return 1;
    }
    if (display.empty()) {
        err << "mirvane: no X display (DISPLAY is not set); start it from a desktop session, or run "
               "scripts/start.sh, which starts a private one.\n";
        return 1;
    }
    if (!displayAnswers(display)) {
        err << "mirvane: cannot open the X display '" << display
            << "'; is an X server (or XWayland) running there?\n";
        return 1;
    }
    return std::nullopt;
}

} // namespace mirvane
