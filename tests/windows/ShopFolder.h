// An application folder as a product ships it: tala.exe (given as
// --launcher=) copied as Shop.exe, lib\app.jar, a per-user settings root
// (APPDATA) of its own, and -- unless none is asked for -- a runtime folder
// jre whose VM library is a stand-in variant playing the application
// shop.App. More runtime folders are added where a test wants them.
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/StandInRecord.h"

#include <filesystem>
#include <future>
#include <string>

namespace tala::test {

using namespace std::chrono_literals;

// In place of a stand-in variant: a VM library file that is no library.
inline constexpr wchar_t kNotALibrary[] = L"not a library";

class ShopFolder {
public:
    explicit ShopFolder(const wchar_t* standIn = kStandInVm);

    std::filesystem::path Folder() const { return folder_.Path(); }
    std::filesystem::path Home() const { return Folder() / "jre"; }
    std::filesystem::path VmLibrary() const { return VmLibraryOf(Home()); }
    std::wstring CommandLine(const std::wstring& arguments = L"") const;

    // Shop.ini in UTF-16: product Shop (code shop-1), class path
    // \lib\*.jar;C:\shop\missing.jar, main class shop.App, "JRE Path"
    // naming jre when there is one, then these lines of the "Java Runtime
    // Environment" section, which may open further sections.
    void Write(const std::u16string& lines = u"") const;

    void Play(const std::string& scenario) const { Play(Home(), scenario); }
    StandInRecord Record() const { return RecordOf(Home()); }
    // Shop.exe started with these words behind its path, OK clicked on every dialog.
    Outcome Run(const std::wstring& arguments = L"", std::chrono::milliseconds timeout = 15s) const;
    // The same, run on a thread of its own.
    std::future<Outcome> Start(const std::wstring& arguments, std::chrono::milliseconds timeout = 60s) const;
    // Whether the stand-in holds a thread at this point of its scenario's
    // "hold" within 15 s; and the file that lets it go on.
    bool WaitHeld(const std::string& point) const;
    void Release(const std::string& point) const;

    // A 32-bit runtime jre32 (the 32-bit test DLL as its VM library) and the
    // pair program as Shop32.exe, which waits while a file "hold" lies beside
    // it; the settings lines that name both.
    std::u16string AddPairProduct(const std::u16string& pairReturnCode) const;
    // The command line the pair program recorded, once it has (20 s at most).
    std::wstring PairCommandLine() const;

    // A runtime folder holding the stand-in as bin\<kind>\jvm.dll; its path.
    std::filesystem::path AddRuntime(const std::wstring& name, const std::wstring& kind = L"server") const;
    static std::filesystem::path VmLibraryOf(const std::filesystem::path& runtime);
    // The scenario of a server runtime's stand-in: main-class shop/App, then these lines.
    static void Play(const std::filesystem::path& runtime, const std::string& scenario);
    static StandInRecord RecordOf(const std::filesystem::path& runtime);

    // Where the launcher keeps the runtime the user picked, and the "JRE
    // Path" there (empty when the file or the value is missing).
    std::filesystem::path UserSettingsFolder() const { return Folder() / "user" / "Shop"; }
    std::wstring RememberedJrePath() const;

private:
    TempFolder folder_;
    ScopedEnvironmentVariable userSettingsRoot_;
    bool hasRuntime_;
};

} // namespace tala::test
