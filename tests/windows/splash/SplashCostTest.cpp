// What the splash adds to the time from the start of tala.exe to the VM's
// creation (the stand-in creates it at once and main follows), and to the
// launcher's end (main returns at once), measured, not asserted, and only
// when asked for: in a Wine session,
//   TALA_SPLASH_COST=1 wine tala_windows_splash_tests.exe --launcher=PATH --gtest_filter=SplashCost.*
// Each configuration is started in turn, round after round; the medians and
// minimums are printed.
#include "tests/windows/splash/SplashHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace tala::test::splash {
namespace {

using namespace std::chrono_literals;

constexpr int kRounds = 25;

struct Configuration {
    const char* name;
    std::u16string display;
    std::wstring arguments;
};


TEST(SplashCost, TimeFromStartToTheVm)
{
    if (::GetEnvironmentVariableW(L"TALA_SPLASH_COST", nullptr, 0) == 0) {
        GTEST_SKIP() << "a timing run: set TALA_SPLASH_COST=1";
    }
    const std::vector<Configuration> configurations{
        {"no splash configured", u"", L""},
        {"splash switched off (-nosplash)", u"Splash Screen=splash.bmp", L"-nosplash"},
        {"own window, 400x300 BMP", u"Splash Screen=splash.bmp", L""},
        {"own window, 1200x900 BMP", u"Splash Screen=big.bmp", L""},
        {"own window, unreadable image", u"Splash Screen=missing.bmp", L""},
    };
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    std::map<std::string, std::vector<double>> toVm;
    std::map<std::string, std::vector<double>> toEnd;
    const auto since = [&frequency](std::int64_t from, std::int64_t to) {
        return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
    };
    std::vector<std::unique_ptr<SplashShop>> shops;
    for (const Configuration& configuration : configurations) {
        shops.push_back(std::make_unique<SplashShop>());
        WritePicture(shops.back()->Folder() / "splash.bmp", 400, 300);
        WritePicture(shops.back()->Folder() / "big.bmp", 1200, 900);
        shops.back()->Write(configuration.display);
    }
    for (int round = 0; round <= kRounds; ++round) {
        for (std::size_t i = 0; i < configurations.size(); ++i) {
            const std::size_t arrivalsBefore = shops[i]->VmArrivals().size();
            Launch launch(*shops[i], configurations[i].arguments);
            ASSERT_EQ(launch.Wait(15s), DWORD{0});
            LARGE_INTEGER ended{};
            ::QueryPerformanceCounter(&ended);
            const std::vector<std::int64_t> arrivals = shops[i]->VmArrivals();
            ASSERT_EQ(arrivals.size(), arrivalsBefore + 1);
            // The first round warms the system's file cache and is not counted.
            if (round == 0) continue;
            toVm[configurations[i].name].push_back(since(launch.StartTicks(), arrivals.back()));
            toEnd[configurations[i].name].push_back(since(launch.StartTicks(), ended.QuadPart));
        }
    }
    std::printf("%d runs each; milliseconds from the start, median (minimum)\n", kRounds);
    std::printf("%-34s %-18s %-18s\n", "", "to the VM", "to the end");
    for (const Configuration& configuration : configurations) {
        std::vector<double>& vm = toVm[configuration.name];
        std::vector<double>& end = toEnd[configuration.name];
        std::sort(vm.begin(), vm.end());
        std::sort(end.begin(), end.end());
        std::printf("%-34s %6.1f (%6.1f)     %6.1f (%6.1f)\n", configuration.name, vm[vm.size() / 2], vm.front(),
                    end[end.size() / 2], end.front());
    }
}

} // namespace
} // namespace tala::test::splash
