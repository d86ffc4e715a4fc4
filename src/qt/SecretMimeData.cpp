#include "SecretMimeData.h"

#include "common/SecureMemory.h"

#include <QTimer>

namespace mirvane {

namespace {
const QString kPlainText = QStringLiteral("text/plain");
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");
} // namespace

SecretMimeData::SecretMimeData(SecretText text, MayAnswer mayAnswer)
    : mText(std::move(text)), mMayAnswer(std::move(mayAnswer)) {}

SecretMimeData::~SecretMimeData() { Wipe(); }

void SecretMimeData::AddHint(const QString& format, const QByteArray& value) {
    mHints.emplace_back(format, value);
}

void SecretMimeData::Wipe() {
    mirvane::Wipe(mText);
    WipeGiven();
}

QStringList SecretMimeData::formats() const {
    QStringList formats{kUtf8Text, kPlainText};
    for (const auto& hint : mHints) {
        formats.append(hint.first);
    }
    return formats;
}

QVariant SecretMimeData::retrieveData(const QString& format, QMetaType /*type*/) const {
    for (const auto& hint : mHints) {
        if (hint.first == format) {
            return hint.second;
        }
    }
    if ((format != kPlainText && format != kUtf8Text) || mText.empty() || !mMayAnswer()) {
        return QVariant();
    }
    const QString view = QString::fromRawData(reinterpret_cast<const QChar*>(mText.data()),
                                              static_cast<qsizetype>(mText.size()));
    QByteArray answer = view.toUtf8();
    mGiven.push_back(answer);
    // The toolkit copies the answer out before the event loop turns again.
    QTimer::singleShot(0, this, [this] { WipeGiven(); });
    return answer;
}

// Zeroes the buffers shared with the toolkit's copies of an answer, then lets them go.
void SecretMimeData::WipeGiven() const {
    for (QByteArray& given : mGiven) {
        WipeMemory(const_cast<char*>(given.constData()), static_cast<std::size_t>(given.size()));
    }
    mGiven.clear();
}

} // namespace mirvane
