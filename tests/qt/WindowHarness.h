#pragma once

#include "support/FakeServices.h"

#include "qt/Application.h"
#include "qt/frmError.h"
#include "qt/frmKeyboard.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace mirvane::test {

// Closes every error window that opens, keeping what it reported.
struct ErrorWindowWatcher {
    ErrorWindowWatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* report = qobject_cast<frmError*>(QApplication::activeModalWidget())) {
                reports << report->windowTitle() + "|" + report->ErrorText()->toPlainText();
                report->CloseButton()->click();
            }
        });
        timer.start(10);
    }
    QTimer timer;
    QStringList reports;
};

// The real application object and window, with a seeded generator.
struct WindowHarness {
    explicit WindowHarness(unsigned seed = 4242)
        : application(std::make_unique<SeededRandom>(seed), PlatformServices{layering, keyState, stacking, placement, foreground, injector, layout}) {
        application.SetTimerInterval(2000);
        Window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }
    ~WindowHarness() {
        EXPECT_TRUE(errorWindows.reports.isEmpty()) << errorWindows.reports.join("; ").toStdString();
    }
    frmKeyboard& Window() { return *application.Window(); }
    Keyboard& Engine() { return *application.Keyboard(); }
    KeyButtonWidget* KeyShowing(const QString& caption) {
        for (int n = 1; n <= kKeyButtonCount; ++n) {
            KeyButtonWidget* button = Window().KeyButtonWidgetAt(n);
            if (button->text() == caption && !button->isHidden()) {
                return button;
            }
        }
        return nullptr;
    }
    void Click(const QString& caption) {
        KeyButtonWidget* button = KeyShowing(caption);
        ASSERT_NE(button, nullptr) << caption.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void Menu(mirvane::Menu item) { Window().MenuAction(item)->trigger(); }
    void ToolbarButton(const char* key) { Window().ToolbarWidgetControl()->ButtonAction(key)->trigger(); }

    ErrorWindowWatcher errorWindows;
    RecordingLayering layering;
    FakeKeyState keyState;
    RecordingStacking stacking;
    TrustingPlacement placement;
    FakeKeyboardWire foreground{keyState}; // only asked whether the window is in front
    RecordingInjector injector;
    UsLayout layout;
    Application application;
};

} // namespace mirvane::test
