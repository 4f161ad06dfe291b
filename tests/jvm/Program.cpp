#include "tests/jvm/Program.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace tala::test {

Program::Program(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder,
                 const std::string& terminal, bool errorsOnTerminal)
{
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    const std::unique_ptr<posix_spawn_file_actions_t, int (*)(posix_spawn_file_actions_t*)> actionsOwner(
        &actions, ::posix_spawn_file_actions_destroy);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    const std::unique_ptr<posix_spawnattr_t, int (*)(posix_spawnattr_t*)> attributesOwner(&attributes,
                                                                                          ::posix_spawnattr_destroy);
    const bool onTerminal = !terminal.empty();
    const std::string streams[] = {onTerminal ? terminal : "/dev/null",
                                   onTerminal ? terminal : (streams_.Path() / "out").string(),
                                   onTerminal && errorsOnTerminal ? terminal : (streams_.Path() / "err").string()};
    for (int fd = 0; fd < 3; ++fd) {
        ::posix_spawn_file_actions_addopen(&actions, fd, streams[fd].c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    }
    ::posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    // In a session of its own, the first terminal it opens becomes its controlling one.
    if (onTerminal) ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    if (argv.empty() || ::posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), environ) != 0) pid_ = -1;
}

std::optional<int> Program::Wait(std::chrono::milliseconds timeout)
{
    const auto ended = [this] {
        int status = 0;
        const pid_t child = ::waitpid(pid_, &status, WNOHANG);
        if (child == pid_) exitCode_ = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        return exitCode_ || (child < 0 && errno != EINTR);
    };
    if (pid_ > 0 && !exitCode_) WaitUntil(ended, timeout);
    return exitCode_;
}

void Program::Kill(int signal)
{
    if (pid_ <= 0 || exitCode_) return;
    ::kill(pid_, signal);
    if (!Wait(std::chrono::seconds(10))) {
        ::kill(pid_, SIGKILL);
        Wait(std::chrono::seconds(30));
    }
}

RunResult Program::Finish(std::chrono::milliseconds timeout)
{
    const bool timedOut = !Wait(timeout);
    Kill();
    return {exitCode_.value_or(-1), timedOut, Output(), Errors()};
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace tala::test
