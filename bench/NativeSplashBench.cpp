// What the runtime's splash library adds to the time from the Linux
// launcher's start to main: an application that prints System.nanoTime() as
// main starts (probe.Splash), launched with no splash, with the splash
// switched off, and with a 400x300 and a 1200x900 PNG; rounds interleaved,
// the first one not counted, medians and minimums printed. Needs a display:
// `make bench` runs it under xvfb-run.
//
//   tala_native_splash_bench TALA JDK_HOME PROBE_CLASSES [ROUNDS]
#include "bench/PngPicture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Configuration {
    const char* name;
    std::string display; // lines of the "Display" section
    std::vector<std::string> arguments;
};

// Four quarters in colours of their own, so the decoder has real work.
std::uint32_t Quarters(int x, int y, int width, int height)
{
    static constexpr std::uint32_t kColours[] = {0xE01020, 0x10C030, 0x2030D0, 0xF0E040};
    return kColours[(x < width / 2 ? 0 : 1) + (y < height / 2 ? 0 : 2)];
}

// Runs the launcher with its standard output in a file and gives the
// milliseconds from the start to the "main-time=" main printed; negative
// when the run failed.
double MillisecondsToMain(const fs::path& launcher, const std::vector<std::string>& arguments,
                          const fs::path& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> words{launcher.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto started = Clock::now().time_since_epoch();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    std::ifstream printed(output);
    std::string line;
    while (std::getline(printed, line)) {
        if (line.rfind("main-time=", 0) != 0) continue;
        // System.nanoTime reads the same monotonic clock as steady_clock here.
        const auto mainAt = std::chrono::nanoseconds(std::stoll(line.substr(10)));
        return std::chrono::duration<double, std::milli>(mainAt - started).count();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: tala_native_splash_bench TALA JDK_HOME PROBE_CLASSES [ROUNDS]\n");
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "no DISPLAY: run it under xvfb-run\n");
        return 2;
    }
    const fs::path jdk = argv[2];
    const fs::path classes = fs::absolute(argv[3]);
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 25;

    const std::vector<Configuration> configurations{
        {"no splash configured", "", {}},
        {"splash switched off (-nosplash)", "Splash Screen=splash.png\nPreffer Native Splash Screen=Yes",
         {"-nosplash"}},
        {"runtime's splash, 400x300 PNG", "Splash Screen=splash.png\nPreffer Native Splash Screen=Yes", {}},
        {"runtime's splash, 1200x900 PNG", "Splash Screen=big.png\nPreffer Native Splash Screen=Yes", {}},
    };
    const fs::path root = fs::temp_directory_path() / "tala-native-splash-bench";
    fs::remove_all(root);
    std::vector<fs::path> launchers;
    for (std::size_t i = 0; i < configurations.size(); ++i) {
        const fs::path app = root / std::to_string(i);
        fs::create_directories(app);
        fs::copy_file(argv[1], app / "shop");
        tala::test::WritePng(app / "splash.png", 400, 300, [](int x, int y) { return Quarters(x, y, 400, 300); });
        tala::test::WritePng(app / "big.png", 1200, 900, [](int x, int y) { return Quarters(x, y, 1200, 900); });
        std::ofstream(app / "shop.ini") << "[Java Runtime Environment]\nJRE Path=" << jdk.string()
                                        << "\nMain Class=probe.Splash\n[Class Path]\nClass Path=" << classes.string()
                                        << "\n[Display]\n" << configurations[i].display << "\n";
        launchers.push_back(app / "shop");
    }

    std::vector<std::vector<double>> milliseconds(configurations.size());
    for (int round = 0; round <= rounds; ++round) {
        for (std::size_t i = 0; i < configurations.size(); ++i) {
            const double toMain =
                MillisecondsToMain(launchers[i], configurations[i].arguments, root / "output.txt");
            if (toMain < 0) {
                std::fprintf(stderr, "a run of \"%s\" failed\n", configurations[i].name);
                return 1;
            }
            // The first round warms the file cache and is not counted.
            if (round > 0) milliseconds[i].push_back(toMain);
        }
    }
    fs::remove_all(root);
    std::printf("Runtime's splash on Linux, start to main, %d interleaved runs each, median (minimum)\n", rounds);
    for (std::size_t i = 0; i < configurations.size(); ++i) {
        std::sort(milliseconds[i].begin(), milliseconds[i].end());
        std::printf("  %-34s %6.1f ms (%6.1f)\n", configurations[i].name, milliseconds[i][milliseconds[i].size() / 2],
                    milliseconds[i].front());
    }
    return 0;
}
