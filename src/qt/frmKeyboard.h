#pragma once

#include "form/DropGate.h"
#include "form/KeyboardForm.h"

#include "KeyButtonWidget.h"
#include "QtControls.h"
#include "SecretMimeData.h"
#include "TextLines.h"
#include "ToolbarWidget.h"
#include "XdndWatch.h"

#include "engine/Controls.h"
#include "engine/ErrorLog.h"
#include "engine/KeyButtonEvents.h"
#include "platform/WindowPlacement.h"
#include "platform/WindowStacking.h"

#include <QCursor>
#include <QDrag>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace mirvane {

// The main window: the 65 keys, the two text lines, menus, toolbar and timers. Each
// handler reads or flips a control and forwards to one engine operation.
class frmKeyboard final : public QMainWindow, public MainWindow, private FormToolkit {
    Q_OBJECT
public:
    // Shows the about window modally over its owner.
    using ShowAbout = std::function<void(Keyboard& keyboard, WindowStacking& stacking, QWidget* owner)>;

    frmKeyboard(ErrorLog& errors, WindowStacking& stacking, WindowPlacement& placement, ShowAbout showAbout);
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
    bool SizedByWindowManager() const override {
        return (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
    }
    bool CustomPointer() const override { return mPointerIsDot; }
    void SetCustomPointer(bool greyDot) override;
    ScreenPoint PointerPosition() const override;
    void Beep() override;
    bool TextLineHasFocus() const override;
    bool AskOkCancel(const std::u16string& title, const std::u16string& text) override;
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

    // How a drag of the lines' text ends; a test may decide instead of a drop target.
    using DragRunner = std::function<Qt::DropAction(QDrag&)>;
    void RunDragsWith(DragRunner runner) { mRunDrag = std::move(runner); }
    // Who may read the dragged text; told by the X connection where the drag was dropped.
    DropGate& DragGate() { return mDropGate; }
    // How long after a drop the target may still ask for the text, in its own idle time.
    static constexpr int kDropAnswerMs = 900; // a target asks at once, even on a busy machine

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void FollowWindowManager();

private:
    QPoint FrameOrigin() const;
    void CreateControls();
    void CreateMenus();
    void PlaceAtDesign();

    // Window routines of the key buttons.
    void KeyButtonClick(KeyButtonWidget* button);
    void KeyButtonMouseMove(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift, float x,
                            float y);
    void KeyButtonMouseUp(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift, float x,
                          float y);

    // Window events.
    void FormResize();

    // FormToolkit
    void CloseWindow() override { close(); }
    void ShowAboutBox() override;
    bool MouseButtonHeld() const override;
    bool Printable(char16_t code) const override;
    void ClearOwnClipboard() override;
    DropEffect RunDrag(SecretText dragged) override;
    void OfferCopy(const SecretText& text) override { txtText->OfferCopy(text); }
    void WithdrawCopy() override { txtText->WithdrawCopy(); }
    void RaiseCursorCount() override {} // the X server keeps no cursor display count
    void WatchDropDeadline();
    void EndDrop();

    // Commands: the menu item's check as it was before the click, then the form decides.
    void OnMenu(Menu item);
    void OnToolbarButton(const QString& key);

    WindowStacking& mStacking;
    WindowPlacement& mPlacement;
    ShowAbout mShowAbout;
    Keyboard* mKeyboard = nullptr;
    KeyboardForm mForm;
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
    bool mPointerIsDot = false;

    std::unique_ptr<PlacedWidget<Placeable>> mStatusBar;
    QtTimer mTimer1{Timer1};
    QtTimer mRandomNoise{tmrRandomNoise};
    std::array<QAction*, kMenuCount> mMenuActions{};
    std::vector<std::unique_ptr<QtMenuItem>> mMenuItems;

    DragRunner mRunDrag;
    DropGate mDropGate{std::chrono::milliseconds(kDropAnswerMs)};
    std::unique_ptr<XdndWatch> mXdndWatch;
    QPointer<SecretMimeData> mDragData; // the toolkit may delete it once the target is done
    QTimer mDropDeadline;
    // Runs a while after the pointer comes in, unless the window manager reports a move first.
    QTimer mPlaceCheck;
};

// The custom pointer: 16 x 16, transparent but for one pixel of the key-face colour.
QCursor GreyDotPointer();

} // namespace mirvane
