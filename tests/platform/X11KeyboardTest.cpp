#include "platform/x11/X11Keyboard.h"
#include "sendkeys/cSendKeys.h"
#include "window/QtEventPump.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace mirvane;

namespace {
// A focused line of a test window on the real X display.
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
    }
    bool TextArrives(const QString& text) {
        return QTest::qWaitFor([&] { return line.text() == text; }, 5000);
    }

    x11::X11Keyboard keyboard;
    QtEventPump pump;
    cSendKeys keys{keyboard, keyboard, pump};
    QLineEdit line;
};
} // namespace

TEST_F(X11Keys, InjectedKeysArriveAsCharactersInTheFocusedLine) {
    keys.SendKeys(u"+(m)irvane 2008+(1)");
    EXPECT_TRUE(TextArrives(QStringLiteral("Mirvane 2008!"))) << line.text().toStdString();
    keys.SendKeys(u"{BS 4}{LEFT}{DEL}");
    EXPECT_TRUE(TextArrives(QStringLiteral("Mirvane "))) << line.text().toStdString();
    EXPECT_TRUE(keyboard.IsForeground(line.winId()));
}

TEST_F(X11Keys, TheCurrentKeymapTranslatesCharactersToUsKeyCodes) {
    EXPECT_EQ(keys.KeyCode(u"a"), 65);
    EXPECT_EQ(keys.KeyCode(u"A"), 65);
    EXPECT_EQ(keys.KeyCode(u"1"), 49);
    EXPECT_EQ(keys.KeyCode(u"}"), 221);
    EXPECT_EQ(keys.KeyCode(u"?"), 191);
    EXPECT_EQ(keys.KeyCode(u"\u4e2d"), 255);
    EXPECT_EQ(keyboard.ScanCharacter(u'A') >> 8, 1);
    EXPECT_EQ(keyboard.ScanCharacter(u'a') >> 8, 0);
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
    keys.KeyDown(20);
    keys.KeyUp(20);
    EXPECT_NE((keyboard.GetKeyState(20) & 1) != 0, wasOn);
    keys.SendKeys(u"ab");
    EXPECT_TRUE(TextArrives(wasOn ? QStringLiteral("ab") : QStringLiteral("AB")))
        << line.text().toStdString();
    keys.KeyDown(20);
    keys.KeyUp(20);
    EXPECT_EQ((keyboard.GetKeyState(20) & 1) != 0, wasOn);
}

TEST_F(X11Keys, CodeZeroSendsNothing) {
    keys.KeyDown(0);
    keys.KeyUp(0);
    keys.SendKeys(u"x");
    EXPECT_TRUE(TextArrives(QStringLiteral("x")));
}
