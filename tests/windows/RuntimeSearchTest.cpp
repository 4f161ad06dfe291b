// The runtime search through the real registry in both views, set up with
// reg.exe the way installers leave it, and the architecture check on real
// image files.
#include "os/ImageArchitecture.h"
#include "os/windows/UniqueHandle.h"
#include "runtime/FindRuntime.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/ProgramsBeside.h"

#include <gtest/gtest.h>

#include <functional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// Runs reg.exe with the arguments and waits for it.
void Reg(const std::wstring& arguments)
{
    std::wstring commandLine = L"reg.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &started));
    const os::UniqueHandle process(started.hProcess);
    const os::UniqueHandle thread(started.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0) << "reg.exe hangs";
}

void ClearRuntimeKeys()
{
    for (const wchar_t* key : {L"HKLM\\Software\\JavaSoft", L"HKLM\\Software\\JRockit", L"HKLM\\Software\\IBM"}) {
        Reg(std::wstring(L"delete ") + key + L" /f");
        Reg(std::wstring(L"delete ") + key + L" /f /reg:32");
    }
}

// Installed runtimes: registry entries and folders holding files named like
// VM libraries.
class RegisteredRuntimes : public testing::Test {
protected:
    void SetUp() override { ClearRuntimeKeys(); }
    void TearDown() override { ClearRuntimeKeys(); }

    // A runtime folder with the given VM kinds; returns its home.
    std::wstring Folder(const std::wstring& name, std::initializer_list<const wchar_t*> vmKinds)
    {
        const fs::path home = folder.Path() / name;
        for (const wchar_t* kind : vmKinds) {
            fs::create_directories(home / "bin" / kind);
            WriteBytes(home / "bin" / kind / "jvm.dll", "not a real VM");
        }
        return home.wstring();
    }

    void Register(const std::wstring& key, const std::wstring& name, const std::wstring& home,
                  bool bits32 = false)
    {
        Reg(L"add \"HKLM\\Software\\" + key + L"\\" + name + L"\" /v JavaHome /d \"" + home +
            L"\" /f" + (bits32 ? L" /reg:32" : L""));
    }

    std::u16string Search(const std::function<void(LauncherSettings&)>& configure)
    {
        LauncherSettings settings;
        settings.wantJdk = settings.wantJre = true;
        settings.maximumVersion = VersionNumber::ParseBound(u"any", VersionNumber::Bound::Maximum);
        configure(settings);
        const auto choice = SearchRuntime(settings, u"", SystemRuntimeMachine());
        return choice ? choice->vmLibraryPath : u"";
    }

    static std::u16string Library(const std::wstring& home, const wchar_t* kind)
    {
        return (fs::path(home) / "bin" / kind / "jvm.dll").u16string();
    }

    TempFolder folder;
};

TEST_F(RegisteredRuntimes, DefaultViewFirstThe32BitViewForAPairProduct)
{
    const std::wstring jdk11 = Folder(L"jdk11", {L"server"});
    const std::wstring jre17 = Folder(L"jre17", {L"client"});
    const std::wstring jdk21x86 = Folder(L"jdk21-x86", {L"client"});
    Register(L"JavaSoft\\JDK", L"11.0.2", jdk11);
    Register(L"JavaSoft\\JRE", L"17.0.1", jre17);
    Register(L"JavaSoft\\JDK", L"21", jdk21x86, true);
    Register(L"JavaSoft\\JDK", L"no digits", Folder(L"nodigits", {L"server"}));
    Register(L"JavaSoft\\JDK", L"2147483648", Folder(L"overflow", {L"server"}));
    Register(L"JavaSoft\\JDK", L"18", L"");
    Register(L"JavaSoft\\JDK", L"19", (folder.Path() / L"absent").wstring());
    Register(L"JavaSoft\\JDK", std::wstring(255, L'1'), Folder(L"long", {L"server"}));

    const auto withPair = [](LauncherSettings& s) { s.pairProduct = u"C:\\Shop32.exe"; };
    const auto atLeast1 = [](LauncherSettings& s) { s.minimumVersion = VersionNumber(1, 0, 0, 0); };
    const auto server = [&](LauncherSettings& s) { atLeast1(s), s.jvmType = JvmType::Server; };
    EXPECT_EQ(Search(atLeast1), Library(jre17, L"client"));
    EXPECT_EQ(Search(server), Library(jdk11, L"server"));
    EXPECT_EQ(Search([&](LauncherSettings& s) { withPair(s), s.minimumVersion = VersionNumber(20, 0, 0, 0); }),
              Library(jdk21x86, L"client"));
    EXPECT_EQ(Search([](LauncherSettings& s) { s.minimumVersion = VersionNumber(20, 0, 0, 0); }), u"");
}

TEST_F(RegisteredRuntimes, ADevelopmentKitKeyNamesItsInnerRuntime)
{
    const std::wstring jdk6 = Folder(L"jdk6", {});
    Folder(L"jdk6\\jre", {L"client"});
    Register(L"JavaSoft\\Java Development Kit", L"1.6.0_45", jdk6);
    EXPECT_EQ(Search([](LauncherSettings&) {}), Library(jdk6 + L"\\jre", L"client"));
}

TEST(ImageArchitecture, OnlyAComplete32BitImageCounts)
{
    TempFolder folder;
    const std::string x86 = ReadBytes(BesideThisProgram(L"tiny32.dll"));
    ASSERT_GT(x86.size(), 512u);
    struct Case {
        const char* file;
        std::string bytes;
        bool x86;
    };
    const Case cases[] = {
        {"x86.dll", x86, true},
        {"x64.exe", ReadBytes(BesideThisProgram(L"tala-test-pair.exe")), false},
        {"empty.dll", "", false},
        {"cut-in-dos-header.dll", x86.substr(0, 40), false},
        {"cut-in-headers.dll", x86.substr(0, 150), false},
        {"text.dll", "JAVA_VERSION=\"17\"\r\n", false},
    };
    for (const Case& c : cases) {
        WriteBytes(folder.Path() / c.file, c.bytes);
        EXPECT_EQ(os::IsX86Image(folder.Child(c.file)), c.x86) << c.file;
    }
    EXPECT_FALSE(os::IsX86Image(folder.Child("missing.dll")));

    // Held open without sharing by another program, as an installer might.
    const os::UniqueHandle locked(os::ValidOrNull(::CreateFileW(
        (folder.Path() / "x86.dll").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    ASSERT_NE(locked.get(), nullptr);
    EXPECT_FALSE(os::IsX86Image(folder.Child("x86.dll")));
}

} // namespace
} // namespace tala::test
