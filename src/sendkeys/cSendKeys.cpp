#include "cSendKeys.h"

#include "common/ErrorObject.h"
#include "common/Rounding.h"

#include <cmath>

namespace mirvane {

namespace {
constexpr std::int32_t kShift = 16;
constexpr std::int32_t kControl = 17;
constexpr std::int32_t kAlt = 18;
constexpr std::int32_t kEnter = 13;

std::int32_t ModifierCode(char16_t c) {
    switch (c) {
    case u'+':
        return kShift;
    case u'^':
        return kControl;
    case u'%':
        return kAlt;
    default:
        return 0;
    }
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Plain decimal numbers, with a sign, a fraction and an exponent allowed, spaces around.
bool IsNumeric(const std::u16string& text, double& value) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            ++i;
        }
        return i - from;
    };
    const auto skipSpaces = [&] {
        while (i < text.size() && text[i] == u' ') {
            ++i;
        }
    };
    skipSpaces();
    const std::size_t begin = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
            ++i;
        }
        if (digits() == 0) {
            return false;
        }
    }
    const std::size_t end = i;
    skipSpaces();
    if (i != text.size()) {
        return false;
    }
    value = std::strtod(Narrow(text.substr(begin, end - begin)).c_str(), nullptr);
    return std::isfinite(value);
}
} // namespace

cSendKeys::cSendKeys(KeyInjector& injector, KeyLayout& layout, EventPump& pump, std::string programName)
    : mInjector(injector), mLayout(layout), mPump(pump), mSource(std::move(programName) + ".cSendKeys") {}

void cSendKeys::SendEvent(std::int32_t virtualKey, std::uint32_t flags) {
    if (virtualKey < 0 || virtualKey > 255) {
        throw ErrorObject(kErrorOverflow, mSource, "Overflow");
    }
    mInjector.KeyboardEvent(static_cast<std::uint8_t>(virtualKey), flags);
    mPump.ProcessPendingEvents();
}

void cSendKeys::KeyDown(std::int32_t virtualKey, const std::u16string& /*key*/) {
    SendEvent(virtualKey, kKeyEventExtendedKey);
}

void cSendKeys::KeyUp(std::int32_t virtualKey) {
    SendEvent(virtualKey, kKeyEventExtendedKey | kKeyEventKeyUp);
}

std::int32_t cSendKeys::KeyCode(const std::u16string& character) {
    if (character.empty()) {
        throw ErrorObject(kErrorSubscriptOutOfRange, mSource, "Subscript out of range");
    }
    // The shift state in the high byte is dropped: "A" and "a" are the same key.
    return mLayout.ScanCharacter(character[0]) & 0xFF;
}

void cSendKeys::KeyPress(const std::u16string& key, double count) {
    std::int32_t code = KeyNameCode(key);
    if (code == 0) {
        code = KeyCode(key);
    }
    if (code == 0) {
        throw ErrorObject(kErrorSubscriptOutOfRange, mSource,
                          "Key " + Narrow(key) + " could not be interpreted.");
    }
    const std::int32_t times = ToLong(count);
    for (std::int32_t i = 0; i < times; ++i) {
        KeyDown(code);
        KeyUp(code);
    }
}

void cSendKeys::Fail(std::int32_t number, const std::string& message, std::vector<char16_t>& groups) {
    // Whatever went wrong, no modifier stays held.
    while (!groups.empty()) {
        const char16_t modifier = groups.back();
        try {
            KeyUp(ModifierCode(modifier));
        } catch (...) {
        }
        groups.pop_back();
    }
    throw ErrorObject(number, mSource, message);
}

void cSendKeys::SendKeys(const std::u16string& keys, bool /*wait*/) {
    std::vector<char16_t> groups;
    const std::size_t n = keys.size();
    std::size_t i = 0; // 0-based; messages give i + 1
    const auto position = [&i] { return std::to_string(i + 1); };
    try {
        while (i < n) {
            const char16_t c = keys[i];
            if (const std::int32_t modifier = ModifierCode(c); modifier != 0) {
                if (i + 1 < n && keys[i + 1] == u'(') {
                    groups.push_back(c);
                    KeyDown(modifier);
                    i += 2;
                } else {
                    KeyDown(modifier);
                    KeyUp(modifier);
                    ++i;
                }
            } else if (c == u'~') {
                KeyDown(kEnter);
                KeyUp(kEnter);
                ++i;
            } else if (c == u')') {
                if (groups.empty()) {
                    Fail(0, "Invalid sendkeys command: unmatched ) at position " + position(), groups);
                }
                KeyUp(ModifierCode(groups.back()));
                groups.pop_back();
                ++i;
            } else if (c == u'{') {
                if (i + 3 > n) {
                    Fail(0,
                         "Invalid sendkeys command; opening { without content or closing } at position " +
                             position(),
                         groups);
                }
                // The character right after "{" always belongs to the content: {}} names "}".
                const std::size_t close = keys.find(u'}', i + 2);
                if (close == std::u16string::npos) {
                    Fail(0, "Invalid sendkeys command; opening { without closing } at position " + position(),
                         groups);
                }
                const std::u16string content = keys.substr(i + 1, close - i - 1);
                i = close + 1;
                const std::size_t space = content.find(u' ');
                std::u16string name = content;
                double count = 1;
                if (space != std::u16string::npos) {
                    name = content.substr(0, space);
                    const std::u16string repetitions = content.substr(space + 1);
                    if (!IsNumeric(repetitions, count)) {
                        Fail(0,
                             "Invalid sendkeys command; key repetitions '" + Narrow(repetitions) +
                                 "' is invalid near position " + position(),
                             groups);
                    }
                }
                KeyPress(name, count);
            } else {
                KeyPress(std::u16string(1, c), 1);
                ++i;
            }
        }
        if (!groups.empty()) {
            Fail(0, "Invalid sendkeys command: more open brackets than close brackets.", groups);
        }
    } catch (const ErrorObject& error) {
        if (error.Source() == mSource && groups.empty()) {
            throw;
        }
        Fail(error.Number(), error.Description(), groups);
    } catch (const std::exception& error) {
        Fail(kErrorInternal, error.what(), groups);
    }
}

} // namespace mirvane
