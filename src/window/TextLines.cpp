#include "TextLines.h"

#include <QProxyStyle>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

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
} // namespace

PasswordLine::PasswordLine(QWidget* parent)
    : QLineEdit(parent), PlacedWidget<TextLine>(*static_cast<QWidget*>(this)) {
    setObjectName(QStringLiteral("txtPassword"));
    auto* passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(this);
    setStyle(passwordStyle);
}

// Writing the text puts the caret at the start, as the original text box does.
void PasswordLine::SetText(const std::u16string& value) {
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
}

std::u16string PlainTextLine::Text() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToU16(text);
}

void PlainTextLine::SetText(const std::u16string& value) {
    QString text = ToQString(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
    SetSelStart(0);
}

// Positions outside count CR LF as two characters; the document holds one per break.
int PlainTextLine::ToDocumentPosition(std::int32_t position) const {
    const std::u16string text = Text();
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
    return ToInt16(FromDocumentPosition(cursor.selectionEnd()) - FromDocumentPosition(cursor.selectionStart()));
}

void PlainTextLine::SetSelLength(std::int16_t length) {
    const std::int32_t start = SelStart();
    QTextCursor cursor = textCursor();
    cursor.setPosition(ToDocumentPosition(start));
    cursor.setPosition(ToDocumentPosition(start + std::max<std::int32_t>(length, 0)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

} // namespace mirvane
