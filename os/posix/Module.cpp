#include "os/Module.h"

#include "os/Utf8.h"

#include <unistd.h>
#include <vector>

namespace tala::os {

bool GetModulePath(std::u16string& path)
{
    // /proc/self/exe names the file that was executed, with symbolic links
    // resolved: a launcher reached through a link in /usr/bin still finds the
    // settings beside the real file.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            path = FromUtf8(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace tala::os
