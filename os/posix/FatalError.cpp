#include "os/FatalError.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tala::os {
namespace {

void WriteToStandardError(const char* bytes, std::size_t size) noexcept
{
    while (size > 0) {
        const ssize_t n = ::write(STDERR_FILENO, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

void EndWithFatalError(const char* text) noexcept
{
    WriteToStandardError(text, std::strlen(text));
    WriteToStandardError("\n", 1);
    ::_exit(-1);
}

} // namespace tala::os
