#include "tests/jvm/AppFolder.h"

#include "os/posix/FileDescriptor.h"

#include <fcntl.h>
#include <stdlib.h>

namespace tala::test {
RunResult AppFolder::RunOnTerminal(const std::vector<std::string>& arguments, const std::string& input,
                                   bool errorsOnTerminal) const
{
    // The controlling side of a new pseudo-terminal, read without blocking.
    const os::FileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (master.Get() < 0 || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0) return {};
    Program launcher(Argv(arguments), Path(), ::ptsname(master.Get()), errorsOnTerminal);
    if (::write(master.Get(), input.data(), input.size()) != static_cast<ssize_t>(input.size())) return {};
    std::string shown;
    const auto readShown = [&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master.Get(), buffer, sizeof buffer)) > 0;) {
            shown.append(buffer, static_cast<std::size_t>(n));
        }
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!launcher.Wait(std::chrono::milliseconds(50)) && std::chrono::steady_clock::now() < giveUp) readShown();
    RunResult result = launcher.Finish(std::chrono::milliseconds(0));
    readShown();
    // The terminal ends its lines with a carriage return too.
    std::erase(shown, '\r');
    result.output = shown;
    return result;
}

} // namespace tala::test
