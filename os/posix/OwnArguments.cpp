#include "os/posix/OwnArguments.h"

#include "os/posix/FileContent.h"

namespace tala::os {

std::vector<std::string> OwnArguments()
{
    std::vector<std::string> arguments;
    std::string bytes;
    if (!ReadFileContent("/proc/self/cmdline", bytes)) return arguments;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find('\0', begin);
        if (end == std::string::npos) end = bytes.size();
        arguments.push_back(bytes.substr(begin, end - begin));
        begin = end + 1;
    }
    return arguments;
}

} // namespace tala::os
