#include "platform/ProcessHardening.h"
#include "platform/win32/Win32Keyboard.h"

#include <windows.h>

namespace mirvane::platform {

namespace {
// The default handler would hand the crashed process, memory and all, to error reporting.
// A noise key held at the crash would stay down for every other program.
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS* /*exception*/) {
    win32::ReleaseKeysStillDown();
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}
} // namespace

// No error report or crash dump of a process that may hold a password.
void HardenProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&EndAtOnce);
}

} // namespace mirvane::platform
