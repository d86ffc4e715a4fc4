#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace mirvane {


// The error report window: what went wrong, for the user to send to the maker.
class frmError final : public QDialog {
    Q_OBJECT
public:
    explicit frmError(QWidget* owner);

    const QString& ErrorString() const { return mErrorString; }
    void SetErrorString(const QString& text) { mErrorString = text; }

    QPlainTextEdit* ErrorText() const { return txtError; }
    QPushButton* CloseButton() const { return cmdClose; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString mErrorString;
    QPlainTextEdit* txtError = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace mirvane
