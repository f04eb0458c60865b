#include <windows.h>

/* The library's only entry point: it has no runtime to start and nothing to
 * set up, so every notification succeeds. The asm label gives the linker's
 * --entry one symbol name on both i386 and x86-64. */
BOOL WINAPI tsarelayEntry(HINSTANCE module, DWORD reason, LPVOID reserved)
    __asm__("tsarelayEntry");

BOOL WINAPI tsarelayEntry(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}
