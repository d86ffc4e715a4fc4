#include "Application.h"

#include "InputGuard.h"
#include "WideText.h"
#include "frmKeyboard.h"

#include "form/KeyboardForm.h"
#include "form/ProgramTexts.h"

namespace mirvane {

Application::Application() {
    mKeyboard = std::make_unique<Keyboard>(KeyboardServices{
        [this] {
            auto window =
                std::make_unique<frmKeyboard>(*this, mWindows, [this](Keyboard& keyboard, HWND owner) {
                    ShowAboutBox(keyboard, mWindows, owner);
                });
            mWindow = window.get();
            return window;
        },
        mRandom,
        *this,
        mLayering,
        [this] { return mTimerInterval; },
        mKeys,
        mKeys,
        mKeys,
        mKeys,
        mPump,
    });
}

Application::~Application() { mKeyboard.reset(); }

int Application::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!mWindow->TranslateAccelerator(message)) {
            InputGuard::Deliver(message);
        }
    }
    return static_cast<int>(message.wParam);
}

void Application::LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                           MainWindow& owner) {
    const std::string text = std::string(kErrorHeading) + "\r\n\r\n" + ErrorRequest() + "\r\n" +
                             std::string(kErrorThanks) + "\r\n\r\n" +
                             ErrorReport(procedure, number, description);
    MessageBoxW(reinterpret_cast<HWND>(owner.Handle()), Widen(text).c_str(), Widen(kErrorTitle).c_str(),
                MB_OK | MB_ICONERROR);
}

namespace {
// The about box being shown, for the hook that sees each of its activations.
struct AboutShowing {
    Keyboard& keyboard;
    WindowStacking& stacking;
    HWND owner;
};
thread_local AboutShowing* tAbout = nullptr;

LRESULT CALLBACK AboutActivated(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && tAbout != nullptr && GetWindow(box, GW_OWNER) == tAbout->owner) {
        StackAboutBox(tAbout->keyboard.KeepOnTop(), tAbout->stacking,
                      reinterpret_cast<WindowHandle>(tAbout->owner), reinterpret_cast<WindowHandle>(box));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

void ShowAboutBox(Keyboard& keyboard, WindowStacking& stacking, HWND owner) {
    const std::string text = "Mirvane\r\n" + VersionLine() + "\r\n\r\n" + AboutDescription();
    AboutShowing showing{keyboard, stacking, owner};
    tAbout = &showing;
    HHOOK hook = SetWindowsHookExW(WH_CBT, &AboutActivated, nullptr, GetCurrentThreadId());
    MessageBoxW(owner, Widen(text).c_str(), Widen(kAboutTitle).c_str(), MB_OK | MB_ICONINFORMATION);
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
    }
    tAbout = nullptr;
}

} // namespace mirvane
