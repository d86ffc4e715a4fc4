#pragma once

#include "support/FakeServices.h"

#include "qt/Application.h"
#include "qt/frmError.h"
#include "qt/frmKeyboard.h"

#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace mirvane::test {

// Closes every error window and message box that opens, keeping what it reported.
struct ErrorWindowWatcher {
    ErrorWindowWatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* report = qobject_cast<frmError*>(QApplication::activeModalWidget())) {
                reports << report->windowTitle() + "|" + report->ErrorText()->toPlainText();
                report->CloseButton()->click();
            } else if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                reports << box->text();
                box->accept();
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
    void Command(mirvane::Menu item) { Menu(item); }
    void Command(const char* toolbarKey) { ToolbarButton(toolbarKey); }

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

// The window with its password line, and a drop target that records what it receives.
struct LineRig {
    static constexpr std::uint32_t kTarget = 0x1400000; // the X client of the drop target
    WindowHarness h;
    PasswordLine* password = h.Window().PasswordWidget();
    PlainTextLine* plain = h.Window().PlainTextWidget();
    std::vector<std::u16string> dragged;
    Qt::DropAction dropAs = Qt::MoveAction;

    LineRig() {
        // The target the drag is dropped on asks for the text, as a real one does.
        h.Window().RunDragsWith([this](QDrag& drag) {
            h.Window().DragGate().Dropped(kTarget);
            h.Window().DragGate().Requested(kTarget);
            dragged.push_back(ToU16(drag.mimeData()->text()));
            return dropAs;
        });
        password->setFocus();
    }
    // A point in the line where a press puts the caret at that position.
    QPoint At(int position) const {
        for (int x = 0; x < password->width(); ++x) {
            if (password->cursorPositionAt(QPoint(x, password->height() / 2)) == position) {
                return {x + 1, password->height() / 2};
            }
        }
        ADD_FAILURE() << "no point for position " << position;
        return {};
    }
    void Send(QEvent::Type type, QPoint to, Qt::MouseButtons held, Qt::MouseButton button = Qt::NoButton) {
        QMouseEvent e(type, QPointF(to), password->mapToGlobal(QPointF(to)), button, held, Qt::NoModifier);
        QApplication::sendEvent(password, &e);
    }
    void Move(QPoint to, Qt::MouseButtons held = Qt::NoButton) { Send(QEvent::MouseMove, to, held); }
    void DragFrom(QPoint at) {
        QTest::mousePress(password, Qt::LeftButton, Qt::NoModifier, at);
        Move(at + QPoint(5, 0), Qt::LeftButton);
    }
};

} // namespace mirvane::test
