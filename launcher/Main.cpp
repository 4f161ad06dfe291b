// The process entry point: a GUI entry with no console on Windows, main
// elsewhere. The command line is read by the launcher itself.
#include "launcher/Launcher.h"
#include "os/FatalError.h"

#ifdef _WIN32
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    tala::os::InstallFatalErrorHandlers();
    return tala::RunLauncher();
}
#else
int main()
{
    tala::os::InstallFatalErrorHandlers();
    return tala::RunLauncher();
}
#endif
