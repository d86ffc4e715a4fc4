#include "platform/ProcessHardening.h"

#include <windows.h>

namespace mirvane::platform {

namespace {
// The default handler would hand the crashed process, memory and all, to error reporting.
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS* /*exception*/) {
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
