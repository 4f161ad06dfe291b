// An application folder for the dialog tests, as a product ships it:
// tala.exe copied as Shop.exe, its settings in Shop.ini, no runtime the
// launcher can find by itself, and a per-user settings root (APPDATA) of its
// own. Runtime folders holding the stand-in VM library are added where a test
// wants one: to be picked in the folder picker, or named by "JRE Path".
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/StandInRecord.h"

#include <filesystem>
#include <string>

namespace tala::test {

struct ShopSettings {
    std::u16string minimumVersion = u"any";
    std::u16string maximumVersion = u"any";
    std::u16string jvmType;
    std::u16string jrePath; // empty: the launcher finds no runtime
    bool failureCheck = false;
};

// The settings with these version bounds and JVM type, and no runtime.
ShopSettings RequiringRuntime(std::u16string minimumVersion, std::u16string maximumVersion,
                              std::u16string jvmType = u"");

// The settings naming this runtime folder as "JRE Path", with "Failure Check" on.
ShopSettings CheckingFailuresOn(const std::filesystem::path& runtime);

class ShopFolder {
public:
    ShopFolder();

    std::filesystem::path Folder() const { return folder_.Path(); }
    std::filesystem::path Exe() const { return folder_.Path() / "Shop.exe"; }
    std::wstring CommandLine() const { return L"\"" + Exe().wstring() + L"\""; }

    void Write(const ShopSettings& settings) const;

    // A runtime folder beside the application holding the stand-in as
    // bin\<kind>\jvm.dll, playing an application whose main returns; its path.
    std::filesystem::path AddRuntime(const std::wstring& name, const std::wstring& kind = L"server") const;
    // The stand-in of a runtime folder of kind "server".
    static std::filesystem::path VmLibraryOf(const std::filesystem::path& runtime);
    static void Play(const std::filesystem::path& runtime, const std::string& scenario);

    // Where the launcher keeps the folder the user picked, and its value
    // there (empty when the file or the value is missing).
    std::filesystem::path UserSettingsFolder() const;
    std::filesystem::path UserSettingsFile() const;
    std::wstring RememberedJrePath() const;

private:
    TempFolder folder_;
    ScopedEnvironmentVariable userSettingsRoot_;
};

} // namespace tala::test
