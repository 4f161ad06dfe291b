#include "tests/jvm/AppFolder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace tala::test {
namespace {

// Closes a descriptor as its scope ends.
class Descriptor {
public:
    explicit Descriptor(int opened) : fd(opened) {}
    ~Descriptor()
    {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    const int fd;
};

} // namespace

RunResult AppFolder::RunOnTerminal(const std::vector<std::string>& arguments, const std::string& input,
                                   bool errorsOnTerminal,
                                   std::chrono::seconds timeout) const
{
    // The controlling side of a new pseudo-terminal, read without blocking.
    const Descriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (master.fd < 0 || ::grantpt(master.fd) != 0 || ::unlockpt(master.fd) != 0) return {};
    Program launcher(Argv(arguments), Path(), ::ptsname(master.fd), errorsOnTerminal);
    if (::write(master.fd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) return {};
    std::string shown;
    const auto readShown = [&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master.fd, buffer, sizeof buffer)) > 0;) {
            shown.append(buffer, static_cast<std::size_t>(n));
        }
    };
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (!launcher.Wait(std::chrono::milliseconds(50)) && std::chrono::steady_clock::now() < giveUp) readShown();
    RunResult result = launcher.Finish(std::chrono::milliseconds(0));
    readShown();
    // The terminal ends its lines with a carriage return too.
    std::erase(shown, '\r');
    result.output = shown;
    return result;
}

} // namespace tala::test
