// Later starts of a single-instance application on Linux: one first instance
// (probe.InstanceInt, whose main runs until a file "release" appears and
// whose secondaryMain answers with its first argument), then one later start
// alone, then STARTS later starts launched at once: the time until the one
// has its answer, and until all of the others have.
//
//   tala_second_starts_bench TALA JDK_HOME PROBE_CLASSES [STARTS]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kAnswer = 7;

pid_t Spawn(const fs::path& launcher, const std::string& argument)
{
    std::string program = launcher.string();
    std::string word = argument;
    char* argv[] = {program.data(), word.data(), nullptr};
    pid_t child = 0;
    return posix_spawn(&child, argv[0], nullptr, nullptr, argv, environ) == 0 ? child : -1;
}

// The exit code; -1 when the process did not end normally.
int Reap(pid_t child)
{
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool FirstInstanceRuns(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("main-started-", 0) == 0) return true;
    }
    return false;
}

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: tala_second_starts_bench TALA JDK_HOME PROBE_CLASSES [STARTS]\n");
        return 2;
    }
    const fs::path jdk = argv[2];
    const fs::path classes = fs::absolute(argv[3]);
    const int starts = argc > 4 ? std::atoi(argv[4]) : 50;
    const fs::path app = fs::temp_directory_path() / "tala-second-starts-bench";
    fs::remove_all(app);
    fs::create_directories(app);
    fs::copy_file(argv[1], app / "shop");
    std::ofstream(app / "shop.ini") << "[Java Runtime Environment]\nJRE Path=" << jdk.string()
                                    << "\nMain Class=probe.InstanceInt\n[Class Path]\nClass Path="
                                    << classes.string() << "\n[Application]\nSingle Instance=yes\n";
    // The probe keeps its files in the working folder.
    if (chdir(app.c_str()) != 0) return 1;

    const pid_t first = Spawn(app / "shop", "0");
    const auto giveUp = Clock::now() + 60s;
    while (!FirstInstanceRuns(app) && Clock::now() < giveUp) std::this_thread::sleep_for(10ms);
    if (!FirstInstanceRuns(app)) {
        std::fprintf(stderr, "the first instance did not start\n");
        return 1;
    }

    const auto aloneStarted = Clock::now();
    const int aloneCode = Reap(Spawn(app / "shop", std::to_string(kAnswer)));
    const double alone = Milliseconds(Clock::now() - aloneStarted);

    std::vector<pid_t> later;
    const auto togetherStarted = Clock::now();
    for (int i = 0; i < starts; ++i) later.push_back(Spawn(app / "shop", std::to_string(kAnswer)));
    int wrong = aloneCode == kAnswer ? 0 : 1;
    for (const pid_t child : later) {
        if (Reap(child) != kAnswer) ++wrong;
    }
    const double together = Milliseconds(Clock::now() - togetherStarted);
    std::ofstream(app / "release") << "";
    const int firstCode = Reap(first);
    fs::remove_all(app);

    std::printf("Later starts of a single-instance application on Linux\n");
    std::printf("  one later start alone:         %6.1f ms\n", alone);
    std::printf("  %d at once, all answered after %6.1f ms\n", starts, together);
    if (wrong > 0 || firstCode != 0) {
        std::fprintf(stderr, "%d later starts ended with another code than %d; the first instance with %d\n", wrong,
                     kAnswer, firstCode);
        return 1;
    }
    return 0;
}
