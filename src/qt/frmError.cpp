#include "frmError.h"

#include "form/ProgramTexts.h"
#include "qt/QtControls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace mirvane {

namespace {
QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* PlacedLabel(QWidget* parent, const QString& text, QRect where, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setGeometry(where);
    return label;
}
} // namespace

frmError::frmError(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmError"));
    setWindowTitle(Utf8(kErrorTitle));
    setFixedSize(ToPixels(7400), ToPixels(5300));

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    picIcon->setGeometry(TwipsRect(240, 240, 480, 480));

    PlacedLabel(this, Utf8(kErrorHeading),
                TwipsRect(840, 240, 4215, 375), "Label1");
    PlacedLabel(
        this,
        QString::fromStdString(ErrorRequest()),
        TwipsRect(840, 600, 5775, 375 + 240), "Label2");
    PlacedLabel(this, Utf8(kErrorThanks),
                TwipsRect(840, 1200, 3975, 255), "Label3");

    txtError = new QPlainTextEdit(this);
    txtError->setObjectName(QStringLiteral("txtError"));
    txtError->setGeometry(TwipsRect(840, 1560, 6255, 2775));

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(TwipsRect(6000, 4440, 1095, 375));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmError::showEvent(QShowEvent* event) {
    QString shown = mErrorString;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtError->setPlainText(shown);
    QDialog::showEvent(event);
}

} // namespace mirvane
