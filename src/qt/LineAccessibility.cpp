#include "LineAccessibility.h"

#include "TextLines.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace mirvane {

namespace {

// Both lines are leaves that carry no name, description or value: a client that reads every
// text of the tree finds none of theirs.
class SilentLine : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QString text(QAccessible::Text) const override { return {}; }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

// txtPassword: the text interface gives as many stars as the line shows, whatever it holds,
// so that a reader learns the length and the selection, as an onlooker would.
class MaskedLineAccessible final : public SilentLine, public QAccessibleTextInterface {
public:
    explicit MaskedLineAccessible(PasswordLine* line) : SilentLine(line, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State state = SilentLine::state();
        state.editable = !Line()->isReadOnly();
        state.passwordEdit = true;
        state.selectableText = true;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return SilentLine::interface_cast(type);
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && Line()->hasSelectedText()) {
            *startOffset = Line()->selectionStart();
            *endOffset = Line()->selectionEnd();
        }
    }
    int selectionCount() const override { return Line()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { Line()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override {
        Line()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return Line()->cursorPosition(); }
    void setCursorPosition(int position) override { Line()->setCursorPosition(position); }

    QString text(int startOffset, int endOffset) const override {
        const int count = characterCount();
        const int start = std::clamp(startOffset, 0, count);
        const int end = endOffset < 0 ? count : std::clamp(endOffset, start, count);
        return QString(end - start, QLatin1Char('*'));
    }
    using SilentLine::text;
    int characterCount() const override { return static_cast<int>(Line()->text().size()); }

    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint& point) const override {
        return Line()->cursorPositionAt(Line()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        Line()->setCursorPosition(endIndex);
        Line()->setCursorPosition(startIndex);
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    PasswordLine* Line() const { return static_cast<PasswordLine*>(widget()); }
};

// txtText holds the password in clear while it shows: no text interface at all, so that the
// bridge has nothing to answer for its text, selection or caret neighbourhood, and drops the
// line's text-changed events instead of forwarding what they carry.
class PlainLineAccessible final : public SilentLine {
public:
    explicit PlainLineAccessible(PlainTextLine* line) : SilentLine(line, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State state = SilentLine::state();
        state.editable = !static_cast<PlainTextLine*>(widget())->isReadOnly();
        state.multiLine = true;
        return state;
    }
};

QAccessibleInterface* LineInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(PasswordLine::staticMetaObject.className())) {
        return new MaskedLineAccessible(static_cast<PasswordLine*>(object));
    }
    if (className == QLatin1String(PlainTextLine::staticMetaObject.className())) {
        return new PlainLineAccessible(static_cast<PlainTextLine*>(object));
    }
    return nullptr;
}

} // namespace

void InstallLineAccessibility() { QAccessible::installFactory(&LineInterface); }

} // namespace mirvane
