#include "frmKeyboard.h"

#include "GreyDotCursor.h"
#include "InputState.h"
#include "OleDrag.h"
#include "SecretClipboard.h"
#include "WideText.h"

#include "engine/Keyboard.h"
#include "form/FormDesign.h"
#include "form/MenuTable.h"

#include <commctrl.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

namespace mirvane {

namespace {
constexpr wchar_t kClassName[] = L"MirvaneKeyboard";
constexpr int kFirstMenuId = 1000; // then one per menu entry, in the menu bar's order
constexpr int kFirstKeyId = 3000;  // then the key's number
constexpr int kPasswordId = 101;
constexpr int kPlainTextId = 102;
constexpr UINT_PTR kHoverTimerId = 1;
constexpr UINT_PTR kNoiseTimerId = 2;

// A menu item the menu bar does not show: Windows menus cannot hide one, so it is left out
// and keeps its state here.
class UnshownMenuItem final : public MenuItem {
public:
    explicit UnshownMenuItem(const MenuEntryDesign& entry)
        : mChecked(entry.checked), mEnabled(entry.enabled) {}
    bool Checked() const override { return mChecked; }
    void SetChecked(bool checked) override { mChecked = checked; }
    bool Enabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Visible() const override { return false; }

private:
    bool mChecked;
    bool mEnabled;
};

std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

ATOM RegisterWindowClass(HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW; // replaced once the object exists
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MIRVANE");
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) /* IDC_ARROW */;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass);
}
} // namespace

frmKeyboard::frmKeyboard(ErrorLog& errors, WindowStacking& stacking, ShowAbout showAbout)
    : mStacking(stacking), mShowAbout(std::move(showAbout)), mForm(*this, errors, stacking, *this) {
    mBackground = CreateSolidBrush(RGB(0xE0, 0xE0, 0xE0));
    RegisterWindowClass(mBackground);
    mWindow =
        CreateWindowExW(0, kClassName, Wide(std::u16string(kWindowTitle)), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (mWindow == nullptr) {
        throw ErrorObject(7, "mirvane", "Out of memory");
    }
    SetWindowLongPtrW(mWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(mWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmKeyboard::WindowProcedure));
    mGreyDot = CreateGreyDotCursor();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    mFontDesign = metrics.lfMessageFont;
    mFontDesignDensity = TwipsPerPixel();
    mFont = CreateFontIndirectW(&mFontDesign);
    CreateMenus();
    CreateControls();
    PlaceAtDesign();
    mInputGuard = std::make_unique<InputGuard>(mWindow);
}

frmKeyboard::~frmKeyboard() {
    txtPassword->SetEvents(nullptr);
    txtText->SetEvents(nullptr);
    mForm.AttachKeyboard(nullptr);
    mKeyboard = nullptr;
    mInputGuard.reset();
    mTimer1.reset();
    mRandomNoise.reset();
    if (IsWindow(mWindow)) {
        SetWindowLongPtrW(mWindow, GWLP_USERDATA, 0);
        DestroyWindow(mWindow);
    }
    DestroyAcceleratorTable(mAccelerators);
    DestroyCursor(mGreyDot);
    DeleteObject(mFont);
    DeleteObject(mBackground);
}

void frmKeyboard::CreateMenus() {
    mMenuBar = CreateMenu();
    HMENU current = nullptr;
    std::vector<ACCEL> accelerators;
    for (const MenuEntryDesign& entry : kMenuEntries) {
        const auto index = static_cast<std::size_t>(entry.id);
        const UINT id = kFirstMenuId + static_cast<UINT>(index);
        if (!entry.visible) {
            mMenuItems.at(index) = std::make_unique<UnshownMenuItem>(entry);
            continue;
        }
        std::wstring caption = Wide(entry.caption);
        if (!entry.shortcut.empty()) {
            caption += L"\t" + Wide(entry.shortcut);
            // "Ctrl+" and one letter: the accelerator's key is the letter's virtual key.
            accelerators.push_back(
                {FCONTROL | FVIRTKEY, static_cast<WORD>(entry.shortcut.back()), static_cast<WORD>(id)});
        }
        const UINT state =
            (entry.checked ? MF_CHECKED : MF_UNCHECKED) | (entry.enabled ? MF_ENABLED : MF_GRAYED);
        if (entry.topLevel) {
            current = CreatePopupMenu();
            AppendMenuW(mMenuBar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current), caption.c_str());
            // A menu's item in the bar has its menu's handle for a command id.
            mMenuItems.at(index) = std::make_unique<MenuItemWin32>(
                mMenuBar, static_cast<UINT>(reinterpret_cast<UINT_PTR>(current)), true);
            continue;
        }
        AppendMenuW(current, entry.caption == "-" ? MF_SEPARATOR : MF_STRING | state, id, caption.c_str());
        mMenuItems.at(index) = std::make_unique<MenuItemWin32>(mMenuBar, id, true);
    }
    SetMenu(mWindow, mMenuBar);
    mAccelerators = CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
}

// The control's own procedure is replaced, not chained through the common controls'
// subclass list: under Wine that list's lookup made every message to a key cost a
// millisecond. Keys share one original procedure, the toolbar has its own.
WNDPROC frmKeyboard::Adopt(HWND child) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(mFont), FALSE);
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmKeyboard::ChildProcedure)));
}

void frmKeyboard::CreateControls() {
    StatusBar1 = std::make_unique<PlacedWindow<Placeable>>(
        CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 10, 10,
                        mWindow, nullptr, GetModuleHandleW(nullptr), nullptr));
    mRandomNoise = std::make_unique<WindowTimer>(mWindow, kNoiseTimerId, kNoiseTickMilliseconds);
    txtText = std::make_unique<EditLine>(mWindow, kPlainTextId, false);
    SendMessageW(txtText->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(mFont), FALSE);
    for (int number = 1; number <= kKeyButtonCount; ++number) {
        mKeyButtons.push_back(std::make_unique<KeyButtonWindow>(number)); // placed at design below
    }
    tbToolbar = std::make_unique<ToolbarWindow>(mWindow);
    mToolbarProcedure = Adopt(tbToolbar->Window());
    mTimer1 = std::make_unique<WindowTimer>(mWindow, kHoverTimerId, kHoverIntervalMs);
    mTimer1->SetEnabled(true);
    txtPassword = std::make_unique<EditLine>(mWindow, kPasswordId, true);
    SendMessageW(txtPassword->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(mFont), FALSE);
    txtText->SetEvents(&mForm);
    txtPassword->SetEvents(&mForm);
}

void frmKeyboard::PlaceAtDesign() {
    const auto place = [](Placeable& control, const DesignRect& r) {
        control.SetLeft(r.left);
        control.SetTop(r.top);
        control.SetWidth(r.width);
        control.SetHeight(r.height);
    };
    SetWidth(kDesignClientWidth + kFrameWidthTwips);
    SetHeight(kDesignClientHeight + kFrameHeightTwips);
    place(*StatusBar1, kStatusBarDesign);
    place(*txtText, kPlainTextDesign);
    for (int number = 1; number <= kKeyButtonCount; ++number) {
        place(Button(number), kKeyDesignPlaces.at(static_cast<std::size_t>(number)));
    }
    place(*tbToolbar, kToolbarDesign);
    place(*txtPassword, kPasswordDesign);
}

bool frmKeyboard::TranslateAccelerator(MSG& message) const {
    return TranslateAcceleratorW(mWindow, mAccelerators, &message) != 0;
}

void frmKeyboard::AttachKeyboard(Keyboard* keyboard) {
    mKeyboard = keyboard;
    mForm.AttachKeyboard(keyboard);
}

void frmKeyboard::Show() {
    mShown = true;
    if (const std::optional<RECT> frame = std::exchange(mUnshownFrame, std::nullopt)) {
        MoveFrame(frame->left, frame->top, frame->right - frame->left, frame->bottom - frame->top);
    }
    for (const auto& key : mKeyButtons) {
        if (key->Window() == nullptr) {
            key->Make(mWindow, kFirstKeyId + key->Number());
            mKeyProcedure = Adopt(key->Window());
        }
    }
    ApplyPendingPlaces();
    ShowWindow(mWindow, SW_SHOW);
    UpdateWindow(mWindow);
}

ScreenMetrics frmKeyboard::Screen() const {
    const double twipsPerPixel = TwipsPerPixel();
    return {twipsPerPixel, twipsPerPixel, ToTwips(GetSystemMetrics(SM_CXSCREEN)),
            ToTwips(GetSystemMetrics(SM_CYSCREEN))};
}

ScreenPoint frmKeyboard::PointerPosition() const {
    POINT at{};
    GetCursorPos(&at);
    return {static_cast<double>(at.x), static_cast<double>(at.y)};
}

// The dot shows over the keys only; the lines, the background and other programs keep
// their own pointers.
void frmKeyboard::SetCustomPointer(bool greyDot) {
    mPointerIsDot = greyDot;
    POINT at{};
    GetCursorPos(&at);
    if (KeyOf(WindowFromPoint(at)) != nullptr) {
        SetCursor(greyDot ? mGreyDot : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) /* IDC_ARROW */);
    }
}

bool frmKeyboard::TextLineHasFocus() const {
    const HWND focused = GetFocus();
    return focused != nullptr && (focused == txtPassword->Window() || focused == txtText->Window());
}

bool frmKeyboard::AskOkCancel(const std::u16string& title, const std::u16string& text) {
    return MessageBoxW(mWindow, Wide(text), Wide(title), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

RECT frmKeyboard::Frame() const {
    if (mUnshownFrame) {
        return *mUnshownFrame;
    }
    RECT frame{};
    GetWindowRect(mWindow, &frame);
    return frame;
}

std::int32_t frmKeyboard::Left() const { return ToTwips(Frame().left); }
std::int32_t frmKeyboard::Top() const { return ToTwips(Frame().top); }

SIZE frmKeyboard::ClientSize() const {
    RECT client{};
    GetClientRect(mWindow, &client);
    RECT now{};
    GetWindowRect(mWindow, &now);
    const RECT frame = Frame(); // the frame keeps its borders whatever size it takes
    return {client.right + (frame.right - frame.left) - (now.right - now.left),
            client.bottom + (frame.bottom - frame.top) - (now.bottom - now.top)};
}

std::int32_t frmKeyboard::Width() const { return ToTwips(ClientSize().cx) + kFrameWidthTwips; }
std::int32_t frmKeyboard::Height() const { return ToTwips(ClientSize().cy) + kFrameHeightTwips; }

// Until the window first shows, its size and place are kept and given to the system once:
// the start-up sets width, height, top and left one at a time, and under Wine each move of a
// top-level window costs a round trip to the X server.
void frmKeyboard::MoveFrame(int x, int y, int width, int height) {
    if (!mShown) {
        mUnshownFrame = RECT{x, y, x + width, y + height};
        return;
    }
    SetWindowPos(mWindow, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmKeyboard::SetLeft(std::int32_t twips) {
    const RECT frame = Frame();
    MoveFrame(ToPixels(twips), frame.top, frame.right - frame.left, frame.bottom - frame.top);
}

void frmKeyboard::SetTop(std::int32_t twips) {
    const RECT frame = Frame();
    MoveFrame(frame.left, ToPixels(twips), frame.right - frame.left, frame.bottom - frame.top);
}

// The client area takes the size less the allowances; the frame around it is what it is.
void frmKeyboard::SetWidth(std::int32_t twips) {
    const RECT frame = Frame();
    const int client = ToPixels(twips - kFrameWidthTwips);
    MoveFrame(frame.left, frame.top, frame.right - frame.left + client - ClientSize().cx,
              frame.bottom - frame.top);
}

void frmKeyboard::SetHeight(std::int32_t twips) {
    const RECT frame = Frame();
    const int client = ToPixels(twips - kFrameHeightTwips);
    MoveFrame(frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top + client - ClientSize().cy);
}

KeyButtonWindow* frmKeyboard::KeyOf(HWND child) const {
    const auto id = static_cast<int>(GetDlgCtrlID(child)) - kFirstKeyId;
    if (child == nullptr || GetParent(child) != mWindow || id < 1 || id > kKeyButtonCount) {
        return nullptr;
    }
    return mKeyButtons.at(static_cast<std::size_t>(id - 1)).get();
}

LRESULT CALLBACK frmKeyboard::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<frmKeyboard*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (InputGuard::RefusesSent(message, wParam)) {
        return 0;
    }
    InputGuard::KeepsPlace(window, message, wParam, lParam);
    const LRESULT result = self->Handle(message, wParam, lParam);
    // Hidden at start-up, the window shows its children's places once, as it appears.
    if (IsWindowVisible(window)) {
        ApplyPendingPlaces();
    }
    return result;
}

// The keys' and the toolbar's pointer messages, before the control's own handling.
LRESULT CALLBACK frmKeyboard::ChildProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<frmKeyboard*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (InputGuard::RefusesSent(message, wParam)) {
        return 0;
    }
    InputGuard::KeepsPlace(window, message, wParam, lParam);
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONUP || message == WM_RBUTTONUP) {
        self->ChildMouse(window, message, wParam, lParam);
        ApplyPendingPlaces();
    }
    const bool toolbar = self->tbToolbar != nullptr && window == self->tbToolbar->Window();
    return CallWindowProcW(toolbar ? self->mToolbarProcedure : self->mKeyProcedure, window, message, wParam,
                           lParam);
}

void frmKeyboard::ChildMouse(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    if (mKeyboard == nullptr) {
        return;
    }
    const double twipsPerPixel = TwipsPerPixel();
    const auto x = static_cast<float>(static_cast<short>(LOWORD(lParam)) * twipsPerPixel);
    const auto y = static_cast<float>(static_cast<short>(HIWORD(lParam)) * twipsPerPixel);
    KeyButtonWindow* key = KeyOf(child);
    if (key == nullptr || !key->Enabled()) {
        if (message == WM_MOUSEMOVE) {
            mKeyboard->MouseMoveInForm(ButtonsHeld(wParam), ShiftMask(), x, y);
        }
    } else if (message == WM_MOUSEMOVE) {
        mKeyboard->ButtonMouseMove(*key, ButtonsHeld(wParam), ShiftMask(), x, y);
    } else {
        mKeyboard->ButtonMouseUp(*key, message == WM_LBUTTONUP ? 1 : 2, ShiftMask(), x, y);
    }
}

LRESULT frmKeyboard::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(wParam, lParam);
        return 0;
    case WM_NOTIFY: {
        // Only this thread's own controls get here (the guard refuses another's): the pointer is ours.
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (tip->hdr.code == TTN_GETDISPINFOW) {
            mTooltip = Widen(ToolbarWindow::Tooltip(static_cast<int>(tip->hdr.idFrom)));
            tip->lpszText = mTooltip.data();
            return 0;
        }
        break;
    }
    case WM_MENUSELECT:
        mInputGuard->MenuSelected(wParam, lParam);
        break;
    case WM_ENTERMENULOOP:
        mInputGuard->MenuLoopStarted();
        mForm.MenuOpened();
        break;
    case WM_EXITMENULOOP:
        mInputGuard->MenuLoopEnded();
        mForm.MenuClosed();
        break;
    case WM_TIMER:
        // Any program can post a WM_TIMER: a tick counts only once its interval has passed.
        if (wParam == kHoverTimerId && mTimer1->Due()) {
            mForm.HoverTimerTick();
        } else if (wParam == kNoiseTimerId && mRandomNoise->Due()) {
            mForm.NoiseTimerTick();
        }
        return 0;
    case WM_MOUSEMOVE:
        if (mKeyboard != nullptr) {
            const double twipsPerPixel = TwipsPerPixel();
            mKeyboard->MouseMoveInForm(
                ButtonsHeld(wParam), ShiftMask(),
                static_cast<float>(static_cast<short>(LOWORD(lParam)) * twipsPerPixel),
                static_cast<float>(static_cast<short>(HIWORD(lParam)) * twipsPerPixel));
        }
        return 0;
    case WM_SETCURSOR:
        if (mPointerIsDot && KeyOf(reinterpret_cast<HWND>(wParam)) != nullptr) {
            SetCursor(mGreyDot);
            return TRUE;
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (const KeyButtonWindow* key = KeyOf(item.hwndItem)) {
            key->Draw(item);
            return TRUE;
        }
        break;
    }
    case WM_DPICHANGED:
        MovedToDensity(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SIZE:
        if (tbToolbar != nullptr && wParam != SIZE_MINIMIZED) {
            tbToolbar->SetWidth(ToTwips(LOWORD(lParam))); // the toolbar spans the window
            mForm.FormResize();
        }
        return 0;
    case WM_GETMINMAXINFO: {
        RECT frame{0, 0, ToPixels(kNarrowestWidthTwips - kFrameWidthTwips), 0};
        AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = frame.right - frame.left;
        return 0;
    }
    case WM_ACTIVATE:
        LOWORD(wParam) != WA_INACTIVE ? mForm.FormActivate() : mForm.FormDeactivate();
        break; // the system then puts the focus on the frame itself
    case WM_SETFOCUS:
        mForm.FormGotFocus();
        return 0;
    case WM_ENDSESSION:
        mForm.PauseNoise(); // whatever comes next, no key it pressed is left down
        break;
    case WM_CLOSE:
        mForm.FormUnload(); // before the system lets go of the clipboard with the window
        break;
    case WM_DESTROY:
        mForm.PauseNoise();
        if (mPointerIsDot) {
            SetCustomPointer(false);
        }
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(mWindow, message, wParam, lParam);
}

void frmKeyboard::Command(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const auto source = reinterpret_cast<HWND>(lParam);
    if (source == nullptr) {
        const int index = id - kFirstMenuId;
        if (index >= 0 && index < kMenuCount) {
            mForm.OnMenu(static_cast<Menu>(index));
        }
    } else if (source == tbToolbar->Window()) {
        const std::string_view key = ToolbarWindow::KeyOf(id);
        if (!key.empty()) {
            mForm.OnToolbarButton(key);
        }
    } else if (KeyButtonWindow* key = KeyOf(source); key != nullptr && HIWORD(wParam) == BN_CLICKED) {
        if (mKeyboard != nullptr) {
            mKeyboard->ButtonClick(*key);
        }
    }
}

// On a monitor of another scale the text takes the scale, the window the place and size the
// system suggests there, and the keys are laid out again in the window's new pixels.
void frmKeyboard::MovedToDensity(int dotsPerInch, const RECT& suggested) {
    SetDotsPerInch(dotsPerInch);
    LOGFONTW scaled = mFontDesign;
    scaled.lfHeight =
        static_cast<LONG>(std::lround(mFontDesign.lfHeight * mFontDesignDensity / TwipsPerPixel()));
    HFONT previous = std::exchange(mFont, CreateFontIndirectW(&scaled));
    EnumChildWindows(
        mWindow,
        [](HWND child, LPARAM font) {
            SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(mFont));
    DeleteObject(previous);
    SetWindowPos(mWindow, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    mForm.FormResize(); // also when the size in pixels stayed
}

void frmKeyboard::ShowAboutBox() {
    if (mKeyboard != nullptr) {
        mShowAbout(*mKeyboard, mWindow);
    }
}

bool frmKeyboard::MouseButtonHeld() const {
    return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0 ||
           GetAsyncKeyState(VK_MBUTTON) < 0;
}

bool frmKeyboard::Printable(char16_t code) const {
    WORD type = 0;
    const auto character = static_cast<wchar_t>(code);
    GetStringTypeW(CT_CTYPE1, &character, 1, &type);
    return (type & (C1_CNTRL)) == 0 && (type & (C1_ALPHA | C1_DIGIT | C1_PUNCT | C1_SPACE)) != 0;
}

void frmKeyboard::ClearOwnClipboard() { SecretClipboard(mWindow).ClearOwn(); }

DropEffect frmKeyboard::RunDrag(SecretText dragged) { return RunOleDrag(std::move(dragged), mDropGate); }

} // namespace mirvane
