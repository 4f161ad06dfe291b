#include "os/Process.h"

#include "os/Utf8.h"
#include "os/posix/FileContent.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tala::os {
namespace {

// This process's argv exactly as it was given, bytes untouched.
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

} // namespace

std::int32_t StartWithOwnCommandLine(const std::u16string& program, bool wait)
{
    std::vector<std::string> arguments = OwnArguments();
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    const std::string path = ToUtf8(program);
    if (::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return 0;
    if (!wait) return 0;

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return 0;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 0;
}

} // namespace tala::os
