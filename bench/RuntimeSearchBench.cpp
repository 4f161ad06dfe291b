// What the runtime search costs on a machine with 20 registered runtimes:
// the search alone, in this process, and the whole launcher from its start to
// the end of the search. No VM is started here: the launcher ends the search
// with a window (with no runtime the "JRE Not Found" dialog, with the 20 the
// box saying the found VM library, a text file, cannot be loaded), so the
// time taken is until its first window shows; the bench then closes it.
//
//   tala_runtime_search_bench.exe PATH_OF_TALA_EXE
//
// Registers the runtimes in HKEY_LOCAL_MACHINE for the run and removes them
// afterwards: run it in a test Wine prefix, not on a machine you care about.
#include "os/windows/UniqueHandle.h"
#include "runtime/FindRuntime.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRuntimes = 20;

void Register(const std::wstring& key, const std::wstring& home)
{
    HKEY created = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &created, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create HKLM\\%ls\n", key.c_str());
        std::exit(1);
    }
    const tala::os::UniqueRegistryKey owned(created);
    ::RegSetValueExW(created, L"JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                     static_cast<DWORD>((home.size() + 1) * sizeof(wchar_t)));
}

void RemoveRuntimeKeys()
{
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\JavaSoft\\JDK");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\JavaSoft\\JRE");
}

// Ten JDKs and ten JREs, 8 to 27, each with a server VM library.
void InstallRuntimes(const fs::path& root)
{
    for (int i = 0; i < kRuntimes; ++i) {
        const bool jdk = i % 2 == 0;
        const std::wstring version = std::to_wstring(8 + i) + L".0." + std::to_wstring(i);
        const fs::path home = root / ((jdk ? L"jdk-" : L"jre-") + version);
        fs::create_directories(home / "bin" / "server");
        std::ofstream(home / "bin" / "server" / "jvm.dll") << "stand-in";
        Register(std::wstring(L"Software\\JavaSoft\\") + (jdk ? L"JDK\\" : L"JRE\\") + version,
                 home.wstring());
    }
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double SearchMilliseconds()
{
    tala::LauncherSettings settings;
    settings.wantJdk = settings.wantJre = true;
    settings.maximumVersion =
        tala::VersionNumber::ParseBound(u"any", tala::VersionNumber::Bound::Maximum);
    const auto start = Clock::now();
    const auto choice = tala::SearchRuntime(settings, u"", tala::SystemRuntimeMachine());
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!choice) std::fprintf(stderr, "the search found nothing\n");
    return elapsed;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// The launcher's first visible top-level window; none once it has ended.
HWND WaitForFirstWindow(HANDLE process, DWORD processId)
{
    WindowSearch search{processId, nullptr};
    while (::WaitForSingleObject(process, 1) == WAIT_TIMEOUT) {
        ::EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
    }
    return nullptr;
}

double LauncherMilliseconds(const fs::path& launcher)
{
    std::wstring commandLine = L"\"" + launcher.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const auto start = Clock::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return 0;
    }
    const tala::os::UniqueHandle process(started.hProcess);
    const tala::os::UniqueHandle thread(started.hThread);
    const HWND window = WaitForFirstWindow(process.get(), started.dwProcessId);
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    // Closing is Cancel for the dialog and OK for a box: either ends the launcher.
    if (window != nullptr) ::PostMessageW(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.get(), INFINITE);
    return elapsed;
}

std::vector<double> Repeat(int times, double (*measure)(const fs::path&), const fs::path& launcher)
{
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) samples.push_back(measure(launcher));
    return samples;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tala_runtime_search_bench PATH_OF_TALA_EXE\n");
        return 2;
    }
    const fs::path root = fs::temp_directory_path() / "tala-search-bench";
    fs::remove_all(root);
    fs::create_directories(root / "app");
    const fs::path launcher = root / "app" / "Shop.exe";
    fs::copy_file(argv[1], launcher);
    std::ofstream(root / "app" / "Shop.ini")
        << "[Java Runtime Environment]\r\nMain Class=shop.Main\r\nMaximum Version=any\r\n";

    RemoveRuntimeKeys();
    LauncherMilliseconds(launcher); // warm the file cache and the wineserver
    const double emptyLauncher = Median(Repeat(20, LauncherMilliseconds, launcher));

    InstallRuntimes(root);
    std::vector<double> searches;
    for (int i = 0; i < 200; ++i) searches.push_back(SearchMilliseconds());
    const double fullLauncher = Median(Repeat(20, LauncherMilliseconds, launcher));
    RemoveRuntimeKeys();
    fs::remove_all(root);

    std::printf("registered runtimes:                        %d\n", kRuntimes);
    std::printf("search alone (median of 200):               %.2f ms (fastest %.2f ms)\n", Median(searches),
                *std::min_element(searches.begin(), searches.end()));
    std::printf("launcher start to its window, no runtimes:  %.1f ms (median of 20)\n", emptyLauncher);
    std::printf("launcher start to its window, 20 runtimes:  %.1f ms (median of 20)\n", fullLauncher);
    return 0;
}
