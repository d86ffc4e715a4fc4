#include "WindowHarness.h"

#include "qt/AccessibilityBus.h"

#include <QAccessible>
#include <QPointer>

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

struct TextLines : ::testing::Test, LineRig {};

TEST_F(TextLines, CtrlWithAnotherModifierReachesTheEngineAndCtrlAloneNever) {
    // Mapped keys follow the physical Caps Lock at each key-down the engine sees; only V is sent.
    h.Engine().SetKeyboardLayoutType(1);
    h.keyState.capsLock = true;
    QKeyEvent ctrlShiftV(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier, "V");
    QApplication::sendEvent(password, &ctrlShiftV);
    EXPECT_TRUE(h.Engine().ShiftIsDown());
    h.keyState.capsLock = false;
    QKeyEvent ctrlV(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, "v");
    QApplication::sendEvent(password, &ctrlV);
    EXPECT_TRUE(h.Engine().ShiftIsDown()) << "Ctrl alone never reaches the engine";
}

// With accessibility on, the bus learns the masked line's stars and no text of the plain line.
TEST_F(TextLines, TheMaskedLineGivesTheBusItsStarsAndThePlainLineNoText) {
    PrepareAccessibilityBus(true);
    EXPECT_EQ(qgetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), "1");
    password->setText(QStringLiteral("Pw0rd!"));
    plain->setPlainText(QStringLiteral("Pw0rd!"));
    for (QWidget* line : std::initializer_list<QWidget*>{password, plain}) {
        const QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(line);
        for (const auto text : {QAccessible::Name, QAccessible::Value, QAccessible::Description}) {
            EXPECT_EQ(reader->text(text), QString()) << line->objectName().toStdString();
        }
        EXPECT_EQ(reader->childCount(), 0);
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(plain)->textInterface(), nullptr);
    QAccessibleTextInterface* stars = QAccessible::queryAccessibleInterface(password)->textInterface();
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(stars->text(0, -1), QStringLiteral("******"));
}

// A drag of the password line by how its selection was made, the press and the drop: what went, what stays.
TEST(Drags, WhatIsDraggedAndWhatStaysBehind) {
    enum Select { DoubleClick, Set, MouseSweep };
    // from, to: the selection as set (start, length), or the sweep's ends; the line shows the buffer's stars.
    using Row =
        std::tuple<const char*, bool, Select, int, int, int, Qt::DropAction, bool, std::u16string_view>;
    const Row rows[] = {
        {"double click, press inside; kept", true, DoubleClick, 0, 0, 3, Qt::MoveAction, true, u"abcdef"},
        {"without keep a move takes the selection", false, Set, 1, 3, 2, Qt::MoveAction, true, u"aef"},
        {"without keep a copy leaves both", false, DoubleClick, 0, 0, 1, Qt::CopyAction, true, u"abcdef"},
        {"a press before the selection", true, Set, 1, 2, 0, Qt::MoveAction, false, u"abcdef"},
        {"a press at its start", true, Set, 1, 2, 1, Qt::MoveAction, true, u"abcdef"},
        {"a press at its end", true, Set, 1, 2, 3, Qt::MoveAction, true, u"abcdef"},
        {"a press past its end", true, Set, 1, 2, 4, Qt::MoveAction, false, u"abcdef"},
        {"swept in one move, pressed at its end", true, MouseSweep, 1, 4, 4, Qt::MoveAction, true, u"abcdef"},
    };
    for (const auto& [name, keep, how, from, to, press, drop, drags, buffer] : rows) {
        SCOPED_TRACE(name);
        LineRig r;
        if (!keep) {
            r.h.Menu(Menu::OptionsKeepPasswordAfterDragDrop);
        }
        QTest::keyClicks(r.password, "abcdef");
        if (how == DoubleClick) {
            QTest::mouseDClick(r.password, Qt::LeftButton, Qt::NoModifier, r.At(1));
        } else if (how == Set) {
            r.password->setSelection(from, to);
            r.Move(r.At(5)); // the line remembers its selection as a move leaves it
        } else {
            const QPoint end = r.At(to);
            QTest::mousePress(r.password, Qt::LeftButton, Qt::NoModifier, r.At(from));
            r.Move(end, Qt::LeftButton);
            QTest::mouseRelease(r.password, Qt::LeftButton, Qt::NoModifier, end);
        }
        r.dropAs = drop;
        r.DragFrom(r.At(press));
        QTest::mouseRelease(r.password, Qt::LeftButton, Qt::NoModifier, r.At(press));
        EXPECT_EQ(r.dragged, std::vector<std::u16string>(drags ? 1 : 0, u"abcdef"));
        EXPECT_EQ(r.password->text(), QString(static_cast<qsizetype>(buffer.size()), u'*'));
        EXPECT_EQ(r.h.Engine().CurrentPassword(), std::u16string(buffer));
        if (drags && keep) {
            EXPECT_EQ(r.password->cursorPosition(), 0);
            EXPECT_FALSE(r.password->hasSelectedText());
        }
    }
}

// Only the drop target reads the password, once, in its moment, not after a cancel; no window passed over.
TEST_F(TextLines, OnlyTheDropTargetReadsTheDraggedPasswordOnceAndOnlyJustAfterTheDrop) {
    constexpr std::uint32_t kOther = 0x1600000;
    DropGate& gate = h.Window().DragGate();
    QPointer<QMimeData> data;
    auto read = [&](std::uint32_t client) {
        gate.Requested(client);
        return data != nullptr ? ToU16(data->text()) : std::u16string(); // gone is unreadable too
    };
    QTest::keyClicks(password, "Pw0rd!");

    std::vector<std::u16string> during;
    h.Window().RunDragsWith([&](QDrag& drag) {
        data = drag.mimeData();
        during.push_back(read(kTarget)); // passing over a window before the drop
        gate.Dropped(kTarget);
        during.push_back(read(kOther));
        during.push_back(read(kTarget));
        during.push_back(read(kTarget));
        return Qt::CopyAction;
    });
    QTest::mouseDClick(password, Qt::LeftButton, Qt::NoModifier, At(1));
    DragFrom(At(1));
    EXPECT_EQ(during, (std::vector<std::u16string>{u"", u"", u"Pw0rd!", u""}));

    for (const auto& [when, result, waitPastTheDeadline, expected] :
         {std::tuple{"right after the drop", Qt::MoveAction, false, u"Pw0rd!"},
          std::tuple{"after a cancelled drag", Qt::IgnoreAction, false, u""},
          std::tuple{"after the deadline", Qt::CopyAction, true, u""}}) {
        h.Window().RunDragsWith([&](QDrag& drag) {
            data = drag.mimeData();
            gate.Dropped(kTarget);
            return result;
        });
        QTest::mouseDClick(password, Qt::LeftButton, Qt::NoModifier, At(1));
        DragFrom(At(1));
        QTest::mouseRelease(password, Qt::LeftButton, Qt::NoModifier, At(1));
        if (waitPastTheDeadline) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !gate.Open(); }, 5 * frmKeyboard::kDropAnswerMs));
        }
        EXPECT_EQ(read(kTarget), expected) << when;
    }
}

TEST_F(TextLines, AReleaseAtTheSelectionsEndCollapsesIt) {
    QTest::keyClicks(password, "abcdef");
    // The remembered selection starts at 1; the caret is at 3 when the button comes up.
    for (const auto& [rememberedLength, kept] : {std::pair{2, false}, std::pair{3, true}}) {
        password->setSelection(1, rememberedLength);
        Move(At(5));
        password->setSelection(3, 2);
        Send(QEvent::MouseButtonRelease, At(3), Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(password->selectionLength(), kept ? 2 : 0) << rememberedLength;
    }
}

// The target's moment is its idle time since the drop, 10 s at most; a request on its way is answered once.
TEST(DropGateClock, TheTargetsMomentIsItsIdleTimeAndARequestOnItsWayIsAnsweredOnce) {
    using namespace std::chrono_literals;
    std::chrono::steady_clock::time_point now{};
    DropGate gate(900ms, [&now] { return now; });
    using Case = std::tuple<std::chrono::milliseconds, std::chrono::milliseconds, std::chrono::nanoseconds>;
    for (const auto& [since, heldBack, remaining] :
         {Case{600ms, 0ms, 300ms}, Case{901ms, 0ms, 0ms}, Case{1500ms, 1000ms, 400ms},
          Case{9900ms, 9500ms, 100ms}, Case{10001ms, 9900ms, 0ms}}) {
        gate.Start();
        gate.Dropped(7);
        now += since;
        gate.HeldBack(heldBack);
        EXPECT_EQ(gate.Remaining(), remaining) << since.count();
        gate.Requested(7);
        EXPECT_TRUE(gate.MayAnswer()) << since.count();
        EXPECT_EQ(gate.Remaining(), 0ns) << "answered";
        gate.Requested(7);
        EXPECT_FALSE(gate.MayAnswer()) << "once";
    }
    gate.Start();
    gate.Expire();
    EXPECT_TRUE(gate.Open()) << "a mark of an earlier drop leaves a new drag alone";
    gate.Dropped(7);
    gate.Finished(8);
    EXPECT_TRUE(gate.Open()) << "another client's word";
    gate.Finished(7);
    gate.Requested(7);
    EXPECT_FALSE(gate.MayAnswer()) << "after the target finished";
    gate.Start();
    gate.Dropped(7);
    gate.Expire();
    gate.Requested(7);
    EXPECT_FALSE(gate.MayAnswer()) << "after the gate closed behind the requests";
}
