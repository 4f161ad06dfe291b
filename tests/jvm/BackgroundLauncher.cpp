#include "tests/jvm/SpawnActions.h"
#include "tests/jvm/BackgroundLauncher.h"

#include "tests/shared/TestFiles.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace tala::test {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(10);

} // namespace

BackgroundLauncher::BackgroundLauncher(const std::filesystem::path& program,
                                       const std::vector<std::string>& arguments,
                                       const std::filesystem::path& workingFolder, const std::string& name)
    : errors_(workingFolder / (name + ".err"))
{
    const std::string output = (workingFolder / (name + ".out")).string();
    const std::string errors = errors_.string();
    SpawnActions actions;
    constexpr int kCreate = O_WRONLY | O_CREAT | O_TRUNC;
    ::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(actions.Get(), STDOUT_FILENO, output.c_str(), kCreate, 0644);
    ::posix_spawn_file_actions_addopen(actions.Get(), STDERR_FILENO, errors.c_str(), kCreate, 0644);
    ::posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str());

    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], actions.Get(), nullptr, argv.data(), environ) != 0) pid_ = -1;
}

BackgroundLauncher::~BackgroundLauncher() { Kill(); }

std::optional<int> BackgroundLauncher::Wait(std::chrono::milliseconds timeout)
{
    if (exitCode_ || pid_ <= 0) return exitCode_;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            exitCode_ = ExitCodeOf(status);
            return exitCode_;
        }
        if (ended < 0 && errno != EINTR) return std::nullopt;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(kPoll);
    }
}

void BackgroundLauncher::Kill()
{
    if (exitCode_ || pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    Wait(std::chrono::seconds(30));
}

std::string BackgroundLauncher::Errors() const
{
    return std::filesystem::exists(errors_) ? ReadBytes(errors_) : std::string();
}

bool WaitForFile(const std::filesystem::path& path, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

} // namespace tala::test
