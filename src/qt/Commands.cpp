#include "frmKeyboard.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalBlocker>

namespace mirvane {

// A checkable action has already flipped itself when it triggers; put it back, so that
// every command reads the check as it was and flips it itself where it should.
void frmKeyboard::OnMenu(Menu item) {
    QAction* action = MenuAction(item);
    if (action->isCheckable()) {
        const QSignalBlocker blocker(action);
        action->setChecked(!action->isChecked());
    }
    mForm.OnMenu(item);
}

void frmKeyboard::OnToolbarButton(const QString& key) { mForm.OnToolbarButton(key.toStdString()); }

void frmKeyboard::ShowAboutBox() {
    if (mKeyboard != nullptr) {
        mShowAbout(*mKeyboard, mStacking, this);
    }
}

bool frmKeyboard::MouseButtonHeld() const { return QApplication::mouseButtons() != Qt::NoButton; }

bool frmKeyboard::Printable(char16_t code) const { return QChar(code).isPrint(); }

void frmKeyboard::ClearOwnClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard()) {
        clipboard->clear(QClipboard::Clipboard);
    }
    if (clipboard->ownsSelection()) {
        clipboard->clear(QClipboard::Selection);
    }
}

} // namespace mirvane
