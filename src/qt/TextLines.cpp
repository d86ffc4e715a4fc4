#include "TextLines.h"

#include "KeyButtonWidget.h"
#include "VirtualKeyCodes.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <memory>

namespace mirvane {

namespace {
class AsteriskPasswordStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

std::int16_t ToInt16(qsizetype value) {
    return static_cast<std::int16_t>(std::clamp<qsizetype>(value, 0, INT16_MAX));
}

// Key-down, then the character (if the key carries one), as the window's handlers see
// them. True when a handler cancelled the key, so that the line must not see it; `lineTakes`
// says whether the line may carry it out itself.
bool CancelledByHandlers(TextLine& line, TextLineEvents* events, const QKeyEvent& event, bool& lineTakes) {
    lineTakes = false;
    if (events == nullptr) {
        return false;
    }
    const std::int16_t original = VirtualKeyCode(event);
    std::int16_t keyCode = original;
    lineTakes = events->LineKeyDown(line, keyCode, ShiftMask(event.modifiers()),
                                    (event.modifiers() & Qt::MetaModifier) != 0);
    if (original != 0 && keyCode == 0) {
        return true;
    }
    // With Ctrl held a key types no character: it is a shortcut, or nothing.
    if (event.text().size() == 1 && !(event.modifiers() & Qt::ControlModifier)) {
        auto keyAscii = static_cast<std::int16_t>(event.text().at(0).unicode());
        events->LineKeyPress(line, keyAscii);
        return keyAscii == 0;
    }
    return false;
}
} // namespace

PasswordLine::PasswordLine(QWidget* parent)
    : QLineEdit(parent), PlacedWidget<TextLine>(*static_cast<QWidget*>(this)) {
    setObjectName(QStringLiteral("txtPassword"));
    auto* passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(this);
    setStyle(passwordStyle);
    setAcceptDrops(false);
    setMouseTracking(true); // hover entry hears the pointer over the line
    setMaxLength(static_cast<int>(kMaxTextLength));
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
}

void PasswordLine::keyPressEvent(QKeyEvent* event) {
    event->accept();
    bool lineTakes = false;
    if (CancelledByHandlers(*this, mEvents, *event, lineTakes) || !lineTakes) {
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PasswordLine::keyReleaseEvent(QKeyEvent* event) {
    if (mEvents != nullptr) {
        mEvents->LineKeyUp(*this, VirtualKeyCode(*event), ShiftMask(event->modifiers()));
    }
    QLineEdit::keyReleaseEvent(event);
}

// An input method's text goes through the same character filter as typed keys, and like
// them enters the line only through the engine: what the engine refuses stays out.
void PasswordLine::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
    for (const QChar character : event->commitString()) {
        auto keyAscii = static_cast<std::int16_t>(character.unicode());
        if (mEvents != nullptr) {
            mEvents->LineKeyPress(*this, keyAscii);
        }
    }
}

void PasswordLine::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        event->accept(); // no paste of the primary selection
        return;
    }
    QLineEdit::mousePressEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineMouseDown(*this, MouseButtonMask(event->button()), ShiftMask(event->modifiers()));
    }
}

void PasswordLine::mouseMoveEvent(QMouseEvent* event) {
    const std::int16_t buttons = MouseButtonMask(event->buttons());
    const std::int16_t shift = ShiftMask(event->modifiers());
    if (mEvents != nullptr && mEvents->LineMouseMoveStartsDrag(*this, buttons, shift)) {
        return;
    }
    QLineEdit::mouseMoveEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineMouseMove(*this, buttons, shift);
    }
}

void PasswordLine::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineMouseUp(*this, MouseButtonMask(event->button()), ShiftMask(event->modifiers()));
    }
}

void PasswordLine::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineDoubleClick(*this);
    }
}

void PasswordLine::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineGotFocus(*this);
    }
}

void PasswordLine::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineLostFocus(*this);
    }
}

// Writing the text puts the caret at the start, as the original text box does.
void PasswordLine::SetText(const SecretText& value) {
    setText(ToQString(value));
    setCursorPosition(0);
}

std::int16_t PasswordLine::SelStart() const {
    return ToInt16(hasSelectedText() ? selectionStart() : cursorPosition());
}

void PasswordLine::SetSelStart(std::int16_t start) {
    setCursorPosition(std::clamp<int>(start, 0, static_cast<int>(text().size())));
}

std::int16_t PasswordLine::SelLength() const { return ToInt16(selectionLength()); }

void PasswordLine::SetSelLength(std::int16_t length) {
    const int start = SelStart();
    const int clamped = std::clamp<int>(length, 0, static_cast<int>(text().size()) - start);
    if (clamped == 0) {
        setCursorPosition(start);
    } else {
        setSelection(start, clamped);
    }
}

std::u16string PasswordLine::PasswordChar() const { return echoMode() == Password ? u"*" : u""; }

void PasswordLine::SetPasswordChar(const std::u16string& passwordChar) {
    setEchoMode(passwordChar.empty() ? Normal : Password);
}

PlainTextLine::PlainTextLine(QWidget* parent)
    : QPlainTextEdit(parent), PlacedWidget<TextLine>(*static_cast<QWidget*>(this)) {
    setObjectName(QStringLiteral("txtText"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true); // hover entry hears the pointer over the line
}

void PlainTextLine::keyPressEvent(QKeyEvent* event) {
    bool lineTakes = false;
    if (CancelledByHandlers(*this, mEvents, *event, lineTakes) || !lineTakes) {
        event->accept();
        return;
    }
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((lineBreak || event->key() == Qt::Key_Tab) &&
        !Fits(lineBreak ? QStringLiteral("\n") : QStringLiteral("\t"))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool PlainTextLine::Fits(const QString& inserted) const {
    const auto added = static_cast<std::size_t>(inserted.size() + inserted.count(QLatin1Char('\n')));
    return Text().size() - static_cast<std::size_t>(SelLength()) + added <= kMaxTextLength;
}

// Pastes and drops. The toolkit hands over no data at all when the clipboard or the
// primary selection has no owner, and would crash on it.
void PlainTextLine::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText() || !Fits(source->text())) {
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void PlainTextLine::inputMethodEvent(QInputMethodEvent* event) {
    if (!Fits(event->commitString())) {
        event->setCommitString(QString());
    }
    QPlainTextEdit::inputMethodEvent(event);
}

// The box's own copy, cut, drag and primary selection all take their data from here:
// none of them carries the text. Copy and cut go through CopySelection instead.
QMimeData* PlainTextLine::createMimeDataFromSelection() const { return new QMimeData; }

void PlainTextLine::CopySelection(bool cut) {
    if (mEvents != nullptr) {
        mEvents->LineCopy(*this, cut);
    }
}

void PlainTextLine::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("edit-copy") || name == QLatin1String("edit-cut")) {
            const bool cut = name == QLatin1String("edit-cut");
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, cut] { CopySelection(cut); });
        }
    }
    menu->exec(event->globalPos());
}

void PlainTextLine::keyReleaseEvent(QKeyEvent* event) {
    if (mEvents != nullptr) {
        mEvents->LineKeyUp(*this, VirtualKeyCode(*event), ShiftMask(event->modifiers()));
    }
    QPlainTextEdit::keyReleaseEvent(event);
}

std::int32_t PlainTextLine::CharacterAt(const QMouseEvent& event) const {
    return FromDocumentPosition(cursorForPosition(event.position().toPoint()).position());
}

LinePoint PlainTextLine::PointOf(const QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    return {at.x(), at.y()};
}

void PlainTextLine::mousePressEvent(QMouseEvent* event) {
    const bool armed =
        mEvents != nullptr && mEvents->PlainLinePressArmsDrag(*this, MouseButtonMask(event->button()),
                                                              CharacterAt(*event), PointOf(*event));
    if (!armed) {
        QPlainTextEdit::mousePressEvent(event);
    }
    if (mEvents != nullptr) {
        mEvents->LineMouseDown(*this, MouseButtonMask(event->button()), ShiftMask(event->modifiers()));
    }
}

void PlainTextLine::mouseMoveEvent(QMouseEvent* event) {
    if (mEvents != nullptr) {
        mEvents->LineMouseMove(*this, MouseButtonMask(event->buttons()), ShiftMask(event->modifiers()));
        if (mEvents->PlainLineMoveTaken(*this, MouseButtonMask(event->buttons()), PointOf(*event),
                                        QApplication::startDragDistance())) {
            return;
        }
    }
    QPlainTextEdit::mouseMoveEvent(event);
}

void PlainTextLine::mouseReleaseEvent(QMouseEvent* event) {
    if (mEvents == nullptr || !mEvents->PlainLineReleaseTaken(*this, CharacterAt(*event))) {
        QPlainTextEdit::mouseReleaseEvent(event);
    }
    if (mEvents != nullptr) {
        mEvents->LineMouseUp(*this, MouseButtonMask(event->button()), ShiftMask(event->modifiers()));
    }
}

void PlainTextLine::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineGotFocus(*this);
    }
}

void PlainTextLine::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (mEvents != nullptr) {
        mEvents->LineLostFocus(*this);
    }
}

SecretText PlainTextLine::SelText() const {
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return ToSecret(selected);
}

SecretText PlainTextLine::Text() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToSecret(text);
}

void PlainTextLine::SetText(const SecretText& value) {
    if (value.empty()) {
        mClipboard.Withdraw(); // "Clear" and masking empty the line
    }
    QString text = ToQString(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
    SetSelStart(0);
}

// Positions outside count CR LF as two characters; the document holds one per break.
int PlainTextLine::ToDocumentPosition(std::int32_t position) const {
    const SecretText text = Text();
    const auto limit = std::min<std::size_t>(static_cast<std::size_t>(std::max(position, 0)), text.size());
    int breaksBefore = 0;
    for (std::size_t i = 0; i + 1 < limit; ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') {
            ++breaksBefore;
        }
    }
    return static_cast<int>(limit) - breaksBefore;
}

std::int32_t PlainTextLine::FromDocumentPosition(int position) const {
    const QString text = toPlainText();
    const int limit = std::clamp(position, 0, static_cast<int>(text.size()));
    return limit + static_cast<std::int32_t>(text.left(limit).count(QLatin1Char('\n')));
}

std::int16_t PlainTextLine::SelStart() const {
    return ToInt16(FromDocumentPosition(textCursor().selectionStart()));
}

void PlainTextLine::SetSelStart(std::int16_t start) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(ToDocumentPosition(start));
    setTextCursor(cursor);
}

std::int16_t PlainTextLine::SelLength() const {
    const QTextCursor cursor = textCursor();
    return ToInt16(FromDocumentPosition(cursor.selectionEnd()) -
                   FromDocumentPosition(cursor.selectionStart()));
}

void PlainTextLine::SetSelLength(std::int16_t length) {
    const std::int32_t start = SelStart();
    QTextCursor cursor = textCursor();
    cursor.setPosition(ToDocumentPosition(start));
    cursor.setPosition(ToDocumentPosition(start + std::max<std::int32_t>(length, 0)),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

} // namespace mirvane
