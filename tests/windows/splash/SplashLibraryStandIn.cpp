// standin-splashscreen.dll: takes the place of a Java runtime's
// splashscreen.dll in the splash tests and records what the launcher asks of
// it, one line per event, in splash-record.txt beside itself:
//
//   SplashInit
//   SplashLoadFile HEX                the file name's bytes, two hex digits each
//   SplashSetFileJarName HEX HEX      file name, jar name ("-" when empty)
//   SplashClose
//
// The variant built with TALA_SPLASH_STANDIN_WITHOUT_INIT lacks SplashInit,
// as a library the launcher cannot use. Test code only.
#include <windows.h>

#include <string>

namespace {

HMODULE self = nullptr;

void Record(const std::string& line)
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size())));
    path = path.substr(0, path.rfind(L'\\') + 1) + L"splash-record.txt";
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string Hex(const char* text)
{
    if (text == nullptr) return "null";
    if (*text == '\0') return "-";
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (; *text != '\0'; ++text) {
        const auto byte = static_cast<unsigned char>(*text);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
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
    Record("SplashLoadFile " + Hex(fileName));
    return 1;
}

__declspec(dllexport) void SplashSetFileJarName(const char* fileName, const char* jarName)
{
    Record("SplashSetFileJarName " + Hex(fileName) + " " + Hex(jarName));
}

__declspec(dllexport) void SplashClose()
{
    Record("SplashClose");
}

} // extern "C"
