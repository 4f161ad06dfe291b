// standin-splashscreen.dll: takes the place of a Java runtime's
// splashscreen.dll in the splash tests and records what the launcher asks of
// it, one line per event, in splash-record.txt beside itself:
//
//   SplashInit
//   SplashLoadFile NAME               the file name's bytes as given
//   SplashSetFileJarName NAME JAR     file name, jar name ("-" when empty)
//   SplashClose
//
// The variant built with TALA_SPLASH_STANDIN_WITHOUT_INIT lacks SplashInit,
// as a library the launcher cannot use. Test code only.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

HMODULE self = nullptr;

void Record(const std::string& line)
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size())));
    const std::filesystem::path record = std::filesystem::path(path).parent_path() / "splash-record.txt";
    std::ofstream(record, std::ios::binary | std::ios::app) << line << "\n";
}

std::string Text(const char* text)
{
    if (text == nullptr) return "null";
    return *text == '\0' ? "-" : text;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    // Only the module handle under the loader lock; the file is written later.
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

#ifndef TALA_SPLASH_STANDIN_WITHOUT_INIT
__declspec(dllexport) void SplashInit()
{
    Record("SplashInit");
}
#endif

__declspec(dllexport) int SplashLoadFile(const char* fileName)
{
    Record("SplashLoadFile " + Text(fileName));
    return 1;
}

__declspec(dllexport) void SplashSetFileJarName(const char* fileName, const char* jarName)
{
    Record("SplashSetFileJarName " + Text(fileName) + " " + Text(jarName));
}

__declspec(dllexport) void SplashClose()
{
    Record("SplashClose");
}

} // extern "C"
