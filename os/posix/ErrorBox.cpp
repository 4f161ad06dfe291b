#include "os/ErrorBox.h"

#include "os/Utf8.h"

#include <cerrno>
#include <unistd.h>

namespace tala::os {

void ShowErrorMessage(WindowHandle, const std::u16string& text)
{
    // The same text as the Windows box; a line feed is added only where the
    // text has none at its end, so the next shell prompt starts on its own line.
    std::string bytes = ToUtf8(text);
    if (bytes.empty() || bytes.back() != '\n') bytes += '\n';
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(STDERR_FILENO, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        written += static_cast<std::size_t>(n);
    }
}

} // namespace tala::os
