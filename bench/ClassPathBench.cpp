// The launcher's own work before the VM is created (settings, runtime search,
// runtime paths, VM options with the class path) for a wildcard folder of 10,
// 1,000 and 10,000 jars: it must grow linearly with the number of jars.
//
//   tala_class_path_bench [JRE_HOME]
#include "bench/TimedRun.h"
#include "launcher/Launcher.h"
#include "runtime/FindRuntime.h"
#include "settings/ReadSettings.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One start's work up to the VM library load and the VM creation.
double StartWorkMilliseconds(const fs::path& modulePath)
{
    const auto start = Clock::now();
    tala::Launcher launcher;
    const std::u16string module = modulePath.u16string();
    if (!tala::ReadSettingsFor(module, launcher.settings)) return -1;
    const auto choice = tala::SearchRuntime(launcher.settings, module, tala::SystemRuntimeMachine());
    if (!choice) return -1;
    launcher.vmLibraryPath = choice->vmLibraryPath;
    tala::ApplyRuntimePaths(launcher);
    if (!tala::BuildVmOptionsFor(launcher, module)) return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using tala::bench::Median;

} // namespace

int main(int argc, char** argv)
{
    const std::string jre = argc > 1 ? argv[1] : "/usr/lib/jvm/java-17-openjdk-amd64";
    std::printf("jars    start work (median of 9)   per jar\n");
    for (const int jars : {10, 1000, 10000}) {
        const fs::path app = fs::temp_directory_path() / ("tala-class-path-bench-" + std::to_string(jars));
        fs::remove_all(app);
        fs::create_directories(app / "lib");
        for (int i = 0; i < jars; ++i) {
            std::ofstream(app / "lib" / ("library-" + std::to_string(i) + ".jar")) << "";
        }
        std::ofstream(app / "shop.ini") << "[Java Runtime Environment]\nMain Class=shop.Main\nJRE Path="
                                        << jre << "\n[Class Path]\nClass Path=lib/*.jar\n";
        std::vector<double> samples;
        for (int run = 0; run < 9; ++run) samples.push_back(StartWorkMilliseconds(app / "shop"));
        fs::remove_all(app);
        const double median = Median(samples);
        if (median < 0) {
            std::fprintf(stderr, "the start failed for %d jars\n", jars);
            return 1;
        }
        std::printf("%5d   %10.2f ms                %6.2f us\n", jars, median, median * 1000 / jars);
    }
    return 0;
}
