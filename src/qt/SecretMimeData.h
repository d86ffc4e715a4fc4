#pragma once

#include "common/SecretText.h"

#include <QByteArray>
#include <QMimeData>

#include <functional>
#include <utility>
#include <vector>

namespace mirvane {

// Plain text that is offered without being handed over: the text exists only in secret
// memory, and each request is put to a question first. What it gives out is wiped as soon
// as the toolkit has passed it on.
class SecretMimeData final : public QMimeData {
    Q_OBJECT
public:
    using MayAnswer = std::function<bool()>;
    SecretMimeData(SecretText text, MayAnswer mayAnswer);
    ~SecretMimeData() override;

    // A format with a fixed value that anybody may read, such as a clipboard manager's hint.
    void AddHint(const QString& format, const QByteArray& value);
    // Forgets the text: every later request is answered with nothing.
    void Wipe();

    QStringList formats() const override;
    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override;

private:
    void WipeGiven() const;

    mutable SecretText mText;
    MayAnswer mMayAnswer;
    std::vector<std::pair<QString, QByteArray>> mHints;
    mutable std::vector<QByteArray> mGiven; // shared with the toolkit until wiped
};

} // namespace mirvane
