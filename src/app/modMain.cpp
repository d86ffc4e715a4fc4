#include "modMain.h"

#include "common/ErrorObject.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Stacking.h"

#include <QMessageBox>
#include <QWidget>

namespace mirvane::modMain {

namespace {
std::unique_ptr<Application> gApplication;

class QtWindowLayering final : public WindowLayering {
public:
    void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) override {
        modMain::MakeWindowLayered(windowHandle, opacity);
    }
};
QtWindowLayering gLayering;
std::unique_ptr<x11::X11Keyboard> gKeyboard;
std::unique_ptr<x11::X11Stacking> gStacking;
} // namespace

Application* TheApplication() { return gApplication.get(); }

void Main() {
    gKeyboard = std::make_unique<x11::X11Keyboard>();
    gStacking = std::make_unique<x11::X11Stacking>();
    auto application = std::make_unique<Application>(std::make_unique<SystemRandom>(),
                                                     PlatformServices{gLayering, *gKeyboard, *gStacking, *gKeyboard, *gKeyboard, *gKeyboard});
    gApplication = std::move(application);
    gApplication->SetTimerInterval(2000);
}

void End() {
    gApplication.reset();
    gStacking.reset();
    gKeyboard.reset();
}

void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) {
    try {
        QWidget* window = QWidget::find(static_cast<WId>(windowHandle));
        if (window == nullptr) {
            throw ErrorObject(kErrorInvalidCall, "mirvane", "Invalid procedure call or argument");
        }
        window->setWindowOpacity(static_cast<std::uint8_t>(opacity) / 255.0);
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        QMessageBox::information(nullptr, QString(),
                                 QString::fromStdString(error.description) + QStringLiteral(" Source : ") +
                                     QString::fromStdString(error.source));
    }
}

} // namespace mirvane::modMain
