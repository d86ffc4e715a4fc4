#include "SecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace mirvane {

SecretClipboard::SecretClipboard() {
    mExpiry.setSingleShot(true);
    mExpiry.setInterval(kCopyLifetimeMs);
    connect(&mExpiry, &QTimer::timeout, this, &SecretClipboard::Withdraw);
}

void SecretClipboard::Offer(SecretText text) {
    auto* data = new SecretMimeData(std::move(text), [] { return true; });
    data->AddHint(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    mOffered = data;
    mExpiry.start();
}

void SecretClipboard::Withdraw() {
    mExpiry.stop();
    if (qGuiApp == nullptr) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (mOffered != nullptr && clipboard->ownsClipboard() &&
        clipboard->mimeData(QClipboard::Clipboard) == mOffered.data()) {
        clipboard->clear(QClipboard::Clipboard);
    }
    mOffered = nullptr;
}

} // namespace mirvane
