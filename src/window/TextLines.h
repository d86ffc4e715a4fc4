#pragma once

#include "QtControls.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace mirvane {

// txtPassword: a single line whose "*" password character shows as "*".
class PasswordLine final : public QLineEdit, public PlacedWidget<TextLine> {
    Q_OBJECT
public:
    explicit PasswordLine(QWidget* parent);

    std::u16string Text() const override { return ToU16(text()); }
    void SetText(const std::u16string& value) override;
    std::int16_t SelStart() const override;
    void SetSelStart(std::int16_t start) override;
    std::int16_t SelLength() const override;
    void SetSelLength(std::int16_t length) override;
    std::u16string PasswordChar() const override;
    void SetPasswordChar(const std::u16string& passwordChar) override;
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }
};

// txtText: a multi-line box whose text and positions count a line break as CR LF.
class PlainTextLine final : public QPlainTextEdit, public PlacedWidget<TextLine> {
    Q_OBJECT
public:
    explicit PlainTextLine(QWidget* parent);

    std::u16string Text() const override;
    void SetText(const std::u16string& value) override;
    std::int16_t SelStart() const override;
    void SetSelStart(std::int16_t start) override;
    std::int16_t SelLength() const override;
    void SetSelLength(std::int16_t length) override;
    std::u16string PasswordChar() const override { return {}; }
    void SetPasswordChar(const std::u16string&) override {}
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }

private:
    int ToDocumentPosition(std::int32_t position) const;
    std::int32_t FromDocumentPosition(int position) const;
};

} // namespace mirvane
