// A library with no code of its own, built beside the tests: whether it loads tells only where
// the loader looked, as with a library planted beside the program in a download folder.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE /*library*/, DWORD /*reason*/, LPVOID /*reserved*/) { return TRUE; }
