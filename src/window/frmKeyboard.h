#pragma once

#include "KeyButtonWidget.h"
#include "QtControls.h"
#include "TextLines.h"
#include "ToolbarWidget.h"

#include "engine/Controls.h"
#include "engine/ErrorLog.h"
#include "engine/KeyButtonEvents.h"

#include <QCursor>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

namespace mirvane {

// The main window: the 65 keys, the two text lines, menus, toolbar and timers. Each
// handler reads or flips a control and forwards to one engine operation.
class frmKeyboard final : public QMainWindow, public MainWindow {
    Q_OBJECT
public:
    explicit frmKeyboard(ErrorLog& errors);
    ~frmKeyboard() override;

    // MainWindow
    KeyButton& Button(int number) override;
    TextLine& Password() override { return *txtPassword; }
    TextLine& PlainText() override { return *txtText; }
    MenuItem& MenuEntry(Menu item) override;
    Timer& HoverTimer() override { return mTimer1; }
    Timer& NoiseTimer() override { return mRandomNoise; }
    ToolbarControl& Toolbar() override { return *tbToolbar; }
    Placeable& StatusBar() override { return *mStatusBar; }
    ScreenMetrics Screen() const override;
    WindowHandle Handle() const override;
    void Show() override { show(); }
    void AttachKeyboard(Keyboard* keyboard) override;

    // Placeable: the outer frame, in twips.
    std::int32_t Left() const override;
    void SetLeft(std::int32_t twips) override;
    std::int32_t Top() const override;
    void SetTop(std::int32_t twips) override;
    std::int32_t Width() const override;
    void SetWidth(std::int32_t twips) override;
    std::int32_t Height() const override;
    void SetHeight(std::int32_t twips) override;
    bool Visible() const override { return isVisible(); }
    void SetVisible(bool visible) override { setVisible(visible); }

    // Where the key buttons' events go; the engine unless a test listens instead.
    void RouteKeyButtonEvents(KeyButtonEvents* events) { mButtonEvents = events; }

    KeyButtonWidget* KeyButtonWidgetAt(int number) const { return mKeyButtons.at(number - 1); }
    QAction* MenuAction(Menu item) const { return mMenuActions.at(static_cast<std::size_t>(item)); }
    ToolbarWidget* ToolbarWidgetControl() const { return tbToolbar; }
    PasswordLine* PasswordWidget() const { return txtPassword; }
    PlainTextLine* PlainTextWidget() const { return txtText; }
    QWidget* ClientArea() const { return mClient; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void PlaceAtDesign();

    // Window routines of the key buttons.
    void KeyButtonClick(KeyButtonWidget* button);
    void KeyButtonMouseMove(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift, float x, float y);
    void KeyButtonMouseUp(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift, float x, float y);

    // Window events.
    void FormResize();
    void FormActivate();
    void FormDeactivate();
    TextLine& VisibleLine();

    // Commands.
    void OnMenu(Menu item);
    void OnToolbarButton(const QString& key);
    void ViewToolbarClick();
    bool FlipCheck(Menu item);

    ErrorLog& mErrors;
    Keyboard* mKeyboard = nullptr;
    KeyButtonEvents* mButtonEvents = nullptr;

    QWidget* mClient = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTimer tmrRandomNoise;
    PlainTextLine* txtText = nullptr;
    std::vector<KeyButtonWidget*> mKeyButtons;
    ToolbarWidget* tbToolbar = nullptr;
    QTimer Timer1;
    PasswordLine* txtPassword = nullptr;
    QCursor mPointerImage; // ImageList1's image "a": one grey dot

    std::unique_ptr<PlacedWidget<Placeable>> mStatusBar;
    QtTimer mTimer1{Timer1};
    QtTimer mRandomNoise{tmrRandomNoise};
    std::array<QAction*, kMenuCount> mMenuActions{};
    std::vector<std::unique_ptr<QtMenuItem>> mMenuItems;
};

// The custom pointer: 16 x 16, transparent but for one pixel of the key-face colour.
QCursor GreyDotPointer();

} // namespace mirvane
