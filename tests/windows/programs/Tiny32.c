/* A 32-bit DLL that does nothing: the shape of a 32-bit VM library. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return TRUE;
}
