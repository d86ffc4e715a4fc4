#include "Application.h"

#include "WideText.h"
#include "frmKeyboard.h"

#include "form/ProgramTexts.h"

namespace mirvane {

Application::Application() {
    mKeyboard = std::make_unique<Keyboard>(KeyboardServices{
        [this] {
            auto window = std::make_unique<frmKeyboard>(*this, mWindows, &ShowAboutBox);
            mWindow = window.get();
            return window;
        },
        mRandom,
        *this,
        mWindows,
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
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void Application::LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                           MainWindow& owner) {
    const std::string text = std::string(kErrorHeading) + "\r\n\r\n" + ErrorRequest() + "\r\n" +
                             std::string(kErrorThanks) + "\r\n\r\n" + ErrorReport(procedure, number, description);
    MessageBoxW(reinterpret_cast<HWND>(owner.Handle()), Widen(text).c_str(), Widen(kErrorTitle).c_str(),
                MB_OK | MB_ICONERROR);
}

void ShowAboutBox(Keyboard& keyboard, HWND owner) {
    const std::string text = "Mirvane\r\n" + VersionLine() + "\r\n\r\n" + AboutDescription();
    MessageBoxW(owner, Widen(text).c_str(), Widen(kAboutTitle).c_str(),
                MB_OK | MB_ICONINFORMATION | (keyboard.KeepOnTop() ? MB_TOPMOST : 0));
}

} // namespace mirvane
