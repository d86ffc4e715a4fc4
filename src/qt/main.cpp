#include "qt/AccessibilityBus.h"
#include "qt/CommandLine.h"
#include "qt/QuitOnSignal.h"
#include "qt/modMain.h"
#include "platform/ProcessHardening.h"
#include "platform/x11/Display.h"
#include "platform/x11/KeyGuardian.h"
#include "qt/LineAccessibility.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>

int main(int argc, char* argv[]) {
    mirvane::platform::HardenProcess(); // before the first secret exists
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    bool accessible = false;
    if (const auto status = mirvane::CheckCommandLine(
            argc, argv, platform != nullptr ? platform : "", display != nullptr ? display : "",
            mirvane::x11::DisplayAnswers, std::cout, std::cerr, accessible)) {
        return *status;
    }
    mirvane::x11::StartKeyGuardian(); // while the process has one thread
    // Keys are injected and read through X11: on a Wayland session, run through XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    mirvane::PrepareAccessibilityBus(accessible);
    QApplication application(argc, argv);
    mirvane::InstallLineAccessibility();
    QApplication::setApplicationName(QStringLiteral("mirvane"));
    mirvane::QuitOnTerminationSignals();
    mirvane::modMain::Main();
    const int result = QApplication::exec();
    mirvane::modMain::End();
    return result;
}
