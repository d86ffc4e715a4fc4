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

// No error report or crash dump of a process that may hold a password, and no library from
// the program's own folder: a download folder may hold a planted version.dll or uxtheme.dll that
// a system library would otherwise load into it by its bare name.
void HardenProcess() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&EndAtOnce);
}

} // namespace mirvane::platform
