// What tala.exe's own splash window adds under Wine: the time from the
// launcher's start to the VM's creation (the stand-in VM library notes when
// it is reached; main follows at once) and to the
// launcher's end (main returns at once), for no splash, the splash switched
// off, a 400x300 and a 1200x900 BMP and an unreadable image. Rounds
// interleaved, the first one not counted, medians and minimums printed.
// Built beside the windows test programs, whose VM libraries it copies;
// `make bench` runs it in a Wine session:
//
//   tala_splash_window_bench.exe --launcher=PATH [ROUNDS]
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/splash/SplashPicture.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <map>
#include <memory>

namespace {

using namespace std::chrono_literals;
using tala::test::LauncherProcess;
using tala::test::ShopFolder;

struct Configuration {
    const char* name;
    std::u16string display;
    std::wstring arguments;
};

struct Samples {
    std::vector<double> toVm;
    std::vector<double> toEnd;
};

std::int64_t Ticks()
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// When launchers reached JNI_CreateJavaVM, in performance counter ticks.
std::vector<std::int64_t> VmArrivals(const ShopFolder& shop)
{
    std::vector<std::int64_t> arrivals;
    for (const std::string& call : shop.Record().Values("call")) {
        if (call.rfind("JNI_CreateJavaVM ", 0) == 0) arrivals.push_back(std::stoll(call.substr(call.rfind(' ') + 1)));
    }
    return arrivals;
}

double Median(std::vector<double>& samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (tala::test::LauncherPath().empty()) {
        std::fprintf(stderr, "usage: tala_splash_window_bench.exe --launcher=PATH [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 25;
    const std::vector<Configuration> configurations{
        {"no splash configured", u"", L""},
        {"splash switched off (-nosplash)", u"Splash Screen=splash.bmp", L"-nosplash"},
        {"own window, 400x300 BMP", u"Splash Screen=splash.bmp", L""},
        {"own window, 1200x900 BMP", u"Splash Screen=big.bmp", L""},
        {"own window, unreadable image", u"Splash Screen=missing.bmp", L""},
    };
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    const auto milliseconds = [&frequency](std::int64_t from, std::int64_t to) {
        return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
    };

    std::vector<std::unique_ptr<ShopFolder>> shops;
    for (const Configuration& configuration : configurations) {
        shops.push_back(std::make_unique<ShopFolder>());
        tala::test::WritePicture(shops.back()->Folder() / "splash.bmp", 400, 300);
        tala::test::WritePicture(shops.back()->Folder() / "big.bmp", 1200, 900);
        shops.back()->Write(u"[Display]\r\n" + configuration.display);
    }
    std::vector<Samples> samples(configurations.size());
    for (int round = 0; round <= rounds; ++round) {
        for (std::size_t i = 0; i < configurations.size(); ++i) {
            const std::size_t arrivalsBefore = VmArrivals(*shops[i]).size();
            const std::wstring commandLine = shops[i]->CommandLine(configurations[i].arguments);
            const std::int64_t started = Ticks();
            const LauncherProcess launch(commandLine, shops[i]->Folder());
            const std::optional<std::uint32_t> exitCode = launch.WaitForExit(15s);
            const std::int64_t ended = Ticks();
            const std::vector<std::int64_t> arrivals = VmArrivals(*shops[i]);
            if (exitCode != 0u || arrivals.size() != arrivalsBefore + 1) {
                std::fprintf(stderr, "a run of \"%s\" failed\n", configurations[i].name);
                return 1;
            }
            // The first round warms the system's file cache and is not counted.
            if (round == 0) continue;
            samples[i].toVm.push_back(milliseconds(started, arrivals.back()));
            samples[i].toEnd.push_back(milliseconds(started, ended));
        }
    }
    std::printf("Own splash window under Wine, %d interleaved runs each, ms from the start, median (minimum)\n",
                rounds);
    std::printf("  %-34s %-18s %-18s\n", "", "to the VM", "to the end");
    for (std::size_t i = 0; i < configurations.size(); ++i) {
        const double toVm = Median(samples[i].toVm);
        const double toEnd = Median(samples[i].toEnd);
        std::printf("  %-34s %6.1f (%6.1f)     %6.1f (%6.1f)\n", configurations[i].name, toVm,
                    samples[i].toVm.front(), toEnd, samples[i].toEnd.front());
    }
    return 0;
}
