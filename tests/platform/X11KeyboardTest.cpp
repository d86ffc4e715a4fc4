#include "platform/x11/X11Keyboard.h"
#include "platform/x11/KeyGuardian.h"
#include "platform/x11/X11Placement.h"
#include "platform/x11/X11Stacking.h"
#include "sendkeys/cSendKeys.h"
#include "qt/QtEventPump.h"
#include "qt/TextLines.h"
#include "qt/WindowHarness.h"
#include "qt/XdndWatch.h"

#include <QAbstractEventDispatcher>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

using namespace mirvane;

namespace {
// A round trip: what `connection` sent before has reached the server.
void Sync(xcb_connection_t* connection) {
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

template <class T> auto Owned(T* p) { return std::unique_ptr<T, decltype(&std::free)>(p, &std::free); }

xcb_atom_t Atom(xcb_connection_t* connection, const std::string& name) {
    const auto length = static_cast<std::uint16_t>(name.size());
    auto atom = Owned(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, length, name.c_str()), nullptr));
    return atom != nullptr ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A focused line of a test window on the real X display, and another client's connection.
struct X11Keys : ::testing::Test {
    void SetUp() override {
        line.show();
        line.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&line));
        line.setFocus();
        // Keys go wherever the window manager has put the focus: wait until that is here.
        ASSERT_TRUE(QTest::qWaitFor([this] { return keyboard.IsForeground(line.winId()); }, 5000));
    }
    void TearDown() override {
        for (int key : {16, 17, 18, 20}) {
            keyboard.KeyboardEvent(static_cast<std::uint8_t>(key), kKeyEventKeyUp);
        }
        // Nothing the test pressed is left down on the server.
        EXPECT_TRUE(keyboard.KeysDown().empty());
        xcb_disconnect(client);
    }
    bool TextArrives(const QString& text) {
        return QTest::qWaitFor([&] { return line.text() == text; }, 5000);
    }
    // A press or release of `keycode` by the other client, as a person's key comes.
    void Fake(std::uint8_t keycode, std::uint8_t type) {
        xcb_test_fake_input(client, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        Sync(client);
    }

    x11::X11Keyboard keyboard;
    QtEventPump pump;
    cSendKeys keys{keyboard, keyboard, pump};
    QLineEdit line;
    xcb_connection_t* client = xcb_connect(nullptr, nullptr);
};
} // namespace

TEST_F(X11Keys, InjectedKeysArriveAsCharactersInTheFocusedLine) {
    // The current keymap gives US key codes; code 0 sends nothing.
    EXPECT_EQ(keys.KeyCode(u"?"), 191);
    EXPECT_EQ(keys.KeyCode(u"\u4e2d"), 255);
    keys.KeyDown(0);
    keys.KeyUp(0);
    keys.SendKeys(u"+(m)irvane 2008+(1)");
    EXPECT_TRUE(TextArrives(QStringLiteral("Mirvane 2008!"))) << line.text().toStdString();
    keys.SendKeys(u"{BS 4}{LEFT}{DEL}");
    EXPECT_TRUE(TextArrives(QStringLiteral("Mirvane "))) << line.text().toStdString();
    EXPECT_TRUE(keyboard.IsForeground(line.winId()));
}

TEST_F(X11Keys, ShiftAndCapsLockWordsFollowTheServer) {
    EXPECT_EQ(keyboard.GetAsyncKeyState(16), 0);
    keys.KeyDown(160);
    EXPECT_NE(keyboard.GetAsyncKeyState(16), 0);
    EXPECT_NE(keyboard.GetAsyncKeyState(160), 0);
    EXPECT_EQ(keyboard.GetAsyncKeyState(161), 0);
    keys.KeyUp(160);
    EXPECT_EQ(keyboard.GetAsyncKeyState(16), 0);

    const bool wasOn = (keyboard.GetKeyState(20) & 1) != 0;
    keys.KeyPress(u"CAPSLOCK", 1);
    EXPECT_NE((keyboard.GetKeyState(20) & 1) != 0, wasOn);
    keys.SendKeys(u"ab");
    EXPECT_TRUE(TextArrives(wasOn ? QStringLiteral("ab") : QStringLiteral("AB")))
        << line.text().toStdString();
    keys.KeyPress(u"CAPSLOCK", 1);
    EXPECT_EQ((keyboard.GetKeyState(20) & 1) != 0, wasOn);
}

// The pump round-trips on the toolkit's own connection: every injected key's character has
// reached the line when the key call returns, not some time later.
TEST_F(X11Keys, EachInjectedCharacterHasArrivedWhenTheKeyCallReturns) {
    const std::u16string keysToType = u"abcdefghijklmnopqrstuvwxyz0123456789";
    int late = 0;
    for (int i = 0; i < 10000; ++i) {
        if (i % 1000 == 0) {
            line.clear();
        }
        const char16_t c = keysToType[static_cast<std::size_t>(i) % keysToType.size()];
        const int key = c >= u'a' ? c - u'a' + 'A' : c;
        const int before = static_cast<int>(line.text().size());
        keys.KeyDown(key);
        late += line.text().size() == before + 1 && line.text().back() == QChar(c) ? 0 : 1;
        keys.KeyUp(key);
    }
    EXPECT_EQ(late, 0);
}

// The key layer reads the keyboard map and the active group as they are now; a character's key
// keeps its shift level.
TEST_F(X11Keys, TheKeyLayerFollowsKeymapAndGroupChanges) {
    const auto layout = [](const char* layouts) {
        return std::system((std::string("setxkbmap -layout ") + layouts).c_str()) == 0;
    };
    xcb_xkb_use_extension(client, 1, 0);
    const auto lockGroup = [this](std::uint8_t group) {
        std::free(xcb_request_check(client, xcb_xkb_latch_lock_state_checked(client, XCB_XKB_ID_USE_CORE_KBD,
                                                                             0, 0, 1, group, 0, 0, 0)));
    };
    ASSERT_TRUE(layout("ru,us"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return keyboard.ScanCharacter(u'a') == -1; }, 5000));
    lockGroup(1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return keyboard.ScanCharacter(u'a') == 65; }, 5000));
    keys.SendKeys(u"a");
    EXPECT_TRUE(TextArrives(QStringLiteral("a"))) << line.text().toStdString();
    lockGroup(0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return keyboard.ScanCharacter(u'a') == -1; }, 5000));
    ASSERT_TRUE(layout("us"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return keyboard.ScanCharacter(u'a') == 65; }, 5000));
    for (const auto& [character, key] : {std::pair{u'A', 0x100 | 65}, {u'1', 49}, {u'!', 0x100 | 49}}) {
        EXPECT_EQ(keyboard.ScanCharacter(character), key) << static_cast<char>(character);
    }
}

// A window manager gives another window the keyboard before it says so in
// _NET_ACTIVE_WINDOW: keys sent in between would land there, so this window is in front only
// while the server's own input focus agrees.
TEST_F(X11Keys, TheWindowIsInFrontOnlyWhileItHasTheServersInputFocus) {
    QLineEdit other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyboard.IsForeground(other.winId()); }, 5000));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(client)).data->root;
    const auto lagging = static_cast<xcb_window_t>(line.winId());
    xcb_change_property(client, XCB_PROP_MODE_REPLACE, root, Atom(client, "_NET_ACTIVE_WINDOW"),
                        XCB_ATOM_WINDOW, 32, 1, &lagging);
    Sync(client);
    EXPECT_FALSE(keyboard.IsForeground(line.winId()));
    EXPECT_FALSE(keyboard.IsForeground(other.winId()));
}

namespace {
// Another X client's window, the window manager's to place or, unmanaged, at 321, 123; with a
// window inside it, as a program's field is.
struct OtherClient {
    explicit OtherClient(bool managed) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const std::uint32_t unmanaged = managed ? 0 : 1;
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 321, 123, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT,
                          &unmanaged);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, inner, window, 10, 10, 100, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_subwindows(connection, window);
        xcb_map_window(connection, window);
        EXPECT_TRUE(QTest::qWaitFor([this] {
            auto attributes = Owned(xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, inner), nullptr));
            return attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        }));
    }
    ~OtherClient() { xcb_disconnect(connection); }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_window_t window = xcb_generate_id(connection);
    xcb_window_t inner = xcb_generate_id(connection);
};
} // namespace

// The window manager owns the state: read back from the server by another client.
TEST(X11Windows, KeepOnTopOnIsOnAndOffIsOff) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const std::string xprop =
        "xprop -id " + std::to_string(window.winId()) + " _NET_WM_STATE | grep -q _ABOVE";
    x11::X11Stacking stacking;
    for (const bool on : {true, false}) {
        stacking.SetTopMost(window.winId(), on);
        EXPECT_TRUE(QTest::qWaitFor([&] { return (std::system(xprop.c_str()) == 0) == on; }, 5000)) << on;
    }
}

// Nothing the plain line selects is offered as the primary selection; a copy the person
// asked for is on the clipboard, marked as a secret for clipboard managers, and gone again
// after its lifetime, or at once when masking or "Clear" empties the line.
TEST(X11Windows, ThePlainLinesCopyIsSecretKeepsOutOfPrimaryAndGoesWithTheTextOrInTime) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(clipboard->supportsSelection());
    test::LineRig r;
    QTest::keyClicks(r.password, "s3cret");
    r.h.Menu(Menu::ViewPasswordMask); // in clear: the plain line shows it
    const auto copy = [&] {
        QTest::keyClick(r.plain, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(r.plain, Qt::Key_C, Qt::ControlModifier);
        return clipboard->text();
    };
    EXPECT_EQ(copy(), QStringLiteral("s3cret"));
    EXPECT_EQ(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
    QTest::mouseDClick(r.plain->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(12, 10));
    EXPECT_EQ(clipboard->text(QClipboard::Selection), QString());
    QElapsedTimer copied;
    copied.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clipboard->text().isEmpty(); }, 15000));
    EXPECT_GE(copied.elapsed(), 9000);
    EXPECT_EQ(copy(), QStringLiteral("s3cret"));
    r.h.Menu(Menu::ViewPasswordMask);
    EXPECT_EQ(clipboard->text(), QString()) << "masked";
    r.h.Menu(Menu::ViewPasswordMask);
    EXPECT_EQ(copy(), QStringLiteral("s3cret"));
    r.h.ToolbarButton("Clear");
    EXPECT_EQ(clipboard->text(), QString()) << "cleared";
}

TEST(X11Windows, TheServersPlaceOfAWindowIsTheWindowsPlace) {
    OtherClient other(false);
    const std::optional<PixelPoint> origin = x11::X11Placement().InsideOrigin(other.window);
    ASSERT_TRUE(origin.has_value());
    EXPECT_EQ(std::pair(origin->x, origin->y), std::pair(321, 123));
}

// Through the window manager's frame, to the deepest window under the pointer: the drag's data
// is for that client's windows, not another client's; a target that has not asked, its process
// idle, has its 0.9 s and no more, not the ten seconds one held back by the system may have.
TEST(X11Windows, TheDropIsReadOnlyByTheClientUnderThePointerAndOnlyInItsMoment) {
    test::LineRig r;
    OtherClient target(true);
    OtherClient stranger(false);
    xcb_unmap_window(stranger.connection, stranger.window);
    Sync(stranger.connection);
    const pid_t idle = getppid(); // the process that started the tests, waiting for them
    xcb_change_property(target.connection, XCB_PROP_MODE_REPLACE, target.window,
                        Atom(target.connection, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &idle);
    xcb_warp_pointer(target.connection, XCB_NONE, target.inner, 0, 0, 0, 0, 20, 20);
    Sync(target.connection);
    const xcb_atom_t selection = Atom(target.connection, "XdndSelection");
    xcb_set_selection_owner(qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection(),
                            static_cast<xcb_window_t>(r.h.Window().winId()), selection, XCB_CURRENT_TIME);
    QTest::keyClicks(r.password, "Pw0rd!");
    QElapsedTimer sinceDrop;
    for (const auto& [connection, requestor, answered] :
         {std::tuple{target.connection, target.inner, true}, {target.connection, target.window, true},
          {stranger.connection, stranger.window, false}}) {
        r.h.Window().RunDragsWith([&, c = connection, w = requestor](QDrag&) {
            sinceDrop.start();
            xcb_button_release_event_t release{}; // as the toolkit's connection hands it on
            release.response_type = XCB_BUTTON_RELEASE;
            QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &release, nullptr);
            xcb_convert_selection(c, w, selection, XCB_ATOM_STRING, selection, XCB_CURRENT_TIME);
            xcb_flush(c);
            // No drag of its own being on, the toolkit turns the request down after the watch saw it.
            EXPECT_TRUE(QTest::qWaitFor([c] {
                auto event = Owned(xcb_poll_for_event(c));
                return event != nullptr && (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
            }));
            return Qt::CopyAction;
        });
        QTest::mouseDClick(r.password, Qt::LeftButton, Qt::NoModifier, r.At(1));
        r.DragFrom(r.At(1));
        EXPECT_EQ(r.h.Window().DragGate().MayAnswer(), answered) << requestor;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !r.h.Window().DragGate().Open(); }, 2000)) << requestor;
    }
    EXPECT_GE(sinceDrop.elapsed(), 900); // since the last drop, whose target did not ask
}

// The guardian, started as the program starts it, lets go of a key the program held down
// when it was killed.
TEST(X11Windows, AKeyHeldByAKilledProgramGoesUp) {
    const pid_t program = fork();
    if (program == 0) {
        x11::StartKeyGuardian();
        x11::X11Keyboard keyboard;
        keyboard.KeyboardEvent('Q', 0);
        pause();
    }
    x11::X11Keyboard keyboard;
    EXPECT_TRUE(QTest::qWaitFor([&] { return keyboard.KeysDown().size() == 1; }, 5000));
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return keyboard.KeysDown().empty(); }, 5000));
}

// A release goes to the keycode its press went to, though the keymap has moved the key since.
// AltGr and Super count as held modifiers, Shift and a locked Num Lock do not; the server's
// repeat delay (its default here) is read back.
TEST_F(X11Keys, AReleaseFollowsItsPressAndModifiersAreReadAsHeld) {
    const auto keysymAt = [this](std::uint8_t keycode) {
        auto mapping = Owned(
            xcb_get_keyboard_mapping_reply(client, xcb_get_keyboard_mapping(client, keycode, 1), nullptr));
        return mapping != nullptr ? xcb_get_keyboard_mapping_keysyms(mapping.get())[0] : xcb_keysym_t{0};
    };
    ASSERT_EQ(std::system("setxkbmap -layout us -option lv3:ralt_switch"), 0);
    EXPECT_EQ(keyboard.RepeatDelay(), 660);
    for (const auto& [keycode, held] : {std::pair{108, true}, {133, true}, {50, false}}) {
        Fake(static_cast<std::uint8_t>(keycode), XCB_KEY_PRESS);
        EXPECT_EQ(keyboard.OtherModifierHeld(), held) << keycode;
        Fake(static_cast<std::uint8_t>(keycode), XCB_KEY_RELEASE);
        EXPECT_FALSE(keyboard.OtherModifierHeld()) << keycode;
    }
    Fake(77, XCB_KEY_PRESS); // Num Lock, locked
    Fake(77, XCB_KEY_RELEASE);
    EXPECT_FALSE(keyboard.OtherModifierHeld());
    Fake(77, XCB_KEY_PRESS);
    Fake(77, XCB_KEY_RELEASE);

    keyboard.KeyboardEvent('Q', 0);
    const std::vector<std::uint8_t> pressed = keyboard.KeysDown();
    ASSERT_TRUE(std::system("setxkbmap -layout fr") == 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keysymAt(pressed.front()) == 'a'; }, 5000)); // q and a swap places
    keyboard.GetAsyncKeyState('Q'); // the map's change has reached the key layer
    keyboard.ScanCharacter(u'q');
    keyboard.KeyboardEvent('Q', kKeyEventKeyUp);
    EXPECT_TRUE(keyboard.KeysDown().empty());
    ASSERT_EQ(std::system("setxkbmap -layout us -option"), 0);
}

// The server swallows a press of a key that is down: somebody else's press of a key the layer
// holds is still told, once, with the Shift it had though Shift is up when asked; its own press
// and another key's are not.
TEST_F(X11Keys, APressOfAHeldKeyBySomebodyElseIsTold) {
    keyboard.KeyboardEvent('Q', 0);
    const std::uint8_t q = keyboard.KeysDown().front();
    EXPECT_EQ(keyboard.PressedElsewhere('Q'), PressElsewhere::None);
    Fake(static_cast<std::uint8_t>(q + 1), XCB_KEY_PRESS); // the key beside it
    Fake(static_cast<std::uint8_t>(q + 1), XCB_KEY_RELEASE);
    EXPECT_EQ(keyboard.PressedElsewhere('Q'), PressElsewhere::None);
    for (const bool shifted : {false, true}) {
        std::uint8_t shift = 0;
        if (shifted) {
            keyboard.KeyboardEvent('Q', 0);
            keyboard.KeyboardEvent(16, 0);
            shift = keyboard.KeysDown().back() == q ? keyboard.KeysDown().front() : keyboard.KeysDown().back();
        }
        // Shift goes up before the layer reads a thing: the Shift of now is not the press's.
        Fake(q, XCB_KEY_PRESS);
        if (shifted) {
            Fake(shift, XCB_KEY_RELEASE);
        }
        PressElsewhere told = PressElsewhere::None;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return (told = keyboard.PressedElsewhere('Q')) != PressElsewhere::None; }, 2000));
        EXPECT_EQ(told, shifted ? PressElsewhere::Shifted : PressElsewhere::Unshifted);
        EXPECT_EQ(keyboard.PressedElsewhere('Q'), PressElsewhere::None);
        Fake(q, XCB_KEY_RELEASE);
        keyboard.KeyboardEvent('Q', kKeyEventKeyUp);
        keyboard.KeyboardEvent(16, kKeyEventKeyUp);
    }
}
