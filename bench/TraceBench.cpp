// What the trace costs: a call with TALA_TRACE unset (in this process, where
// it is unset), how many calls a start makes, and a Hello start to exit
// through the Linux launcher with the trace off and on, in alternating pairs.
//
//   tala_trace_bench TALA JDK_HOME HELLO_CLASSES [PAIRS]
#include "launcher/Trace.h"
#include "os/Environment.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
double RunMilliseconds(const std::string& program)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 0x1 /*O_WRONLY*/, 0);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
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

// Nanoseconds of one call with the trace off, of the kind the search makes.
double OffCallNanoseconds()
{
    constexpr int kCalls = 10'000'000;
    const std::u16string path = u"/usr/lib/jvm/java-17-openjdk-amd64/lib/server/libjvm.so";
    const auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i) tala::trace::Note("runtime", u"chosen", path, "option", i);
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kCalls;
}

std::size_t LinesOf(const fs::path& file)
{
    std::ifstream in(file);
    return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: tala_trace_bench TALA JDK_HOME HELLO_CLASSES [PAIRS]\n");
        return 2;
    }
    if (std::getenv("TALA_TRACE") != nullptr) {
        std::fprintf(stderr, "unset TALA_TRACE first\n");
        return 2;
    }
    const fs::path classes = fs::absolute(argv[3]);
    const int pairs = argc > 4 ? std::atoi(argv[4]) : 30;
    const fs::path app = fs::temp_directory_path() / "tala-trace-bench";
    fs::remove_all(app);
    fs::create_directories(app);
    fs::copy_file(argv[1], app / "hello");
    std::ofstream(app / "hello.ini") << "[Java Runtime Environment]\nJRE Path=" << argv[2]
                                     << "\nMain Class=demo.Hello\n[Class Path]\nClass Path="
                                     << classes.string() << "\n";
    const std::string hello = (app / "hello").string();
    const fs::path traceFile = app / "trace.log";

    const double offCall = OffCallNanoseconds();
    setenv("TALA_TRACE", traceFile.c_str(), 1);
    RunMilliseconds(hello);
    const std::size_t lines = LinesOf(traceFile);

    std::vector<double> off;
    std::vector<double> on;
    for (int i = 0; i < pairs; ++i) {
        for (const bool traced : {i % 2 == 0, i % 2 != 0}) {
            if (traced) {
                setenv("TALA_TRACE", traceFile.c_str(), 1);
            } else {
                unsetenv("TALA_TRACE");
            }
            const double elapsed = RunMilliseconds(hello);
            if (elapsed < 0) {
                std::fprintf(stderr, "a run failed\n");
                return 1;
            }
            (traced ? on : off).push_back(elapsed);
        }
    }
    fs::remove_all(app);
    std::printf("trace calls of one Hello start (lines written): %zu\n", lines);
    std::printf("one call with TALA_TRACE unset: %.2f ns, so %.2f us a start\n", offCall,
                offCall * static_cast<double>(lines) / 1000.0);
    std::printf("Hello, start to exit, %d alternating pairs\n", pairs);
    std::printf("  TALA_TRACE unset:    %.1f ms (median)\n", Median(off));
    std::printf("  TALA_TRACE=file:     %.1f ms (median)\n", Median(on));
    return 0;
}
