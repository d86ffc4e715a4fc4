#pragma once

#include "SecretMimeData.h"

#include "form/ClipboardRules.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace mirvane {

// A copy of the plain line that the person asked for. Clipboard managers are told it is a
// secret, and it is withdrawn, while it is still ours, after a short while, when the line
// is emptied and when the program ends, so that no manager is handed it on exit.
class SecretClipboard final : public QObject {
    Q_OBJECT
public:
    SecretClipboard();
    ~SecretClipboard() override { Withdraw(); }

    void Offer(SecretText text);
    void Withdraw();

private:
    QPointer<SecretMimeData> mOffered; // the clipboard deletes it when another program takes over
    QTimer mExpiry;
};

} // namespace mirvane
