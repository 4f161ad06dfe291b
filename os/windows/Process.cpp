#include "os/Process.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <vector>

namespace tala::os {

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

} // namespace tala::os
