#include "QtControls.h"

#include "common/ErrorObject.h"
#include "form/Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace mirvane {

double TwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int ToPixels(std::int32_t twips) { return TwipsToPixels(twips, TwipsPerPixel()); }

std::int32_t ToTwips(int pixels) { return PixelsToTwips(pixels, TwipsPerPixel()); }

QRect TwipsRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    return {ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height)};
}

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

QString ToQString(const SecretText& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

SecretText ToSecret(const QString& text) {
    const auto* begin = reinterpret_cast<const char16_t*>(text.utf16());
    return SecretText(begin, begin + text.size());
}

void ThrowInvalidPropertyValue() { throw ErrorObject(380, "mirvane", "Invalid property value"); }

} // namespace mirvane
