#include "tests/jvm/SpawnActions.h"
#include "tests/jvm/AppFolder.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tala::test {
namespace {

class Pipe {
public:
    Pipe() { ok_ = ::pipe2(ends_.data(), O_CLOEXEC) == 0; }
    ~Pipe() { CloseRead(); CloseWrite(); }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool Ok() const { return ok_; }
    int Read() const { return ends_[0]; }
    int Write() const { return ends_[1]; }
    void CloseRead() { Close(ends_[0]); }
    void CloseWrite() { Close(ends_[1]); }

private:
    static void Close(int& fd)
    {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    std::array<int, 2> ends_{-1, -1};
    bool ok_ = false;
};

// Reads what the pipes hold until the child has ended (or the deadline
// passes). The child's own children may inherit the pipes and keep them open
// long after it ended, so its end, not the pipes' end, finishes the run.
bool Collect(Pipe& out, Pipe& err, pid_t child, RunResult& result, int& status,
             std::chrono::steady_clock::time_point deadline)
{
    std::array<pollfd, 2> fds{{{out.Read(), POLLIN, 0}, {err.Read(), POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&result.output, &result.errors};
    bool ended = false;
    for (;;) {
        const bool late = std::chrono::steady_clock::now() >= deadline;
        const int ready = ::poll(fds.data(), fds.size(), ended ? 0 : 50);
        if (ready < 0 && errno != EINTR) return false;
        for (std::size_t i = 0; ready > 0 && i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
            }
        }
        if (ended && ready <= 0) return true; // drained what the child left
        if (!ended) ended = ::waitpid(child, &status, WNOHANG) == child;
        if (!ended && late) return false;
    }
}

} // namespace

RunResult RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder,
                     std::chrono::seconds timeout)
{
    RunResult result;
    Pipe out;
    Pipe err;
    if (!out.Ok() || !err.Ok() || argv.empty()) return result;

    SpawnActions actions;
    ::posix_spawn_file_actions_adddup2(actions.Get(), out.Write(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(actions.Get(), err.Write(), STDERR_FILENO);
    ::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str());

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t child = 0;
    if (::posix_spawn(&child, args[0], actions.Get(), nullptr, args.data(), environ) != 0) {
        return result;
    }
    out.CloseWrite();
    err.CloseWrite();

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    if (!Collect(out, err, child, result, status, deadline)) {
        result.timedOut = true;
        ::kill(child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }
    result.exitCode = ExitCodeOf(status);
    return result;
}

AppFolder::AppFolder(const std::string& productName) : productName_(productName)
{
    std::filesystem::copy_file(TALA_LAUNCHER_PATH, Launcher());
}

void AppFolder::WriteSettings(const std::string& bytes) const
{
    WriteBytes(Path() / (productName_ + ".ini"), bytes);
}

bool AppFolder::CompileJava(const std::vector<std::string>& sourceFiles, std::string& errors) const
{
    std::vector<std::string> argv{TALA_JAVAC_PATH, "-encoding", "UTF-8", "-d",
                                  (Path() / "classes").string()};
    for (const std::string& file : sourceFiles) {
        argv.push_back((std::filesystem::path(TALA_JAVA_SOURCES) / file).string());
    }
    const RunResult result = RunProgram(argv, Path(), std::chrono::seconds(120));
    errors = result.output + result.errors;
    return !result.timedOut && result.exitCode == 0;
}

RunResult AppFolder::Run(const std::vector<std::string>& arguments, std::chrono::seconds timeout) const
{
    std::vector<std::string> argv{Launcher().string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(argv, Path(), timeout);
}

RunResult AppFolder::RunOnTerminal(const std::vector<std::string>& arguments,
                                   const std::string& input, std::chrono::seconds timeout) const
{
    RunResult result;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
    const std::string terminal = ::ptsname(master);

    std::vector<std::string> argv{Launcher().string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (std::string& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        // A session of its own with the terminal as its controlling one.
        ::setsid();
        const int slave = ::open(terminal.c_str(), O_RDWR);
        ::ioctl(slave, TIOCSCTTY, 0);
        ::dup2(slave, STDIN_FILENO);
        ::dup2(slave, STDOUT_FILENO);
        ::dup2(slave, STDERR_FILENO);
        if (::chdir(Path().c_str()) != 0) ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (!input.empty() && ::write(master, input.data(), input.size()) < 0) result.errors = "no input";

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{master, POLLIN, 0};
        if (::poll(&fd, 1, 50) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
        }
        ended = ::waitpid(child, &status, WNOHANG) == child;
    }
    if (!ended) {
        result.timedOut = true;
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    for (pollfd fd{master, POLLIN, 0}; ::poll(&fd, 1, 0) > 0;) {
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(master);
    // The terminal ends its lines with a carriage return too.
    std::erase(result.output, '\r');
    result.exitCode = ExitCodeOf(status);
    return result;
}

} // namespace tala::test
