#include "os/Process.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <algorithm>
#include <vector>

namespace tala::os {
namespace {

// The narrow argument as the wide text it stands for in the thread's code page.
std::u16string WideFromAnsi(const std::string& narrow)
{
    if (narrow.empty()) return {};
    const int length = static_cast<int>(narrow.size());
    const int size = ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), length, wide.data(), size);
    return FromWide(wide.data(), wide.size());
}

// One argument of a command line, quoted so that the C runtime's splitting
// gives it back unchanged: backslashes count only before a double quote.
void AppendQuoted(std::u16string& commandLine, std::u16string_view argument)
{
    if (!commandLine.empty()) commandLine += u' ';
    if (!argument.empty() && argument.find_first_of(u" \t\"") == std::u16string_view::npos) {
        commandLine += argument;
        return;
    }
    commandLine += u'"';
    std::size_t backslashes = 0;
    for (const char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        commandLine.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
        backslashes = 0;
        commandLine += c;
    }
    commandLine.append(backslashes * 2, u'\\');
    commandLine += u'"';
}

// This process's environment block less the named variables (names are
// caseless on Windows).
std::vector<wchar_t> EnvironmentWithout(const std::vector<std::u16string>& names)
{
    std::vector<wchar_t> block;
    wchar_t* const strings = ::GetEnvironmentStringsW();
    if (strings == nullptr) return block;
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += ::wcslen(entry) + 1) {
        const std::size_t length = ::wcslen(entry);
        const bool left = std::any_of(names.begin(), names.end(), [&](const std::u16string& name) {
            return length > name.size() && entry[name.size()] == L'=' &&
                   ::CompareStringOrdinal(entry, static_cast<int>(name.size()), Wide(name),
                                          static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
        });
        if (!left) block.insert(block.end(), entry, entry + length + 1);
    }
    ::FreeEnvironmentStringsW(strings);
    block.push_back(L'\0');
    return block;
}

} // namespace

std::int32_t StartWithOwnCommandLine(const std::u16string& program, bool wait)
{
    // CreateProcessW may write into the command line: hand it a copy.
    const wchar_t* own = ::GetCommandLineW();
    std::vector<wchar_t> commandLine(own, own + ::wcslen(own) + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const BOOL created = ::CreateProcessW(Wide(program), commandLine.data(), nullptr, nullptr,
                                          FALSE, 0, nullptr, nullptr, &startup, &started);
    const UniqueHandle process(created ? started.hProcess : nullptr);
    const UniqueHandle thread(created ? started.hThread : nullptr);
    if (!wait) return 0;

    DWORD exitCode = 0;
    if (process != nullptr) {
        ::WaitForSingleObject(process.get(), INFINITE);
        ::GetExitCodeProcess(process.get(), &exitCode);
    }
    return static_cast<std::int32_t>(exitCode);
}

std::int32_t RunQuietly(const std::u16string& program, const std::vector<std::string>& arguments,
                        const std::vector<std::u16string>& withoutVariables)
{
    std::u16string commandLine;
    AppendQuoted(commandLine, program);
    for (const std::string& argument : arguments) AppendQuoted(commandLine, WideFromAnsi(argument));
    std::vector<wchar_t> writable(Wide(commandLine), Wide(commandLine) + commandLine.size() + 1);
    std::vector<wchar_t> environment = EnvironmentWithout(withoutVariables);

    // A console program started without a window gets a console of its own
    // that nobody sees: its output goes nowhere.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(Wide(program), writable.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                          environment.size() > 1 ? environment.data() : nullptr, nullptr, &startup, &started)) {
        return -1;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    DWORD exitCode = 0;
    ::WaitForSingleObject(process.get(), INFINITE);
    if (!::GetExitCodeProcess(process.get(), &exitCode)) return -1;
    return static_cast<std::int32_t>(exitCode);
}

} // namespace tala::os
