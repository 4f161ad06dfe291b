/* A 32-bit x86 DLL that does nothing: the shape of a 32-bit VM library,
 * which the 64-bit launcher must hand over to its pair product. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
