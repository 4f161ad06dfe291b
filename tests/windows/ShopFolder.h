// An application folder as a product ships it: tala.exe (given as
// --launcher=) copied as Shop.exe, lib\app.jar, its settings in Shop.ini, no
// runtime the launcher finds by itself, and a per-user settings root
// (APPDATA) of its own. Runtime folders holding the stand-in VM library are
// added where a test wants one.
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/StandInRecord.h"

#include <filesystem>
#include <string>

namespace tala::test {

class ShopFolder {
public:
    ShopFolder();

    std::filesystem::path Folder() const { return folder_.Path(); }
    std::wstring CommandLine(const std::wstring& arguments = L"") const;

    // Shop.ini: product Shop (code shop-1), main class shop.App, class path
    // \lib\app.jar, and these lines: more of the "Java Runtime Environment"
    // section, then whole sections.
    void Write(const std::u16string& lines) const;

    // A runtime folder holding the stand-in as bin\<kind>\jvm.dll, playing an
    // application whose main returns; its path.
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
};

} // namespace tala::test
