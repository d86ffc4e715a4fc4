// libFuzzer target: any command string, run against a recording injector. Whatever the
// command, nothing crashes and no modifier stays held after the run, failed or not.

#include "support/RecordingInjector.h"

#include "common/ErrorObject.h"
#include "sendkeys/cSendKeys.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane;
    std::u16string command;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        command += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    test::RecordingInjector injector;
    injector.limit = 20000; // a long repetition ends as a refused key stroke
    test::UsLayout layout;
    test::CountingPump pump;
    cSendKeys keys(injector, layout, pump);
    try {
        keys.SendKeys(command);
    } catch (const ErrorObject& error) {
        if (error.Source() != "mirvane.cSendKeys") {
            std::fprintf(stderr, "error raised with source %s\n", error.Source().c_str());
            std::abort();
        }
    }
    int held[256] = {};
    for (const test::KeyEvent& event : injector.events) {
        held[event.key] += event.down ? 1 : -1;
    }
    for (int modifier : {16, 17, 18}) {
        if (held[modifier] != 0) {
            std::fprintf(stderr, "modifier %d left down\n", modifier);
            std::abort();
        }
    }
    return 0;
}
