// The runtime search through the real registry's views as installers leave them; real images' architecture.
#include "os/ImageArchitecture.h"
#include "os/windows/UniqueHandle.h"
#include "runtime/FindRuntime.h"
#include "tests/windows/ShopFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

void Reg(const std::wstring& arguments)
{
    ASSERT_TRUE(LauncherProcess(L"reg.exe " + arguments, {}).WaitForExit(30s)) << "reg.exe hangs";
}

void ClearRuntimeKeys()
{
    for (const wchar_t* root : {L"HKLM", L"HKCU"}) {
        for (const wchar_t* key : {L"JavaSoft", L"JRockit", L"IBM", L"Eclipse Adoptium", L"AdoptOpenJDK",
                                   L"Microsoft\\JDK", L"Azul Systems", L"BellSoft", L"Amazon"}) {
            const std::wstring path = std::wstring(root) + L"\\Software\\" + key;
            Reg(L"delete \"" + path + L"\" /f");
            Reg(L"delete \"" + path + L"\" /f /reg:32");
        }
    }
}

class RegisteredRuntimes : public testing::Test {
protected:
    void SetUp() override { ClearRuntimeKeys(); }
    void TearDown() override { ClearRuntimeKeys(); }

    // A runtime home with files named like VM libraries of these kinds.
    std::wstring Folder(const std::wstring& name, std::initializer_list<const wchar_t*> vmKinds)
    {
        const fs::path home = folder.Path() / name;
        for (const wchar_t* kind : vmKinds) {
            fs::create_directories(home / "bin" / kind);
            WriteBytes(home / "bin" / kind / "jvm.dll", "not a real VM");
        }
        return home.wstring();
    }

    void Register(const std::wstring& key, const std::wstring& name, const std::wstring& home, bool bits32 = false)
    {
        RegisterValue(L"HKLM\\Software\\" + key + L"\\" + name, L"JavaHome", home, bits32);
    }

    static void RegisterValue(const std::wstring& key, const std::wstring& value, const fs::path& data,
                              bool bits32 = false)
    {
        Reg(L"add \"" + key + L"\" /v " + value + L" /d \"" + data.wstring() + L"\" /f" + (bits32 ? L" /reg:32" : L""));
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
    const std::wstring jdk6 = Folder(L"jdk6", {});
    Folder(L"jdk6\\jre", {L"client"});
    Register(L"JavaSoft\\JDK", L"11.0.2", jdk11);
    Register(L"JavaSoft\\JRE", L"17.0.1", jre17);
    Register(L"JavaSoft\\JDK", L"21", jdk21x86, true);
    Register(L"JavaSoft\\Java Development Kit", L"1.6.0_45", jdk6); // names its inner runtime
    Register(L"JavaSoft\\JDK", L"no digits", Folder(L"nodigits", {L"server"}));
    Register(L"JavaSoft\\JDK", L"2147483648", Folder(L"overflow", {L"server"}));
    Register(L"JavaSoft\\JDK", L"18", L"");
    Register(L"JavaSoft\\JDK", L"19", (folder.Path() / L"absent").wstring());
    Register(L"JavaSoft\\JDK", std::wstring(255, L'1'), Folder(L"long", {L"server"}));

    const auto atLeast = [](std::int32_t major) {
        return [major](LauncherSettings& s) { s.minimumVersion = VersionNumber(major, 0, 0, 0); };
    };
    EXPECT_EQ(Search(atLeast(1)), Library(jre17, L"client"));
    EXPECT_EQ(Search([&](LauncherSettings& s) { atLeast(1)(s), s.jvmType = JvmType::Server; }), Library(jdk11, L"server"));
    EXPECT_EQ(Search([&](LauncherSettings& s) { atLeast(20)(s), s.pairProduct = u"C:\\Shop32.exe"; }),
              Library(jdk21x86, L"client"));
    EXPECT_EQ(Search(atLeast(20)), u"");
    EXPECT_EQ(Search([](LauncherSettings& s) { s.maximumVersion = VersionNumber(1, 6, 65535, 65535); }),
              Library(jdk6 + L"\\jre", L"client"));
}

// A runtime as a vendor's installer leaves it: the stand-in (or a 32-bit DLL), release, a JDK's javac.
fs::path VendorRuntime(const ShopFolder& shop, const std::wstring& name, const std::string& version,
                       bool jdk = true, const std::wstring& vmHome = L"", bool x86 = false)
{
    const fs::path home = shop.Folder() / name;
    const fs::path library = ShopFolder::VmLibraryOf(vmHome.empty() ? home : home / vmHome);
    if (x86) {
        fs::create_directories(library.parent_path());
        fs::copy_file(BesideThisProgram(L"tiny32.dll"), library);
    } else {
        shop.AddRuntime(library.parent_path().parent_path().parent_path().wstring());
    }
    WriteBytes(home / "release", "IMPLEMENTOR=\"Vendor\"\r\nJAVA_VERSION=\"" + version + "\"\r\n");
    if (jdk) WriteBytes(home / "bin" / "javac.exe", "");
    return home;
}

TEST_F(RegisteredRuntimes, ExtendedSearchFindsWhatVendorsInstall)
{
    ASSERT_FALSE(LauncherPath().empty()) << "no --launcher=PATH given";
    const ShopFolder shop(nullptr);
    const fs::path classic11 = VendorRuntime(shop, L"classic11", "11.0.22");
    const fs::path temurin21 = VendorRuntime(shop, L"temurin21", "21.0.2");
    const fs::path microsoft17 = VendorRuntime(shop, L"microsoft17", "17.0.10");
    const fs::path corretto17 = VendorRuntime(shop, L"corretto17", "17.0.9");
    const fs::path zulu11 = VendorRuntime(shop, L"zulu11", "11.0.22", false);
    const fs::path liberica8 = VendorRuntime(shop, L"liberica8", "1.8.0_402", true, L"jre");
    const fs::path user19 = VendorRuntime(shop, L"user19", "19.0.2", false);
    const fs::path javaHome23 = VendorRuntime(shop, L"javahome23", "23.0.1");
    VendorRuntime(shop, L"temurin22-x86", "22.0.1", false, L"", true);
    Register(L"JavaSoft\\JDK", L"11.0.22", classic11.wstring());
    RegisterValue(L"HKLM\\Software\\Eclipse Adoptium\\JDK\\21.0.2.13\\hotspot\\MSI", L"Path", temurin21);
    RegisterValue(L"HKLM\\Software\\Eclipse Adoptium\\JRE\\22.0.1.8\\hotspot\\MSI", L"Path",
                 shop.Folder() / "temurin22-x86", true);
    RegisterValue(L"HKLM\\Software\\AdoptOpenJDK\\JDK\\16.0.2.7\\hotspot\\MSI", L"Path",
                 shop.Folder() / "uninstalled16");
    RegisterValue(L"HKCU\\Software\\Microsoft\\JDK\\17.0.10.7\\hotspot\\MSI", L"Path", microsoft17);
    RegisterValue(L"HKLM\\Software\\Amazon\\Amazon Corretto\\17.0.9.8\\MSI", L"Path", corretto17);
    RegisterValue(L"HKLM\\Software\\Azul Systems\\Zulu\\zulu-11", L"InstallationPath", zulu11, true);
    RegisterValue(L"HKCU\\Software\\BellSoft\\Liberica\\jdk-8", L"InstallationPath", liberica8, true);
    RegisterValue(L"HKCU\\Software\\JavaSoft\\JRE\\19", L"JavaHome", user19);

    struct Case {
        const char* rule;
        std::u16string lines; // of "Java Runtime Environment"
        fs::path chosen;      // whose stand-in creates the VM
        bool javaHome = false;
        std::vector<std::pair<std::string, std::string>> traced = {}; // a candidate, its verdict
    };
    const Case cases[] = {
        {"off: the classic keys alone, as ever", u"Maximum Version=any", classic11, true},
        {"on: the newest 64-bit runtime; a stale key and a 32-bit one refused",
         u"Maximum Version=any\r\nExtended Search=Yes", temurin21, false,
         {{"uninstalled16", "refused: missing library"}, {"temurin22-x86", "refused: 32-bit"},
          {"temurin21", "taken"}}},
        {"on: JAVA_HOME too", u"Maximum Version=any\r\nExtended Search=yes", javaHome23, true},
        {"per-user JavaSoft key within the bounds", u"Maximum Version=20\r\nExtended Search=YES", user19},
        {"per-user Microsoft key", u"Maximum Version=18\r\nExtended Search=Yes", microsoft17},
        {"Amazon's key", u"Maximum Version=17.0.9\r\nExtended Search=Yes", corretto17},
        {"a preferred version; a Java 8 JDK's inner runtime",
         u"Maximum Version=any\r\nPreferred versions=1.8\r\nExtended Search=Yes", liberica8 / "jre", false,
         {{"temurin21", "passed over: not preferred"}}},
        {"the classic key wins a tie", u"Maximum Version=any\r\nPreferred versions=11\r\nExtended Search=Yes",
         classic11},
        {"a JRE alone, from the 32-bit view's key",
         u"Maximum Version=any\r\nJVM Source=only_JRE\r\nPreferred versions=11\r\nExtended Search=Yes", zulu11},
    };
    const fs::path traceFile = shop.Folder() / "trace.log";
    const ScopedEnvironmentVariable trace(u"TALA_TRACE", traceFile.u16string());
    for (const Case& c : cases) {
        for (const auto& entry : fs::recursive_directory_iterator(shop.Folder())) {
            if (entry.path().filename() == standin::kRecordFileName) fs::remove(entry.path());
        }
        fs::remove(traceFile);
        const ScopedEnvironmentVariable java(u"JAVA_HOME",
                                             c.javaHome ? std::optional(javaHome23.u16string()) : std::nullopt);
        shop.Write(c.lines);
        const LauncherProcess launcher(shop.CommandLine(), shop.Folder());
        EXPECT_EQ(launcher.WaitForExit(), 0u) << c.rule;
        const auto options = ShopFolder::RecordOf(c.chosen).Values("option");
        EXPECT_NE(std::find(options.begin(), options.end(), "none -Dsun.java.command=shop.App"), options.end())
            << c.rule << ": " << c.chosen << " did not create the VM\n" << ReadBytes(traceFile);
        const std::string traced = ReadBytes(traceFile);
        for (const auto& [candidate, verdict] : c.traced) {
            const std::size_t at = traced.find(candidate);
            ASSERT_NE(at, std::string::npos) << c.rule << ": no " << candidate << " in\n" << traced;
            EXPECT_NE(traced.substr(at, traced.find('\n', at) - at).find("-> " + verdict), std::string::npos)
                << c.rule << ": " << candidate << " not " << verdict << " in\n" << traced;
        }
    }
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
