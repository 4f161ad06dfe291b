// Start-to-exit of a Hello application through the Linux launcher against the
// JDK's own launcher on the same JDK: paired runs, alternating which goes
// first, medians and their ratio.
//
//   tala_startup_bench TALA JDK_HOME HELLO_CLASSES [PAIRS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Wall time of one run, output discarded; negative when it failed.
double RunMilliseconds(const std::vector<std::string>& argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 0x1 /*O_WRONLY*/, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(child, &status, 0);
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: tala_startup_bench TALA JDK_HOME HELLO_CLASSES [PAIRS]\n");
        return 2;
    }
    const fs::path jdk = argv[2];
    const fs::path classes = fs::absolute(argv[3]);
    const int pairs = argc > 4 ? std::atoi(argv[4]) : 30;

    const fs::path app = fs::temp_directory_path() / "tala-startup-bench";
    fs::remove_all(app);
    fs::create_directories(app);
    fs::copy_file(argv[1], app / "hello");
    std::ofstream(app / "hello.ini") << "[Java Runtime Environment]\nJRE Path=" << jdk.string()
                                     << "\nMain Class=demo.Hello\n[Class Path]\nClass Path="
                                     << classes.string() << "\n";

    const std::vector<std::string> throughTala{(app / "hello").string()};
    const std::vector<std::string> throughJava{(jdk / "bin" / "java").string(), "-cp",
                                               classes.string(), "demo.Hello"};
    RunMilliseconds(throughTala); // warm the file cache
    RunMilliseconds(throughJava);

    std::vector<double> tala;
    std::vector<double> java;
    for (int i = 0; i < pairs; ++i) {
        const bool talaFirst = i % 2 == 0;
        const double first = RunMilliseconds(talaFirst ? throughTala : throughJava);
        const double second = RunMilliseconds(talaFirst ? throughJava : throughTala);
        if (first < 0 || second < 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        tala.push_back(talaFirst ? first : second);
        java.push_back(talaFirst ? second : first);
    }
    fs::remove_all(app);
    const double talaMedian = Median(tala);
    const double javaMedian = Median(java);
    std::printf("Hello, start to exit, %d alternating pairs\n", pairs);
    std::printf("  tala:  %.1f ms (median)\n", talaMedian);
    std::printf("  java:  %.1f ms (median)\n", javaMedian);
    std::printf("  ratio tala/java: %.3f\n", talaMedian / javaMedian);
    return 0;
}
