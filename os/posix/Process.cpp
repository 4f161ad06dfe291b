#include "os/Process.h"

#include "os/Utf8.h"
#include "os/posix/OwnArguments.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tala::os {
namespace {

// Owns the set-up records of one posix_spawn call.
class SpawnSetup {
public:
    SpawnSetup()
    {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

std::int32_t WaitForExitCode(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

std::int32_t RunQuietly(const std::u16string& program, const std::vector<std::string>& arguments,
                        const std::vector<std::u16string>& withoutVariables)
{
    std::vector<char*> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        const bool left = std::any_of(withoutVariables.begin(), withoutVariables.end(), [&](const std::u16string& name) {
            const std::string prefix = ToUtf8(name) + "=";
            return entry.starts_with(prefix);
        });
        if (!left) environment.push_back(*variable);
    }
    environment.push_back(nullptr);

    const std::string path = ToUtf8(program);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    SpawnSetup setup;
    for (const int stream : {0, 1, 2}) {
        ::posix_spawn_file_actions_addopen(&setup.actions, stream, "/dev/null", stream == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    // The caller may be a thread of the VM, which blocks and catches signals
    // of its own: the program starts with none blocked and the default actions.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    ::posix_spawnattr_setsigmask(&setup.attributes, &none);
    ::posix_spawnattr_setsigdefault(&setup.attributes, &all);
    ::posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t child = 0;
    if (::posix_spawn(&child, path.c_str(), &setup.actions, &setup.attributes, argv.data(), environment.data()) != 0) {
        return -1;
    }
    return WaitForExitCode(child);
}

} // namespace tala::os
