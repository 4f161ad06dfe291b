#include "os/posix/Terminal.h"

#include <cerrno>
#include <unistd.h>

namespace tala::os {

bool HasTerminal() { return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1; }

void WriteToTerminal(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::optional<std::string> ReadTerminalLine()
{
    // Byte by byte: what follows the line stays for the next reader.
    std::string line;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (c == '\n') return line;
        if (c != '\r') line += c;
    }
}

} // namespace tala::os
