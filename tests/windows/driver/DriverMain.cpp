// tala-driver: runs a Windows program, reads and answers its dialogs, and
// reports what it saw.
//
//   tala-driver.exe [--timeout=MS] [--folder=PATH] [--click=ID]... -- COMMAND LINE
//
// Everything after "--" is the program's command line, passed on verbatim.
// --timeout  milliseconds before the program is killed (default 20000)
// --folder   the program's working folder (default: the driver's)
// --click    the button to click on the next dialog: the first --click
//            answers the first dialog, the second the second, and so on;
//            dialogs beyond them are left open
// The options themselves are split at blanks; double quotes group blanks.
//
// Standard output gets one record per line, UTF-8, fields split by one blank;
// texts are in double quotes with \" \\ \n \r \t and \uXXXX escapes:
//   dialog SEQ ICON "CAPTION"       a dialog became visible (SEQ counts from 1);
//                                   ICON is none, error, warning, information,
//                                   question or other
//   control SEQ ID CLASS "TEXT"     a visible control of that dialog; a message
//                                   box's text has id 65535
//   click SEQ ID                    the button the driver clicked on it
//   timeout                         the program outlived its time-out and was
//                                   killed with exit code 124
//   exit DECIMAL 0xHEX              the program's exit code, all 32 bits; last
//   failed ERROR                    the program could not be started (system
//                                   error code); the only record then
//
// The driver exits with the program's exit code, 124 after a time-out, 125
// when its own command line is wrong and 127 when the program did not start.
#include "tests/windows/driver/Driver.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kUsageExitCode = 125;
constexpr int kNotStartedExitCode = 127;

constexpr char kUsage[] =
    "usage: tala-driver.exe [--timeout=MS] [--folder=PATH] [--click=ID]... -- COMMAND LINE\n";

struct Options {
    tala::test::Target target;
    std::vector<int> clicks;
};

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// Splits the next word off the line at its position: blanks separate words,
// double quotes group blanks and are dropped.
std::wstring NextWord(const std::wstring& line, std::size_t& at)
{
    while (at < line.size() && IsBlank(line[at])) ++at;
    std::wstring word;
    bool quoted = false;
    for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
        if (line[at] == L'"') {
            quoted = !quoted;
        } else {
            word += line[at];
        }
    }
    return word;
}

bool ParseNumber(const std::wstring& text, long& value)
{
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    value = std::wcstol(text.c_str(), &end, 0);
    return end != nullptr && *end == L'\0';
}

bool ParseOptions(const std::wstring& line, Options& options)
{
    std::size_t at = 0;
    NextWord(line, at); // the driver itself
    for (;;) {
        const std::wstring word = NextWord(line, at);
        if (word.empty()) return false;
        if (word == L"--") break;
        long number = 0;
        if (word.rfind(L"--timeout=", 0) == 0 && ParseNumber(word.substr(10), number) &&
            number > 0) {
            options.target.timeout = std::chrono::milliseconds(number);
        } else if (word.rfind(L"--folder=", 0) == 0) {
            options.target.workingFolder = word.substr(9);
        } else if (word.rfind(L"--click=", 0) == 0 && ParseNumber(word.substr(8), number)) {
            options.clicks.push_back(static_cast<int>(number));
        } else {
            return false;
        }
    }
    while (at < line.size() && IsBlank(line[at])) ++at;
    options.target.commandLine = line.substr(at);
    return !options.target.commandLine.empty();
}

void Write(HANDLE output, const std::string& text)
{
    DWORD written = 0;
    ::WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace

int wmain()
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    Options options;
    if (!ParseOptions(::GetCommandLineW(), options)) {
        Write(::GetStdHandle(STD_ERROR_HANDLE), kUsage);
        return kUsageExitCode;
    }

    const std::vector<int>& clicks = options.clicks;
    const auto answer = [&clicks](const tala::test::Dialog& dialog) -> std::optional<int> {
        const auto index = static_cast<std::size_t>(dialog.sequence - 1);
        if (index < clicks.size()) return clicks[index];
        return std::nullopt;
    };
    const tala::test::Outcome outcome = tala::test::RunTarget(options.target, answer);
    for (const std::string& record : tala::test::FormatRecords(outcome)) {
        Write(output, record + "\n");
    }

    if (!outcome.started) return kNotStartedExitCode;
    // All 32 bits: the int is handed to ExitProcess unchanged.
    return static_cast<int>(outcome.exitCode);
}
