// The process entry point: a GUI entry with no console on Windows, main
// elsewhere. The command line is read by the launcher itself.
#include "launcher/Launcher.h"

#ifdef _WIN32
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return tala::RunLauncher(); }
#else
int main() { return tala::RunLauncher(); }
#endif
