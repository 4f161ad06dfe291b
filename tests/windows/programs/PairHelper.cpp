// A pair program: waits while a file "hold" lies beside it, records its command line, exits with 42.
#include <windows.h>

#include <string>

int wmain()
{
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(::GetModuleFileNameW(nullptr, folder.data(), MAX_PATH));
    folder.resize(folder.rfind(L'\\') + 1);
    for (int tenths = 0; tenths < 300 && ::GetFileAttributesW((folder + L"hold").c_str()) != INVALID_FILE_ATTRIBUTES;
         ++tenths) {
        ::Sleep(100);
    }
    const wchar_t* commandLine = ::GetCommandLineW();
    const HANDLE file = ::CreateFileW((folder + L"pair-command-line.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, commandLine, static_cast<DWORD>(::wcslen(commandLine) * sizeof(wchar_t)), &written, nullptr);
        ::CloseHandle(file);
    }
    return 42;
}
