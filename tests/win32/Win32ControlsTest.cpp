#include "win32/Win32Controls.h"

#include "common/ErrorObject.h"
#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mirvane {
namespace {

// Buttons are found by key, each keeps its own value, the greyed "not working" value reads
// back as such, and an unknown key is the object model's "Element not found".
TEST(ToolbarWindow, ButtonsByKeyKeepTheirOwnValues) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 100, nullptr, nullptr, nullptr, nullptr);
    ToolbarWindow toolbar(parent);
    toolbar.SetButtonValue("Obsfucate", 2);
    toolbar.SetButtonValue("Hover", 1);
    EXPECT_EQ(toolbar.ButtonValue("Obsfucate"), 2);
    EXPECT_EQ(toolbar.ButtonValue("Hover"), 1);
    EXPECT_EQ(toolbar.ButtonValue("Standard"), 0);
    toolbar.SetButtonValue("Obsfucate", 0);
    EXPECT_EQ(toolbar.ButtonValue("Obsfucate"), 0);
    EXPECT_EQ(ToolbarWindow::KeyOf(ToolbarWindow::kFirstCommandId + 17), "Clear");
    EXPECT_EQ(ToolbarWindow::KeyOf(ToolbarWindow::kFirstCommandId + 3), ""); // a separator
    try {
        toolbar.ButtonValue("Nothing");
        ADD_FAILURE() << "an unknown key was found";
    } catch (const ErrorObject& error) {
        EXPECT_EQ(error.Number(), 35601);
    }
    DestroyWindow(parent);
}

// A parent as the main window is to its keys: it has each key draw itself and counts clicks.
int gClicks = 0;
LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KeyButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_DRAWITEM && key != nullptr) {
        key->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        ++gClicks;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The program's own common controls, whose BUTTON lights up under the pointer with visual styles.
class CommonControls6 {
public:
    CommonControls6() {
        wchar_t path[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, path);
        mPath = std::wstring(path) + L"mirvane-keys.manifest";
        const char manifest[] = R"(<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
<dependency><dependentAssembly><assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls"
version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
</dependentAssembly></dependency></assembly>)";
        HANDLE file = CreateFileW(mPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, manifest, sizeof manifest - 1, &written, nullptr);
        CloseHandle(file);
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.lpSource = mPath.c_str();
        mContext = CreateActCtxW(&context);
        ActivateActCtx(mContext, &mCookie);
    }
    ~CommonControls6() {
        DeactivateActCtx(0, mCookie);
        ReleaseActCtx(mContext);
        DeleteFileW(mPath.c_str());
    }
    bool Active() const { return mContext != INVALID_HANDLE_VALUE; }

private:
    std::wstring mPath;
    HANDLE mContext = INVALID_HANDLE_VALUE;
    ULONG_PTR mCookie = 0;
};

class KeyButtonWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mControls.Active());
        WNDCLASSW host{};
        host.lpfnWndProc = HostProcedure;
        host.lpszClassName = L"MirvaneKeyHost";
        RegisterClassW(&host);
        mParent = CreateWindowExW(0, L"MirvaneKeyHost", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        SetWindowLongPtrW(mParent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&mKey));
        mKey.SetWidth(40 * 15);
        mKey.SetHeight(40 * 15);
        mKey.Make(mParent, 3017);
    }
    void TearDown() override { DestroyWindow(mParent); }

    // What a painter draws on a 40 x 40 bitmap, one 0xRRGGBB value per pixel, top row first.
    static std::vector<std::uint32_t> Paint(const std::function<void(HDC)>& painter) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        painter(dc);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> face(pixels, pixels + 40 * 40);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        for (std::uint32_t& pixel : face) {
            pixel &= 0xFFFFFF;
        }
        return face;
    }
    // The key's face as it paints it.
    std::vector<std::uint32_t> Face() const {
        return Paint([&](HDC dc) {
            SendMessageW(mKey.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                         PRF_CLIENT | PRF_ERASEBKGND);
        });
    }

    CommonControls6 mControls;
    HWND mParent = nullptr;
    KeyButtonWindow mKey{17};
};

// Any program reads a window's text: a key's caption is in no text, whoever asks or sets one,
// and only the engine learns it.
TEST_F(KeyButtonWindowTest, GivesNoTextToAnotherThreadWhateverItsCaption) {
    for (const std::u16string caption : {u"q", u"&&", u"bksp"}) {
        mKey.SetCaption(caption);
        std::wstring message = L"unset", read = L"unset";
        LRESULT length = -1, setText = -1;
        FromAnotherThread([&] {
            wchar_t text[16] = L"unread";
            SendMessageW(mKey.Window(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
            message = text;
            setText = SendMessageW(mKey.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"set"));
            length = SendMessageW(mKey.Window(), WM_GETTEXTLENGTH, 0, 0);
            GetWindowTextW(mKey.Window(), text, 16);
            read = text;
        });
        EXPECT_EQ(message, L"");
        EXPECT_EQ(read, L"");
        EXPECT_EQ(length, 0);
        EXPECT_EQ(setText, FALSE);
        EXPECT_EQ(mKey.Caption(), caption);
    }
}

// The face stays the same whether the pointer rests on the key or the key holds the focus (the
// grey dot and hover entry need that), and changes only with the press, the disabling or the caption.
TEST_F(KeyButtonWindowTest, FaceShowsThePressTheDisablingAndTheCaptionOnly) {
    mKey.SetCaption(u"q");
    const std::vector<std::uint32_t> normal = Face();
    EXPECT_EQ(normal[3 * 40 + 3], 0xE0E0E0u) << "the key-face colour";
    EXPECT_GT(
        std::count_if(normal.begin() + 3 * 40, normal.end() - 3 * 40, [](auto p) { return p != 0xE0E0E0u; }),
        40)
        << "the caption is drawn";
    const struct {
        const char* what;
        std::function<void()> make;
        std::function<void()> undo;
        bool looksDifferent;
    } cases[] = {
        {"the pointer over it", [&] { SendMessageW(mKey.Window(), WM_MOUSEHOVER, 0, MAKELPARAM(5, 5)); },
         [&] { SendMessageW(mKey.Window(), WM_MOUSELEAVE, 0, 0); }, false},
        {"the focus", [&] { SetFocus(mKey.Window()); }, [&] { SetFocus(mParent); }, false},
        {"pressed", [&] { SendMessageW(mKey.Window(), BM_SETSTATE, TRUE, 0); },
         [&] { SendMessageW(mKey.Window(), BM_SETSTATE, FALSE, 0); }, true},
        {"disabled", [&] { mKey.SetEnabled(false); }, [&] { mKey.SetEnabled(true); }, true},
        {"another caption", [&] { mKey.SetCaption(u"w"); }, [&] { mKey.SetCaption(u"q"); }, true},
    };
    for (const auto& c : cases) {
        c.make();
        EXPECT_EQ(Face() != normal, c.looksDifferent) << c.what;
        c.undo();
        EXPECT_EQ(Face(), normal) << "after " << c.what;
    }
}

// "&&" shows one "&", as the caption rule wants: as wide as one "&" drawn plainly in the same font.
TEST_F(KeyButtonWindowTest, DoubleAmpersandShowsOneAmpersand) {
    const auto inkWidth = [](const std::vector<std::uint32_t>& face) {
        int left = 40, right = -1;
        for (int i = 0; i < 40 * 40; ++i) {
            if (i % 40 >= 3 && i % 40 < 37 && i / 40 >= 3 && i / 40 < 37 &&
                face[static_cast<std::size_t>(i)] != 0xE0E0E0u) {
                left = std::min(left, i % 40);
                right = std::max(right, i % 40);
            }
        }
        return right - left + 1;
    };
    const int plain = inkWidth(Paint([](HDC dc) {
        RECT box{0, 0, 40, 40};
        HBRUSH face = CreateSolidBrush(RGB(224, 224, 224));
        FillRect(dc, &box, face);
        DeleteObject(face);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"&", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }));
    mKey.SetCaption(u"&&");
    EXPECT_GT(plain, 2);
    EXPECT_EQ(inkWidth(Face()), plain);
}

// A quick second click on a key is a second click, not a double-click that types nothing.
TEST_F(KeyButtonWindowTest, EveryClickOfAQuickPairClicks) {
    gClicks = 0;
    for (UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(mKey.Window(), down, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(mKey.Window(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(gClicks, 2);
}

// A key set up before its BUTTON exists is made with that place and state, and follows every
// later change itself.
TEST(KeyButtonWindow, IsMadeAsItWasSetUp) {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 100, nullptr, nullptr, nullptr, nullptr);
    KeyButtonWindow key(7);
    key.SetCaption(u"&&");
    key.SetLeft(45 * 15);
    key.SetWidth(50 * 15);
    key.SetVisible(false);
    key.SetEnabled(false);
    key.Make(parent, 3007);
    RECT place{};
    GetWindowRect(key.Window(), &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(key.Caption(), u"&&");
    EXPECT_EQ(place.left, 45);
    EXPECT_EQ(place.right, 95);
    EXPECT_EQ(GetDlgCtrlID(key.Window()), 3007);
    EXPECT_FALSE(key.Visible());
    EXPECT_FALSE(IsWindowEnabled(key.Window()));
    key.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(key.Window()));
    DestroyWindow(parent);
}

} // namespace
} // namespace mirvane
