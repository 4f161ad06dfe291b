// tala-test-boxes: a program whose message boxes and exit code are known in
// advance, so the driver's own tests can check what the driver reads.
//
//   tala-test-boxes.exe EXIT_CODE [ICON CAPTION TEXT]...
//
// Shows one modal box per triple, in order, then ends with EXIT_CODE (decimal,
// negative or 0x hex). ICON is error, warning, information, question or none;
// CAPTION "-" leaves the caption to the system; "\n" in TEXT is a line break
// and "{folder}" the program's working folder.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct ArgumentsDeleter {
    void operator()(LPWSTR* arguments) const { ::LocalFree(arguments); }
};

UINT IconStyle(const std::wstring& name)
{
    if (name == L"error") return MB_ICONERROR;
    if (name == L"warning") return MB_ICONWARNING;
    if (name == L"information") return MB_ICONINFORMATION;
    if (name == L"question") return MB_ICONQUESTION;
    return 0;
}

std::wstring Replaced(std::wstring text, std::wstring_view what, std::wstring_view with)
{
    for (std::size_t at = text.find(what); at != std::wstring::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

std::wstring CurrentFolder()
{
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

// The box text of an argument: "\n" breaks the line, "{folder}" stands for
// the working folder the program was started in.
std::wstring BoxText(const std::wstring& argument)
{
    return Replaced(Replaced(argument, L"\\n", L"\n"), L"{folder}", CurrentFolder());
}

UINT ParseExitCode(const wchar_t* text)
{
    // Negative codes wrap to their 32-bit form, as an int return value would.
    if (text[0] == L'-') return static_cast<UINT>(std::wcstol(text, nullptr, 10));
    return static_cast<UINT>(std::wcstoul(text, nullptr, 0));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    const std::unique_ptr<LPWSTR, ArgumentsDeleter> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!arguments || count < 2) return 2;
    LPWSTR* const argv = arguments.get();

    for (int box = 2; box + 2 < count; box += 3) {
        const std::wstring caption = argv[box + 1];
        const std::wstring text = BoxText(argv[box + 2]);
        ::MessageBoxW(nullptr, text.c_str(), caption == L"-" ? nullptr : caption.c_str(),
                      MB_OK | IconStyle(argv[box]));
    }
    ::ExitProcess(ParseExitCode(argv[1]));
}
