// Start-to-exit of a Hello application through the Linux launcher against the
// JDK's own launcher on the same JDK: alternating runs, medians and their
// ratio; and the launcher again with its trace written to a file. Before
// that, what a trace call costs here with TALA_TRACE unset, and how many
// calls a start makes.
//
//   tala_startup_bench TALA JDK_HOME HELLO_CLASSES [ROUNDS]
#include "bench/TimedRun.h"
#include "launcher/Trace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using tala::bench::Median;
using Run = tala::bench::Command;

double RunMilliseconds(const Run& run) { return tala::bench::TimedRun(run).wall; }

// Nanoseconds of one trace call of the search's kind, the trace being off.
double OffTraceCallNanoseconds()
{
    constexpr int kCalls = 10'000'000;
    const std::u16string path = u"/usr/lib/jvm/java-17-openjdk-amd64/lib/server/libjvm.so";
    tala::trace::Open(); // as the launcher does, with TALA_TRACE unset here
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
        std::fprintf(stderr, "usage: tala_startup_bench TALA JDK_HOME HELLO_CLASSES [ROUNDS]\n");
        return 2;
    }
    if (std::getenv("TALA_TRACE") != nullptr) {
        std::fprintf(stderr, "unset TALA_TRACE first\n");
        return 2;
    }
    const fs::path jdk = argv[2];
    const fs::path classes = fs::absolute(argv[3]);
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 30;

    const fs::path app = fs::temp_directory_path() / "tala-startup-bench";
    fs::remove_all(app);
    fs::create_directories(app);
    fs::copy_file(argv[1], app / "hello");
    std::ofstream(app / "hello.ini") << "[Java Runtime Environment]\nJRE Path=" << jdk.string()
                                     << "\nMain Class=demo.Hello\n[Class Path]\nClass Path="
                                     << classes.string() << "\n";
    const fs::path traceFile = app / "trace.log";

    const Run throughTala{{(app / "hello").string()}, {}};
    const Run throughJava{{(jdk / "bin" / "java").string(), "-cp", classes.string(), "demo.Hello"}, {}};
    const Run traced{{(app / "hello").string()}, {"TALA_TRACE=" + traceFile.string()}};
    const double offCall = OffTraceCallNanoseconds();
    RunMilliseconds(throughJava); // warm the file cache
    RunMilliseconds(traced);
    const std::size_t traceLines = LinesOf(traceFile);

    // Each round runs the three in another order.
    const std::vector<const Run*> runs{&throughTala, &throughJava, &traced};
    std::vector<std::vector<double>> samples(runs.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const std::size_t which = (i + static_cast<std::size_t>(round)) % runs.size();
            const double elapsed = RunMilliseconds(*runs[which]);
            if (elapsed < 0) {
                std::fprintf(stderr, "a run failed\n");
                return 1;
            }
            samples[which].push_back(elapsed);
        }
    }
    fs::remove_all(app);
    const double talaMedian = Median(samples[0]);
    const double javaMedian = Median(samples[1]);
    std::printf("Hello, start to exit, %d rounds\n", rounds);
    std::printf("  tala:  %.1f ms (median)\n", talaMedian);
    std::printf("  java:  %.1f ms (median)\n", javaMedian);
    std::printf("  ratio tala/java: %.3f\n", talaMedian / javaMedian);
    std::printf("  tala, TALA_TRACE=file: %.1f ms (median)\n", Median(samples[2]));
    std::printf("trace with TALA_TRACE unset: %.1f ns a call, %zu calls a start: %.2f us\n", offCall, traceLines,
                offCall * static_cast<double>(traceLines) / 1000.0);
    return 0;
}
