#include "WindowHarness.h"

#include <QClipboard>
#include <QInputMethodEvent>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// Each way of editing the real lines (keys, clicks, input methods, masking): buffer, line and caret after it.
struct Editing : LineRig {
    QWidget* Visible() { return password->isVisible() ? static_cast<QWidget*>(password) : plain; }
    TextLine& Line() { return password->isVisible() ? static_cast<TextLine&>(*password) : *plain; }
    void Keys(const char* text) { QTest::keyClicks(Visible(), QString::fromUtf8(text)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers held = {}) { QTest::keyClick(Visible(), key, held); }
    void Commit(const char16_t* text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf16(text));
        QApplication::sendEvent(Visible(), &commit);
    }
};

using Step = std::function<void(Editing&)>;
const auto Keys = [](const char* text) -> Step { return [text](Editing& e) { e.Keys(text); }; };
const auto Key = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) -> Step {
    return [=](Editing& e) { e.Key(key, modifiers); };
};
const auto Commit = [](const char16_t* text) -> Step { return [text](Editing& e) { e.Commit(text); }; };
const auto Click = [](const char* caption) -> Step { return [caption](Editing& e) { e.h.Click(caption); }; };
const auto Choose = [](Menu item) -> Step { return [item](Editing& e) { e.h.Menu(item); }; };
const auto Clip = [](const QString& text) -> Step {
    return [text](Editing&) { QGuiApplication::clipboard()->setText(text); };
};
const Step kMask = Choose(Menu::ViewPasswordMask);
// "cd" on a new line after what is typed, caret at the start of that line.
const Step kSecondLine = [](Editing& e) { e.Key(Qt::Key_Return), e.Keys("cd"), e.Key(Qt::Key_Home); };

using Edit = std::tuple<const char*, bool, const char*, int, int, std::vector<Step>,
                        std::optional<std::u16string>, std::u16string, int>;

const auto Ctrl = [](Qt::Key key) { return Key(key, Qt::ControlModifier); };
const auto Shifted = [](Qt::Key key) { return Key(key, Qt::ShiftModifier); };
const std::vector<Step> kClipboardKeys = {
    Clip(QStringLiteral("PASTED")), Ctrl(Qt::Key_V), Ctrl(Qt::Key_X),        Shifted(Qt::Key_Insert),
    Shifted(Qt::Key_Delete),        Ctrl(Qt::Key_Z), Ctrl(Qt::Key_Backspace)};
const Step kEnter = Key(Qt::Key_Return);
const Step kPaste = Ctrl(Qt::Key_V);
const std::u16string kNearTheLimit(32766, u'x');
const Step kNearlyFull = [](Editing& e) {
    e.Line().SetText(SecretText(kNearTheLimit));
    e.Line().SetSelStart(32766);
};
const Step kClipTooLong = Clip(QString(40000, QLatin1Char('x')));

// A buffer of {} is not checked: the plain line shows it.
const Edit kEdits[] = {
    {"typing", true, "", 0, 0, {Keys("s3cr&T")}, u"s3cr&T", u"******", 6},
    {"typing at the caret", true, "abc", 1, 0, {Keys("x")}, u"axbc", u"****", 2},
    {"typing over a selection at 0", true, "abcd", 0, 2, {Keys("Z")}, u"Zcd", u"***", 1},
    {"backspace over a selection", true, "abcd", 1, 2, {Key(Qt::Key_Backspace)}, u"ad", u"**", 1},
    {"backspace at 0", true, "abc", 0, 0, {Key(Qt::Key_Backspace)}, u"abc", u"***", 0},
    {"delete", true, "abc", 0, 0, {Key(Qt::Key_Delete)}, u"bc", u"**", 0},
    {"delete over a selection", true, "abcd", 1, 2, {Key(Qt::Key_Delete)}, u"ad", u"**", 1},
    {"delete at the end", true, "abc", 3, 0, {Key(Qt::Key_Delete)}, u"abc", u"***", 3},
    {"alt+delete", true, "abc", 0, 0, {Key(Qt::Key_Delete, Qt::AltModifier)}, u"abc", u"***", 0},
    {"meta+delete", true, "abc", 0, 0, {Key(Qt::Key_Delete, Qt::MetaModifier)}, u"abc", u"***", 0},
    {"enter and tab", true, "ab", 2, 0, {Key(Qt::Key_Return), Key(Qt::Key_Tab)}, u"ab", u"**", 2},
    {"clipboard and undo keys", true, "abc", 0, 3, kClipboardKeys, u"abc", u"***", 0},
    {"an input method's text", true, "abc", 3, 0, {Commit(u"xy")}, u"abcxy", u"*****", 5},
    {"an emoji from an input method", true, "abc", 3, 0, {Commit(u"\U0001F600")}, u"abc", u"***", 3},
    {"a zero-width space over a selection", true, "abc", 0, 3, {Commit(u"\u200B")}, u"abc", u"***", 0},
    {"on-screen backspace", true, "ab", 2, 0, {Click("bksp")}, u"a", u"*", 1},
    {"on-screen shift, once", true, "a", 1, 0, {Click("shft"), Click("Q"), Click("w")}, u"aQw", u"***", 3},
    {"space bar and ampersand", true, "", 0, 0, {Click(""), Click("shft"), Click("&&")}, u" &", u"**", 2},
    {"dvorak", true, "", 0, 0, {Choose(Menu::EntryModeDvorak), Keys("qwe")}, u"',.", u"***", 3},
    {"backspace joins lines", false, "ab", 2, 0, {kSecondLine, Key(Qt::Key_Backspace)}, {}, u"abcd", 2},
    {"on-screen backspace joins lines", false, "ab", 2, 0, {kSecondLine, Click("bksp")}, {}, u"abcd", 2},
    {"on-screen tab over a selection", false, "abcd", 1, 2, {Click("tab")}, {}, u"a\td", 2},
    {"on-screen enter over a selection", false, "abcd", 1, 2, {Click("ent")}, {}, u"a\r\nd", 3},
    {"enter near the limit: a break is 2", false, "", 0, 0, {kNearlyFull, kEnter}, {}, kNearTheLimit, 32766},
    {"paste in the plain line", false, "", 0, 0, {Clip(QStringLiteral("clip")), kPaste}, {}, u"clip", 4},
    {"a paste beyond the limit", false, "", 0, 0, {kClipTooLong, kPaste}, {}, u"", 0},
    {"masking takes line 1", false, "abc", 3, 0, {kEnter, Keys("def"), kMask}, u"abc", u"***", 3},
    {"tabs to breaks", false, "a", 1, 0, {Key(Qt::Key_Tab), Keys("b"), kMask}, u"a\r\nb", u"****", 3},
    {"unmasking shows the password, caret carried", true, "p4ss w0rd!", 4, 0, {kMask}, {}, u"p4ss w0rd!", 4},
    {"unmasking, masking again", true, "p4ss w0rd!", 10, 0, {kMask, kMask}, u"p4ss w0rd!", u"**********", 10},
};
} // namespace

TEST(EditingTable, BufferLineAndCaretAfterEachWayOfEditing) {
    for (const auto& [name, masked, typed, caret, selection, steps, buffer, line, caretAfter] : kEdits) {
        SCOPED_TRACE(name);
        Editing e;
        if (!masked) {
            kMask(e);
        }
        e.Visible()->setFocus();
        e.Keys(typed);
        e.Line().SetSelStart(static_cast<std::int16_t>(caret));
        e.Line().SetSelLength(static_cast<std::int16_t>(selection));
        for (const Step& step : steps) {
            step(e);
        }
        if (buffer) {
            EXPECT_EQ(e.h.Engine().CurrentPassword(), *buffer);
        }
        EXPECT_EQ(e.Line().Text(), line);
        EXPECT_EQ(e.Line().SelStart(), caretAfter);
        if (e.password->isVisible()) {
            EXPECT_EQ(e.plain->Text(), u"") << "a hidden plain line keeps no password";
        }
    }
}
