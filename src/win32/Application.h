#pragma once

#include "MessagePump.h"
#include "WideText.h"

#include "engine/ErrorLog.h"
#include "engine/Keyboard.h"
#include "engine/RandomSource.h"
#include "form/ReportingLayering.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32Windows.h"

#include <cstdint>
#include <memory>

#include <windows.h>

namespace mirvane {

class frmKeyboard;

// The one application object: the system's services, the engine and its window.
class Application final : public ErrorLog {
public:
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    std::int32_t TimerInterval() const { return mTimerInterval; }
    void SetTimerInterval(std::int32_t milliseconds) { mTimerInterval = milliseconds; }

    // Runs the window until it closes; the exit status.
    int Run();

    // A message box with the procedure and the error; returns when it closes.
    void LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                  MainWindow& owner) override;

private:
    SystemRandom mRandom;
    MessagePump mPump;
    win32::Win32Keyboard mKeys;
    win32::Win32Windows mWindows;
    // A window that cannot be made layered is reported, and the program goes on.
    ReportingLayering mLayering{
        mWindows, [](const std::string& text) { MessageBoxW(nullptr, Widen(text).c_str(), nullptr, MB_OK); }};
    std::int32_t mTimerInterval = 0;
    frmKeyboard* mWindow = nullptr; // the engine's
    std::unique_ptr<Keyboard> mKeyboard;
};

// The about box, modal over the main window, taking its top-most place while it shows.
void ShowAboutBox(Keyboard& keyboard, WindowStacking& stacking, HWND owner);

} // namespace mirvane
