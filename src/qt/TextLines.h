#pragma once

#include "QtControls.h"
#include "SecretClipboard.h"
#include "form/TextLineEvents.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace mirvane {

// txtPassword: a single line whose "*" password character shows as "*". Nothing reaches
// its text behind the engine's back: no paste, cut, copy, undo, drop, middle-click paste
// or context menu; typed text goes through the window's filters.
class PasswordLine final : public QLineEdit, public PlacedWidget<TextLine> {
    Q_OBJECT
public:
    explicit PasswordLine(QWidget* parent);
    void SetEvents(TextLineEvents* events) { mEvents = events; }

    SecretText Text() const override { return ToSecret(text()); }
    void SetText(const SecretText& value) override;
    std::int16_t SelStart() const override;
    void SetSelStart(std::int16_t start) override;
    std::int16_t SelLength() const override;
    void SetSelLength(std::int16_t length) override;
    std::u16string PasswordChar() const override;
    void SetPasswordChar(const std::u16string& passwordChar) override;
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TextLineEvents* mEvents = nullptr;
};

// txtText: a multi-line box whose text and positions count a line break as CR LF. It
// starts drags of its selected text by itself. Its text reaches the clipboard only when
// the person copies or cuts, never the primary selection.
class PlainTextLine final : public QPlainTextEdit, public PlacedWidget<TextLine> {
    Q_OBJECT
public:
    explicit PlainTextLine(QWidget* parent);
    void SetEvents(TextLineEvents* events) { mEvents = events; }

    SecretText Text() const override;
    void SetText(const SecretText& value) override;
    std::int16_t SelStart() const override;
    void SetSelStart(std::int16_t start) override;
    std::int16_t SelLength() const override;
    void SetSelLength(std::int16_t length) override;
    std::u16string PasswordChar() const override { return {}; }
    void SetPasswordChar(const std::u16string&) override {}
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }
    SecretText SelText() const;
    // The person's copy, marked as a secret and taken back after a while.
    void OfferCopy(const SecretText& text) { mClipboard.Offer(text); }
    void WithdrawCopy() { mClipboard.Withdraw(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void CopySelection(bool cut);
    // Whether replacing the selection by this text keeps the line within its limit.
    bool Fits(const QString& inserted) const;
    int ToDocumentPosition(std::int32_t position) const;
    std::int32_t FromDocumentPosition(int position) const;
    std::int32_t CharacterAt(const QMouseEvent& event) const;
    static LinePoint PointOf(const QMouseEvent& event);

    TextLineEvents* mEvents = nullptr;
    SecretClipboard mClipboard;
};

} // namespace mirvane
