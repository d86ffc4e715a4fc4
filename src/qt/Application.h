#pragma once

#include "Toolbar.h"

#include "engine/ErrorLog.h"
#include "engine/Keyboard.h"
#include "engine/RandomSource.h"
#include "platform/KeyInjection.h"
#include "platform/KeyState.h"
#include "platform/WindowLayering.h"
#include "platform/WindowPlacement.h"
#include "platform/WindowStacking.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace mirvane {

class frmKeyboard;

// The system calls the program makes, one implementation per platform.
struct PlatformServices {
    WindowLayering& layering;
    KeyState& keyState;
    WindowStacking& stacking;
    WindowPlacement& placement;
    ForegroundWindow& foreground;
    KeyInjector& injector;
    KeyLayout& layout;
};

// The one application object: owns the toolbar state and the engine, and reports errors.
class Application final : public ErrorLog {
public:
    Application(std::unique_ptr<RandomSource> random, PlatformServices platform);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    std::int32_t TimerInterval() const { return mTimerInterval; }
    void SetTimerInterval(std::int32_t milliseconds) { mTimerInterval = milliseconds; }
    bool SaveSettingsInINI() const { return mSaveSettingsInINI; }
    void SetSaveSettingsInINI(bool value) { mSaveSettingsInINI = value; }
    bool StayOnTop() const { return mStayOnTop; }
    void SetStayOnTop(bool value) { mStayOnTop = value; }
    bool KeepPasswordAfterDragDrop() const { return mKeepPasswordAfterDragDrop; }
    void SetKeepPasswordAfterDragDrop(bool value) { mKeepPasswordAfterDragDrop = value; }
    bool MouseHidden() const { return mMouseHidden; }
    void SetMouseHidden(bool value) { mMouseHidden = value; }

    mirvane::Toolbar* Toolbar() const { return mToolbar.get(); }
    mirvane::Keyboard* Keyboard() const { return mKeyboard.get(); }
    frmKeyboard* Window() const;

    // Shows the error window with the procedure and the error, and returns when it closes.
    void LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                  MainWindow& owner) override;

    // The report text: the procedure, a line break, then "number: description".
    static QString ReportText(const std::string& procedure, std::int32_t number,
                              const std::string& description);

private:
    std::unique_ptr<RandomSource> mRandom;
    std::unique_ptr<EventPump> mPump;
    bool mMouseHidden = false;
    bool mKeepPasswordAfterDragDrop = false;
    bool mStayOnTop = false;
    std::unique_ptr<mirvane::Toolbar> mToolbar;
    bool mSaveSettingsInINI = false;
    std::unique_ptr<mirvane::Keyboard> mKeyboard;
    std::int32_t mTimerInterval = 0;
};

} // namespace mirvane
