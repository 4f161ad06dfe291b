// An application folder as a product ships it (README.md).
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/StandInRecord.h"

#include <filesystem>
#include <future>
#include <string>

namespace tala::test {

inline constexpr wchar_t kNotALibrary[] = L"not a library";

class ShopFolder {
public:
    explicit ShopFolder(const wchar_t* standIn = kStandInVm);

    std::filesystem::path Folder() const { return folder_.Path(); }
    std::filesystem::path Home() const { return Folder() / "jre"; }
    std::filesystem::path VmLibrary() const { return VmLibraryOf(Home()); }
    std::wstring CommandLine(const std::wstring& arguments = L"") const;

    // Shop.ini: product Shop (code shop-1), main class shop.App, "JRE Path" naming
    // jre when there is one, then these lines of "Java Runtime Environment".
    void Write(const std::u16string& lines = u"") const;

    void Play(const std::string& scenario) const { Play(Home(), scenario); }
    StandInRecord Record() const { return RecordOf(Home()); }
    // Shop.exe run with these words, OK clicked on every dialog; Start on a thread of its own.
    Outcome Run(const std::wstring& arguments = L"", std::chrono::milliseconds timeout = 15s) const;
    std::future<Outcome> Start(const std::wstring& arguments, std::chrono::milliseconds timeout = 60s) const;
    // Whether the stand-in holds a thread at this "hold" point within 15 s; letting it go on.
    bool WaitHeld(const std::string& point) const;
    void Release(const std::string& point) const;

    // A 32-bit runtime jre32 and the pair program Shop32.exe; the settings lines naming both.
    std::u16string AddPairProduct(const std::u16string& pairReturnCode) const;
    std::wstring PairCommandLine() const; // once the pair has recorded it, 20 s at most

    // A runtime folder holding the stand-in as bin\<kind>\jvm.dll.
    std::filesystem::path AddRuntime(const std::wstring& name, const std::wstring& kind = L"server") const;
    static std::filesystem::path VmLibraryOf(const std::filesystem::path& runtime)
    {
        return runtime / "bin" / "server" / "jvm.dll";
    }
    // A server runtime's scenario: main-class shop/App, then these lines.
    static void Play(const std::filesystem::path& runtime, const std::string& scenario)
    {
        WriteBytes(runtime / "bin" / "server" / standin::kScenarioFileName, "main-class=shop/App\n" + scenario);
    }
    static StandInRecord RecordOf(const std::filesystem::path& runtime) { return StandInRecord(VmLibraryOf(runtime)); }

    // Where the launcher keeps the runtime the user picked, and its "JRE Path".
    std::filesystem::path UserSettingsFolder() const { return Folder() / "user" / "Shop"; }
    std::wstring RememberedJrePath() const;

private:
    TempFolder folder_;
    ScopedEnvironmentVariable userSettingsRoot_;
    bool hasRuntime_;
};

} // namespace tala::test
