#include "WindowHarness.h"

#include <QClipboard>
#include <QInputMethodEvent>

#include <gtest/gtest.h>

#include <optional>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// Typing, clicking, input-method commits and masking on the real lines and engine: the
// buffer, the visible line and its caret afterwards, for each way of editing.
struct Editing {
    WindowHarness h;
    PasswordLine* password = h.Window().PasswordWidget();
    PlainTextLine* plain = h.Window().PlainTextWidget();

    QWidget* Visible() { return password->isVisible() ? static_cast<QWidget*>(password) : plain; }
    TextLine& Line() { return password->isVisible() ? static_cast<TextLine&>(*password) : *plain; }
    void Keys(const char* text) { QTest::keyClicks(Visible(), QString::fromUtf8(text)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Visible(), key, modifiers);
    }
    void Commit(const char16_t* text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf16(text));
        QApplication::sendEvent(Visible(), &commit);
    }
    void Mask() { h.Menu(Menu::ViewPasswordMask); }
    // "cd" on a new line after what is typed, caret at the start of that line.
    void SecondLine() {
        Key(Qt::Key_Return);
        Keys("cd");
        Key(Qt::Key_Home);
    }
};

struct Edit {
    const char* name;
    bool masked;
    const char* typed;
    int caret;
    int selection;
    std::function<void(Editing&)> action;
    std::optional<std::u16string> buffer; // checked while masked
    std::u16string line;
    int caretAfter;
};

const Edit kEdits[] = {
    {"typing", true, "", 0, 0, [](Editing& e) { e.Keys("s3cr&T"); }, u"s3cr&T", u"******", 6},
    {"typing at the caret", true, "abc", 1, 0, [](Editing& e) { e.Keys("x"); }, u"axbc", u"****", 2},
    {"typing over a selection at 0", true, "abcd", 0, 2, [](Editing& e) { e.Keys("Z"); }, u"Zcd", u"***", 1},
    {"backspace over a selection", true, "abcd", 1, 2, [](Editing& e) { e.Key(Qt::Key_Backspace); }, u"ad",
     u"**", 1},
    {"backspace at 0", true, "abc", 0, 0, [](Editing& e) { e.Key(Qt::Key_Backspace); }, u"abc", u"***", 0},
    {"delete", true, "abc", 0, 0, [](Editing& e) { e.Key(Qt::Key_Delete); }, u"bc", u"**", 0},
    {"delete over a selection", true, "abcd", 1, 2, [](Editing& e) { e.Key(Qt::Key_Delete); }, u"ad", u"**",
     1},
    {"delete at the end", true, "abc", 3, 0, [](Editing& e) { e.Key(Qt::Key_Delete); }, u"abc", u"***", 3},
    {"alt+delete", true, "abc", 0, 0, [](Editing& e) { e.Key(Qt::Key_Delete, Qt::AltModifier); }, u"abc",
     u"***", 0},
    {"meta+delete", true, "abc", 0, 0, [](Editing& e) { e.Key(Qt::Key_Delete, Qt::MetaModifier); }, u"abc",
     u"***", 0},
    {"ctrl+shift+delete", true, "abc", 0, 0,
     [](Editing& e) { e.Key(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier); }, u"abc", u"***", 0},
    {"shift+alt+delete", true, "abc", 0, 0,
     [](Editing& e) { e.Key(Qt::Key_Delete, Qt::ShiftModifier | Qt::AltModifier); }, u"abc", u"***", 0},
    {"enter and tab", true, "ab", 2, 0,
     [](Editing& e) {
         e.Key(Qt::Key_Return);
         e.Key(Qt::Key_Tab);
     },
     u"ab", u"**", 2},
    {"clipboard and undo keys", true, "abc", 0, 3,
     [](Editing& e) {
         QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
         for (const auto& [key, modifiers] : {std::pair{Qt::Key_V, Qt::ControlModifier},
                                              {Qt::Key_X, Qt::ControlModifier},
                                              {Qt::Key_Insert, Qt::ShiftModifier},
                                              {Qt::Key_Delete, Qt::ShiftModifier},
                                              {Qt::Key_Z, Qt::ControlModifier},
                                              {Qt::Key_Backspace, Qt::ControlModifier}}) {
             e.Key(key, modifiers);
         }
     },
     u"abc", u"***", 0},
    {"an input method's text", true, "abc", 3, 0, [](Editing& e) { e.Commit(u"xy"); }, u"abcxy", u"*****", 5},
    {"an emoji from an input method", true, "abc", 3, 0, [](Editing& e) { e.Commit(u"\U0001F600"); }, u"abc",
     u"***", 3},
    {"a zero-width space over a selection", true, "abc", 0, 3, [](Editing& e) { e.Commit(u"\u200B"); },
     u"abc", u"***", 0},
    {"on-screen backspace", true, "ab", 2, 0, [](Editing& e) { e.h.Click("bksp"); }, u"a", u"*", 1},
    {"on-screen shift latches one character", true, "a", 1, 0,
     [](Editing& e) {
         e.h.Click("shft");
         e.h.Click("Q");
         e.h.Click("w");
     },
     u"aQw", u"***", 3},
    {"space bar and ampersand", true, "", 0, 0,
     [](Editing& e) {
         e.h.Click("");
         e.h.Click("shft");
         e.h.Click("&&");
     },
     u" &", u"**", 2},
    {"dvorak maps the physical keys", true, "", 0, 0,
     [](Editing& e) {
         e.h.Menu(Menu::EntryModeDvorak);
         e.Keys("qwe");
     },
     u"',.", u"***", 3},
    {"backspace joins two lines", false, "ab", 2, 0,
     [](Editing& e) {
         e.SecondLine();
         e.Key(Qt::Key_Backspace);
     },
     std::nullopt, u"abcd", 2},
    {"on-screen backspace joins two lines", false, "ab", 2, 0,
     [](Editing& e) {
         e.SecondLine();
         e.h.Click("bksp");
     },
     std::nullopt, u"abcd", 2},
    {"on-screen tab over a selection", false, "abcd", 1, 2, [](Editing& e) { e.h.Click("tab"); },
     std::nullopt, u"a\td", 2},
    {"on-screen enter over a selection", false, "abcd", 1, 2, [](Editing& e) { e.h.Click("ent"); },
     std::nullopt, u"a\r\nd", 3},
    {"enter one short of the limit: a line break is two characters", false, "", 0, 0,
     [](Editing& e) {
         e.Line().SetText(SecretText(32766, u'x'));
         e.Line().SetSelStart(32766);
         e.Key(Qt::Key_Return);
     },
     std::nullopt, std::u16string(32766, u'x'), 32766},
    {"paste in the plain line", false, "", 0, 0,
     [](Editing& e) {
         QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
         e.Key(Qt::Key_V, Qt::ControlModifier);
     },
     std::nullopt, u"clip", 4},
    {"a paste beyond the limit", false, "", 0, 0,
     [](Editing& e) {
         QGuiApplication::clipboard()->setText(QString(40000, QLatin1Char('x')));
         e.Key(Qt::Key_V, Qt::ControlModifier);
     },
     std::nullopt, u"", 0},
    {"masking takes the first line", false, "abc", 3, 0,
     [](Editing& e) {
         e.Key(Qt::Key_Return);
         e.Keys("def");
         e.Mask();
     },
     u"abc", u"***", 3},
    {"masking turns tabs into line breaks", false, "a", 1, 0,
     [](Editing& e) {
         e.Key(Qt::Key_Tab);
         e.Keys("b");
         e.Mask();
     },
     u"a\r\nb", u"****", 3},
    {"unmasking shows the password, caret carried", true, "p4ss w0rd!", 4, 0, [](Editing& e) { e.Mask(); },
     std::nullopt, u"p4ss w0rd!", 4},
    {"unmasking and masking again", true, "p4ss w0rd!", 10, 0,
     [](Editing& e) {
         e.Mask();
         e.Mask();
     },
     u"p4ss w0rd!", u"**********", 10},
};
} // namespace

TEST(EditingTable, BufferLineAndCaretAfterEachWayOfEditing) {
    for (const Edit& edit : kEdits) {
        SCOPED_TRACE(edit.name);
        Editing e;
        if (!edit.masked) {
            e.Mask();
        }
        e.Visible()->setFocus();
        e.Keys(edit.typed);
        e.Line().SetSelStart(static_cast<std::int16_t>(edit.caret));
        e.Line().SetSelLength(static_cast<std::int16_t>(edit.selection));
        edit.action(e);
        if (edit.buffer) {
            EXPECT_EQ(e.h.Engine().CurrentPassword(), *edit.buffer);
        }
        EXPECT_EQ(e.Line().Text(), edit.line);
        EXPECT_EQ(e.Line().SelStart(), edit.caretAfter);
        if (e.password->isVisible()) {
            EXPECT_EQ(e.plain->Text(), u"") << "a hidden plain line keeps no password";
        }
    }
}
