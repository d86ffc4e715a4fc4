#include "frmKeyboard.h"

#include "form/FormDesign.h"
#include "form/MenuTable.h"

#include "common/ErrorObject.h"
#include "engine/Keyboard.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>

// The icons live in the window library, which a static link would otherwise drop.
static void LoadWindowResources() { Q_INIT_RESOURCE(resources); }

namespace mirvane {

// Drawn at the screen's density, so that the toolkit need not scale it into a blur.
QCursor GreyDotPointer(qreal ratio) {
    QPixmap image(QSize(16, 16) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRectF(7, 8, 1, 1), QColor(kKeyFaceColour));
    painter.end();
    return QCursor(image, 7, 8);
}

frmKeyboard::frmKeyboard(ErrorLog& errors, WindowStacking& stacking, WindowPlacement& placement,
                         ShowAbout showAbout)
    : mStacking(stacking), mPlacement(placement), mShowAbout(std::move(showAbout)),
      mForm(*this, errors, stacking, *this) {
    LoadWindowResources();
    setObjectName(QStringLiteral("frmKeyboard"));
    setWindowTitle(QString::fromUtf16(kWindowTitle.data(), static_cast<qsizetype>(kWindowTitle.size())));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/Mirvane16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/Mirvane32.xpm"), QSize(32, 32));
    setWindowIcon(icon);
    CreateControls();
    CreateMenus();
    PlaceAtDesign();
    // The narrowest window the layout allows.
    setMinimumWidth(ToPixels(kNarrowestWidthTwips - kFrameWidthTwips));
    mXdndWatch = XdndWatch::Install(mDropGate);
    mDropDeadline.setSingleShot(true);
    connect(&mDropDeadline, &QTimer::timeout, this, &frmKeyboard::WatchDropDeadline);
    mPlaceCheck.setSingleShot(true);
    mPlaceCheck.setInterval(300);
    connect(&mPlaceCheck, &QTimer::timeout, this, &frmKeyboard::FollowWindowManager);
}

// The lines report focus changes while they go; nobody is listening by then.
frmKeyboard::~frmKeyboard() {
    EndDrop();
    txtPassword->SetEvents(nullptr);
    txtText->SetEvents(nullptr);
    mKeyboard = nullptr;
    mButtonEvents = nullptr;
    mForm.AttachKeyboard(nullptr);
}

void frmKeyboard::CreateControls() {
    mClient = new QWidget(this);
    mClient->setObjectName(QStringLiteral("client"));
    mClient->setAutoFillBackground(true);
    QPalette palette = mClient->palette();
    palette.setColor(QPalette::Window, QColor(kKeyFaceColour));
    palette.setColor(QPalette::Button, QColor(kKeyFaceColour));
    mClient->setPalette(palette);
    setCentralWidget(mClient);

    StatusBar1 = new QStatusBar(mClient);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    mStatusBar = std::make_unique<PlacedWidget<Placeable>>(*StatusBar1);

    tmrRandomNoise.setInterval(kNoiseTickMilliseconds);
    tmrRandomNoise.setTimerType(Qt::PreciseTimer);
    tmrRandomNoise.stop();
    connect(&tmrRandomNoise, &QTimer::timeout, this, [this] { mForm.NoiseTimerTick(); });

    txtText = new PlainTextLine(mClient);

    QFont keyFont(QStringLiteral("Sans Serif"));
    keyFont.setStyleHint(QFont::SansSerif);
    keyFont.setPointSizeF(9.75);
    for (int number = 1; number <= kKeyButtonCount; ++number) {
        auto* button = new KeyButtonWidget(number, mClient);
        button->setFont(keyFont);
        connect(button, &QPushButton::clicked, this, [this, button] { KeyButtonClick(button); });
        connect(button, &KeyButtonWidget::pointerMoved, this, &frmKeyboard::KeyButtonMouseMove);
        connect(button, &KeyButtonWidget::pointerReleased, this, &frmKeyboard::KeyButtonMouseUp);
        button->installEventFilter(this); // a disabled key reports no moves of its own
        mKeyButtons.push_back(button);
    }

    tbToolbar = new ToolbarWidget(mClient);
    connect(tbToolbar, &ToolbarWidget::buttonClicked, this, &frmKeyboard::OnToolbarButton);

    Timer1.setInterval(kHoverIntervalMs);
    Timer1.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % late
    Timer1.start();
    connect(&Timer1, &QTimer::timeout, this, [this] { mForm.HoverTimerTick(); });

    txtPassword = new PasswordLine(mClient);
    mPointerImage = GreyDotPointer(devicePixelRatioF());
    txtText->SetEvents(&mForm);
    txtPassword->SetEvents(&mForm);

    // Pointer moves over the background and the toolbar (its buttons too) end the countdown.
    for (QWidget* form : {mClient, static_cast<QWidget*>(tbToolbar)}) {
        form->setMouseTracking(true);
        form->installEventFilter(this);
    }
    for (QWidget* button : tbToolbar->findChildren<QWidget*>()) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }
}

void frmKeyboard::CreateMenus() {
    QMenu* current = nullptr;
    for (const MenuEntryDesign& entry : kMenuEntries) {
        const QString caption =
            QString::fromLatin1(entry.caption.data(), static_cast<qsizetype>(entry.caption.size()));
        QAction* action = nullptr;
        if (entry.topLevel) {
            current = menuBar()->addMenu(caption);
            action = current->menuAction();
            connect(current, &QMenu::aboutToShow, this, [this] { mForm.MenuOpened(); });
            connect(current, &QMenu::aboutToHide, this, [this] { mForm.MenuClosed(); });
        } else if (entry.caption == "-") {
            action = current->addSeparator();
        } else {
            action = current->addAction(caption);
            const Menu item = entry.id;
            connect(action, &QAction::triggered, this, [this, item] { OnMenu(item); });
        }
        action->setObjectName(
            QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size())));
        if (!entry.shortcut.empty()) {
            action->setShortcut(QKeySequence(
                QString::fromLatin1(entry.shortcut.data(), static_cast<qsizetype>(entry.shortcut.size()))));
        }
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
        action->setEnabled(entry.enabled);
        action->setVisible(entry.visible);
        mMenuActions.at(static_cast<std::size_t>(entry.id)) = action;
        mMenuItems.push_back(std::make_unique<QtMenuItem>(*action));
    }
}

void frmKeyboard::PlaceAtDesign() {
    const auto place = [](QWidget* widget, const DesignRect& r) {
        widget->setGeometry(TwipsRect(r.left, r.top, r.width, r.height));
    };
    resize(ToPixels(kDesignClientWidth), ToPixels(kDesignClientHeight) + menuBar()->sizeHint().height());
    place(StatusBar1, kStatusBarDesign);
    place(txtText, kPlainTextDesign);
    for (int number = 1; number <= kKeyButtonCount; ++number) {
        place(KeyButtonWidgetAt(number), kKeyDesignPlaces.at(static_cast<std::size_t>(number)));
    }
    place(tbToolbar, kToolbarDesign);
    place(txtPassword, kPasswordDesign);
    txtText->setTabOrder(txtText, txtPassword);
}

KeyButton& frmKeyboard::Button(int number) { return *KeyButtonWidgetAt(number); }

MenuItem& frmKeyboard::MenuEntry(Menu item) { return *mMenuItems.at(static_cast<std::size_t>(item)); }

ScreenMetrics frmKeyboard::Screen() const {
    const double twipsPerPixel = TwipsPerPixel();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen != nullptr ? screen->geometry().size() : QSize(1024, 768);
    return {twipsPerPixel, twipsPerPixel, ToTwips(size.width()), ToTwips(size.height())};
}

WindowHandle frmKeyboard::Handle() const { return static_cast<WindowHandle>(winId()); }

void frmKeyboard::AttachKeyboard(Keyboard* keyboard) {
    mKeyboard = keyboard;
    mButtonEvents = keyboard;
    mForm.AttachKeyboard(keyboard);
}

// A window manager may put or move the window without telling the toolkit (weston's X one
// does), so where the frame is now is asked of the display server; the frame's own size is
// the toolkit's.
QPoint frmKeyboard::FrameOrigin() const {
    const std::optional<PixelPoint> inside = mPlacement.InsideOrigin(static_cast<std::uintptr_t>(winId()));
    if (!inside) {
        return pos();
    }
    const qreal ratio = devicePixelRatioF();
    return QPoint(qRound(inside->x / ratio), qRound(inside->y / ratio)) - (geometry().topLeft() - pos());
}

std::int32_t frmKeyboard::Left() const { return ToTwips(FrameOrigin().x()); }
void frmKeyboard::SetLeft(std::int32_t twips) { move(ToPixels(twips), y()); }
std::int32_t frmKeyboard::Top() const { return ToTwips(FrameOrigin().y()); }
void frmKeyboard::SetTop(std::int32_t twips) { move(x(), ToPixels(twips)); }

// The outer size is the client area below the menu bar plus fixed frame allowances, so
// that the layout's arithmetic holds under every window manager.
std::int32_t frmKeyboard::Width() const { return ToTwips(width()) + kFrameWidthTwips; }

void frmKeyboard::SetWidth(std::int32_t twips) {
    const QSize before = size();
    resize(ToPixels(twips - kFrameWidthTwips), height());
    if (!isVisible() && size() != before) {
        FormResize(); // a hidden window gets its resize event only when shown
    }
}

std::int32_t frmKeyboard::Height() const {
    return ToTwips(height() - menuBar()->sizeHint().height()) + kFrameHeightTwips;
}

void frmKeyboard::SetHeight(std::int32_t twips) {
    const QSize before = size();
    resize(width(), ToPixels(twips - kFrameHeightTwips) + menuBar()->sizeHint().height());
    if (!isVisible() && size() != before) {
        FormResize();
    }
}

bool frmKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && mKeyboard != nullptr) {
        const auto* move = static_cast<QMouseEvent*>(event);
        // A move over a key or a line that the child let pass reaches the background too. A
        // disabled key takes no part in hover entry: over it the pointer is on the background.
        const auto* key = qobject_cast<const KeyButtonWidget*>(watched);
        if ((key != nullptr && key->isEnabled()) ||
            (watched == mClient && mClient->childAt(move->position().toPoint()) != nullptr)) {
            return QMainWindow::eventFilter(watched, event);
        }
        mKeyboard->MouseMoveInForm(MouseButtonMask(move->buttons()), ShiftMask(move->modifiers()),
                                   static_cast<float>(move->position().x()),
                                   static_cast<float>(move->position().y()));
    }
    return QMainWindow::eventFilter(watched, event);
}

// The main window's own pointer only: other programs never see the dot.
void frmKeyboard::SetCustomPointer(bool greyDot) {
    mPointerIsDot = greyDot;
    for (KeyButtonWidget* button : mKeyButtons) {
        button->ShowHover(!greyDot);
    }
    if (greyDot) {
        setCursor(mPointerImage);
    } else {
        unsetCursor();
    }
}

ScreenPoint frmKeyboard::PointerPosition() const {
    const QPoint at = QCursor::pos();
    return {static_cast<double>(at.x()), static_cast<double>(at.y())};
}

void frmKeyboard::Beep() { QApplication::beep(); }

bool frmKeyboard::AskOkCancel(const std::u16string& title, const std::u16string& text) {
    QMessageBox box(QMessageBox::Question, ToQString(title), ToQString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Ok;
}

void frmKeyboard::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void frmKeyboard::KeyButtonClick(KeyButtonWidget* button) {
    if (mButtonEvents != nullptr) {
        mButtonEvents->ButtonClick(*button);
    }
}

void frmKeyboard::KeyButtonMouseMove(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift,
                                     float x, float y) {
    if (mButtonEvents != nullptr) {
        mButtonEvents->ButtonMouseMove(*button, mouseButton, shift, x, y);
    }
}

void frmKeyboard::KeyButtonMouseUp(KeyButtonWidget* button, std::int16_t mouseButton, std::int16_t shift,
                                   float x, float y) {
    if (mButtonEvents != nullptr) {
        mButtonEvents->ButtonMouseUp(*button, mouseButton, shift, x, y);
    }
}

// A window manager that moved the window without telling the toolkit (weston's X one) would
// have menus and dialogs open where the window used to be. A while after the pointer comes in,
// if no move was reported meanwhile (one that is reported is still on its way, and a request
// now would fight it), the window is moved to where the X server has it: the toolkit is put
// right and the window stays.
void frmKeyboard::enterEvent(QEnterEvent* event) {
    QMainWindow::enterEvent(event);
    mPlaceCheck.start();
}

void frmKeyboard::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    mPlaceCheck.stop();
}

void frmKeyboard::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    mForm.FormUnload();
}

void frmKeyboard::FollowWindowManager() {
    const QPoint frame = FrameOrigin();
    if (!SizedByWindowManager() && frame != pos()) {
        move(frame);
    }
}

void frmKeyboard::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            mForm.FormActivate();
        } else {
            mForm.FormDeactivate();
        }
    }
}

bool frmKeyboard::TextLineHasFocus() const {
    const QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && (focused == txtPassword || focused == txtText);
}

void frmKeyboard::FormResize() {
    tbToolbar->resize(mClient->width(), tbToolbar->height()); // the toolbar spans the window
    mForm.FormResize();
}

} // namespace mirvane
