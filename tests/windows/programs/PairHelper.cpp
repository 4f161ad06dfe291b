// A product's pair program: waits while a file "hold" lies beside it, records
// its command line in pair-command-line.txt and exits with 42.
#include <windows.h>

#include <string>

namespace {

std::wstring FolderOfThisProgram()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

} // namespace

int wmain()
{
    const std::wstring folder = FolderOfThisProgram();
    const std::wstring hold = folder + L"hold";
    for (int tenths = 0; tenths < 300 && ::GetFileAttributesW(hold.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++tenths) {
        ::Sleep(100);
    }
    const wchar_t* commandLine = ::GetCommandLineW();
    const HANDLE file = ::CreateFileW((folder + L"pair-command-line.txt").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, commandLine, static_cast<DWORD>(::wcslen(commandLine) * sizeof(wchar_t)),
                    &written, nullptr);
        ::CloseHandle(file);
    }
    return 42;
}
