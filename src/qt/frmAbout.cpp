#include "frmAbout.h"

#include "frmError.h"

#include "form/KeyboardForm.h"
#include "form/ProgramTexts.h"

#include "qt/QtControls.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace mirvane {

namespace {
constexpr int kEdgeTwips = 500;
} // namespace

QString frmAbout::VersionLine() { return QString::fromStdString(mirvane::VersionLine()); }

QString frmAbout::Description() { return QString::fromStdString(AboutDescription()); }

frmAbout::frmAbout(Keyboard& keyboard, WindowStacking& stacking, QWidget* owner)
    : QDialog(owner), mKeyboard(keyboard), mStacking(stacking) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString::fromUtf8(kAboutTitle.data(), static_cast<qsizetype>(kAboutTitle.size())));
    setFixedSize(ToPixels(6600), ToPixels(5400));

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/icons/Mirvane32.xpm")));
    picIcon->setGeometry(ToPixels(240), ToPixels(240), 32, 32);

    lblTitle = new QLabel(QStringLiteral("Mirvane"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblTitle->setGeometry(ToPixels(1050), ToPixels(240), ToPixels(5000), ToPixels(480));

    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(ToPixels(1050), ToPixels(780), ToPixels(5000), ToPixels(300));

    txtDescription = new QPlainTextEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setReadOnly(true);
    txtDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDescription->setGeometry(ToPixels(1050), ToPixels(1200), ToPixels(5300), ToPixels(3000));

    // Line1: a grey line with a white one below it, between the text and the button.
    for (const auto& [colour, offset] :
         {std::pair{QColor(128, 128, 128), 0}, std::pair{QColor(255, 255, 255), 1}}) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line1"));
        line->setGeometry(ToPixels(240), ToPixels(4380) + offset, ToPixels(6120), 1);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, colour);
        line->setPalette(palette);
        line->setAutoFillBackground(true);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(ToPixels(5100), ToPixels(4620), ToPixels(1260), ToPixels(375));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmAbout::ShowModal(Keyboard& keyboard, WindowStacking& stacking, QWidget* owner) {
    frmAbout about(keyboard, stacking, owner);
    about.exec();
}

void frmAbout::showEvent(QShowEvent* event) {
    lblVersion->setText(VersionLine());
    QString text = Description();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtDescription->setPlainText(text);
    QDialog::showEvent(event);
    FormActivate();
}

void frmAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
}

void frmAbout::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    KeepAwayFromTheEdges();
}

void frmAbout::KeepAwayFromTheEdges() {
    const int edge = ToPixels(kEdgeTwips);
    if (x() < edge) {
        move(edge, y());
    }
    if (y() < edge) {
        move(x(), edge);
    }
}

void frmAbout::FormActivate() {
    StackAboutBox(mKeyboard.KeepOnTop(), mStacking, mKeyboard.hwnd(), static_cast<std::uintptr_t>(winId()));
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.width() / 2 - frameGeometry().width() / 2,
             area.height() / 2 - frameGeometry().height() / 2);
    }
}

} // namespace mirvane
