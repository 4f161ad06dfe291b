// A runtime's splashscreen.dll recording each call in splash-record.txt beside it; one variant lacks SplashInit.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

HMODULE self = nullptr;

void Record(const std::string& line)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(self, path, MAX_PATH);
    const std::filesystem::path record = std::filesystem::path(path).parent_path() / "splash-record.txt";
    std::ofstream(record, std::ios::binary | std::ios::app) << line << "\n";
}

std::string Text(const char* text) { return *text == '\0' ? "-" : text; }

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

#ifndef TALA_SPLASH_STANDIN_WITHOUT_INIT
__declspec(dllexport) void SplashInit() { Record("SplashInit"); }
#endif
__declspec(dllexport) int SplashLoadFile(const char* name) { return Record("SplashLoadFile " + Text(name)), 1; }
__declspec(dllexport) void SplashSetFileJarName(const char* name, const char* jar)
{
    Record("SplashSetFileJarName " + Text(name) + " " + Text(jar));
}
__declspec(dllexport) void SplashClose() { Record("SplashClose"); }

} // extern "C"
