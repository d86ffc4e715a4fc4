#include "win32/Win32Controls.h"

#include "common/ErrorObject.h"
#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace mirvane {
namespace {

// A parent as the main window is to its keys: it has each key draw itself and counts clicks.
int gClicks = 0;
LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KeyButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_DRAWITEM && key != nullptr) {
        key->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    gClicks += message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED ? 1 : 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// Key 17 made on a parent that draws it, with the program's own common controls, whose BUTTON
// lights up under the pointer with visual styles.
class Win32Controls : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(mManifest)
            << R"(<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
<dependency><dependentAssembly><assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls"
version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
</dependentAssembly></dependency></assembly>)";
        ACTCTXW context{sizeof context, 0, mManifest.c_str(), 0, 0, nullptr, nullptr, nullptr, nullptr};
        mContext = CreateActCtxW(&context);
        ASSERT_TRUE(ActivateActCtx(mContext, &mCookie));
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW host{0, HostProcedure, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"MirvaneKeys"};
        RegisterClassW(&host);
        mParent = CreateWindowExW(0, L"MirvaneKeys", L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        SetWindowLongPtrW(mParent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&mKey));
        mKey.SetWidth(40 * 15);
        mKey.SetHeight(40 * 15);
        mKey.Make(mParent, 3017);
    }
    void TearDown() override {
        DestroyWindow(mParent);
        DeactivateActCtx(0, mCookie);
        ReleaseActCtx(mContext);
        std::filesystem::remove(mManifest);
    }

    // What a painter draws on a 40 x 40 bitmap, one 0xRRGGBB value per pixel, top row first.
    static std::vector<std::uint32_t> Paint(const std::function<void(HDC)>& painter) {
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(dc, bitmap);
        painter(dc);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> face(pixels, pixels + 40 * 40);
        std::ranges::for_each(face, [](std::uint32_t& pixel) { pixel &= 0xFFFFFF; });
        DeleteDC(dc); // which lets go of the bitmap
        DeleteObject(bitmap);
        return face;
    }
    // The key's face as it paints it.
    std::vector<std::uint32_t> Face() const {
        return Paint([&](HDC dc) {
            SendMessageW(mKey.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                         PRF_CLIENT | PRF_ERASEBKGND);
        });
    }

    // How wide the ink inside the key's edge is: anything unlike the face's own colour there.
    static int InkWidth(const std::vector<std::uint32_t>& face) {
        int left = 40, right = -1;
        for (int i = 0; i < 40 * 40; ++i) {
            if (i % 40 >= 3 && i % 40 < 37 && i / 40 >= 3 && i / 40 < 37 &&
                face[static_cast<std::size_t>(i)] != face[3 * 40 + 3]) {
                left = std::min(left, i % 40);
                right = std::max(right, i % 40);
            }
        }
        return right - left + 1;
    }

    const std::filesystem::path mManifest = std::filesystem::temp_directory_path() / "mirvane-keys.manifest";
    HANDLE mContext = INVALID_HANDLE_VALUE;
    ULONG_PTR mCookie = 0;
    HWND mParent = nullptr;
    KeyButtonWindow mKey{17};
};

// Buttons are found by key, each keeps its own value, the greyed "not working" value reads
// back as such, and an unknown key is the object model's "Element not found".
TEST_F(Win32Controls, ToolbarButtonsByKeyKeepTheirOwnValues) {
    ToolbarWindow toolbar(mParent);
    toolbar.SetButtonValue("Obsfucate", 2);
    toolbar.SetButtonValue("Hover", 1);
    EXPECT_EQ(std::tuple(toolbar.ButtonValue("Obsfucate"), toolbar.ButtonValue("Hover"),
                         toolbar.ButtonValue("Standard")),
              std::tuple(2, 1, 0));
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
}

// Any program reads a window's text: a key's caption is in no text, whoever asks or sets one,
// and only the engine learns it.
TEST_F(Win32Controls, KeyGivesNoTextToAnotherThreadWhateverItsCaption) {
    for (const std::u16string caption : {u"q", u"&&", u"bksp"}) {
        mKey.SetCaption(caption);
        wchar_t message[16] = L"unread";
        LRESULT length = -1, setText = -1;
        FromAnotherThread([&] {
            SendMessageW(mKey.Window(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(message));
            setText = SendMessageW(mKey.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"set"));
            length = SendMessageW(mKey.Window(), WM_GETTEXTLENGTH, 0, 0);
        });
        EXPECT_EQ(std::tuple(std::wstring(message), length, setText, mKey.Caption()),
                  std::tuple(L"", 0, FALSE, caption));
    }
}

// The face stays the same whether the pointer rests on the key or the key holds the focus (the
// grey dot and hover entry need that), and changes only with the press, the disabling or the caption,
// where "&&" shows one "&": as wide as one "&" drawn plainly in the same font.
TEST_F(Win32Controls, KeyFaceShowsThePressTheDisablingAndTheCaptionOnly) {
    mKey.SetCaption(u"q");
    const std::vector<std::uint32_t> normal = Face();
    EXPECT_EQ(normal[3 * 40 + 3], 0xE0E0E0u) << "the key-face colour";
    EXPECT_GT(InkWidth(normal), 2) << "the caption is drawn";
    const std::tuple<const char*, std::function<void()>, std::function<void()>, bool> cases[] = {
        {"the pointer over it", [&] { SendMessageW(mKey.Window(), WM_MOUSEHOVER, 0, MAKELPARAM(5, 5)); },
         [&] { SendMessageW(mKey.Window(), WM_MOUSELEAVE, 0, 0); }, false},
        {"the focus", [&] { SetFocus(mKey.Window()); }, [&] { SetFocus(mParent); }, false},
        {"pressed", [&] { SendMessageW(mKey.Window(), BM_SETSTATE, TRUE, 0); },
         [&] { SendMessageW(mKey.Window(), BM_SETSTATE, FALSE, 0); }, true},
        {"disabled", [&] { mKey.SetEnabled(false); }, [&] { mKey.SetEnabled(true); }, true},
        {"another caption", [&] { mKey.SetCaption(u"w"); }, [&] { mKey.SetCaption(u"q"); }, true},
    };
    for (const auto& [what, make, undo, looksDifferent] : cases) {
        make();
        EXPECT_EQ(Face() != normal, looksDifferent) << what;
        undo();
        EXPECT_EQ(Face(), normal) << "after " << what;
    }
    const int plain = InkWidth(Paint([](HDC dc) {
        RECT box{0, 0, 40, 40};
        SetTextColor(dc, RGB(255, 255, 255)); // on the bitmap's black
        DrawTextW(dc, L"&", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }));
    mKey.SetCaption(u"&&");
    EXPECT_GT(plain, 2);
    EXPECT_EQ(InkWidth(Face()), plain);
}

// A quick second click on a key is a second click, not a double-click that types nothing.
TEST_F(Win32Controls, EveryClickOfAQuickPairOnAKeyClicks) {
    gClicks = 0;
    for (UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(mKey.Window(), down, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(mKey.Window(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(gClicks, 2);
}

// A key set up before its BUTTON exists is made with that place and state.
TEST_F(Win32Controls, KeyIsMadeAsItWasSetUp) {
    KeyButtonWindow key(7);
    key.SetLeft(45 * 15);
    key.SetWidth(50 * 15);
    key.SetVisible(false);
    key.SetEnabled(false);
    key.Make(mParent, 3007);
    RECT place{};
    GetWindowRect(key.Window(), &place);
    MapWindowPoints(HWND_DESKTOP, mParent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(std::tuple(place.left, place.right, GetDlgCtrlID(key.Window()), key.Visible(),
                         IsWindowEnabled(key.Window())),
              std::tuple(45, 95, 3007, false, FALSE));
}

} // namespace
} // namespace mirvane
