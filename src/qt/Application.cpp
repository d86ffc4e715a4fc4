#include "Application.h"

#include "frmAbout.h"
#include "frmError.h"

#include "form/ProgramTexts.h"
#include "qt/QtEventPump.h"
#include "qt/frmKeyboard.h"

namespace mirvane {

Application::Application(std::unique_ptr<RandomSource> random, PlatformServices platform)
    : mRandom(std::move(random)), mPump(std::make_unique<QtEventPump>()) {
    mToolbar = std::make_unique<mirvane::Toolbar>();
    mKeyboard = std::make_unique<mirvane::Keyboard>(KeyboardServices{
        [this, platform] {
            return std::make_unique<frmKeyboard>(*this, platform.stacking, platform.placement, &frmAbout::ShowModal);
        },
        *mRandom,
        *this,
        platform.layering,
        [this] { return mTimerInterval; },
        platform.keyState,
        platform.foreground,
        platform.injector,
        platform.layout,
        *mPump,
    });
}

// The engine goes first, then the toolbar state.
Application::~Application() {
    mKeyboard.reset();
    mToolbar.reset();
}

frmKeyboard* Application::Window() const {
    return mKeyboard ? dynamic_cast<frmKeyboard*>(QWidget::find(static_cast<WId>(mKeyboard->hwnd())))
                     : nullptr;
}

QString Application::ReportText(const std::string& procedure, std::int32_t number,
                                const std::string& description) {
    return QString::fromStdString(ErrorReport(procedure, number, description));
}

void Application::LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                           MainWindow& owner) {
    frmError report(dynamic_cast<QWidget*>(&owner));
    report.SetErrorString(ReportText(procedure, number, description));
    report.exec();
}

} // namespace mirvane
