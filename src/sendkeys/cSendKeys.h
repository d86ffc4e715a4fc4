#pragma once

#include "platform/KeyInjection.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mirvane {

// Synthetic key strokes into the system's input queue, and the key command language:
// characters, "+" "^" "%" for Shift, Ctrl and Alt, groups in parentheses held under a
// modifier, "~" for Enter, and {NAME count} for named keys.
class cSendKeys {
public:
    // programName: the executable's name, which errors give as their source.
    cSendKeys(KeyInjector& injector, KeyLayout& layout, EventPump& pump, std::string programName = "mirvane");

    void SendKeys(const std::u16string& keys, bool wait = false);
    void KeyDown(std::int32_t virtualKey, const std::u16string& key = u"");
    void KeyUp(std::int32_t virtualKey);
    std::int32_t KeyCode(const std::u16string& character);
    void KeyPress(const std::u16string& key, double count);

    // The named keys, upper case, with their virtual-key codes.
    static std::int32_t KeyNameCode(const std::u16string& name);

private:
    void SendEvent(std::int32_t virtualKey, std::uint32_t flags);
    [[noreturn]] void Fail(std::int32_t number, const std::string& message, std::vector<char16_t>& groups);

    KeyInjector& mInjector;
    KeyLayout& mLayout;
    EventPump& mPump;
    std::string mSource;
};

} // namespace mirvane
