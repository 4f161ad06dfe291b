#include "os/RuntimeRelease.h"

namespace tala::os {

std::optional<std::string> ReleaseValue(std::string_view releaseText, std::string_view key)
{
    std::size_t begin = 0;
    while (begin < releaseText.size()) {
        std::size_t end = releaseText.find('\n', begin);
        if (end == std::string_view::npos) end = releaseText.size();
        std::string_view line = releaseText.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
            std::string_view value = line.substr(key.size() + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
        begin = end + 1;
    }
    return std::nullopt;
}

} // namespace tala::os
