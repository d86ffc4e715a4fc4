#include "win32/Application.h"
#include "win32/CommandLine.h"
#include "win32/WideText.h"

#include "common/ErrorObject.h"
#include "platform/ProcessHardening.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), size, nullptr, nullptr);
        arguments.push_back(argument);
    }
    LocalFree(wide);
    return arguments;
}
} // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    mirvane::platform::HardenProcess(); // before the first secret exists
    if (const auto answer = mirvane::CheckCommandLine(Arguments())) {
        MessageBoxW(nullptr, mirvane::Widen(answer->text).c_str(), L"mirvane",
                    MB_OK | (answer->mistake ? MB_ICONERROR : MB_ICONINFORMATION));
        return answer->status;
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxW(nullptr, L"mirvane: drag and drop is not available here.", L"mirvane", MB_OK | MB_ICONERROR);
        return 1;
    }
    int status = 1;
    try {
        mirvane::Application application;
        application.SetTimerInterval(2000);
        status = application.Run();
    } catch (...) {
        const mirvane::CaughtError error = mirvane::DescribeCurrentException();
        MessageBoxW(nullptr, mirvane::Widen(error.description).c_str(), L"mirvane", MB_OK | MB_ICONERROR);
    }
    OleUninitialize();
    return status;
}
