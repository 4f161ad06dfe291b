// The process entry point: a GUI entry with no console on Windows, main
// elsewhere. The command line is read by the launcher itself.
#include "launcher/Launcher.h"

#ifdef _WIN32
#include <windows.h>

// What the statically linked C++ library would throw ends the process in
// launcher/NoExceptions.cpp: there are no handlers to install.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return tala::RunLauncher(); }
#else
#include "os/FatalError.h"

int main()
{
    tala::os::InstallFatalErrorHandlers();
    return tala::RunLauncher();
}
#endif
