#include "modMain.h"

#include "common/ErrorObject.h"
#include "form/ReportingLayering.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Placement.h"
#include "platform/x11/X11Stacking.h"

#include <QMessageBox>
#include <QWidget>

namespace mirvane::modMain {

namespace {
// Owned here but not destroyed by the C++ run time: when the X server goes away the toolkit
// calls exit() from inside the event loop, and destroying the window there would crash.
Application* gApplication = nullptr;

class QtWindowLayering final : public WindowLayering {
public:
    void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) override {
        QWidget* window = QWidget::find(static_cast<WId>(windowHandle));
        if (window == nullptr) {
            throw ErrorObject(kErrorInvalidCall, "mirvane", "Invalid procedure call or argument");
        }
        window->setWindowOpacity(static_cast<std::uint8_t>(opacity) / 255.0);
    }
};
QtWindowLayering gOpacity;
ReportingLayering gLayering(gOpacity, [](const std::string& text) {
    QMessageBox::information(nullptr, QString(), QString::fromStdString(text));
});
x11::X11Keyboard* gKeyboard = nullptr;
x11::X11Stacking* gStacking = nullptr;
x11::X11Placement* gPlacement = nullptr;
} // namespace

Application* TheApplication() { return gApplication; }

void Main() {
    gKeyboard = new x11::X11Keyboard();
    gStacking = new x11::X11Stacking();
    gPlacement = new x11::X11Placement();
    gApplication = new Application(
        std::make_unique<SystemRandom>(),
        PlatformServices{gLayering, *gKeyboard, *gStacking, *gPlacement, *gKeyboard, *gKeyboard, *gKeyboard});
    gApplication->SetTimerInterval(2000);
}

void End() {
    delete gApplication;
    gApplication = nullptr;
    delete gPlacement;
    gPlacement = nullptr;
    delete gStacking;
    gStacking = nullptr;
    delete gKeyboard;
    gKeyboard = nullptr;
}

void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) {
    gLayering.MakeWindowLayered(windowHandle, opacity);
}

} // namespace mirvane::modMain
