#include "tests/windows/ShopFolder.h"

#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/WaitUntil.h"

#include <windows.h>

namespace tala::test {

namespace fs = std::filesystem;

ShopFolder::ShopFolder(const wchar_t* standIn)
    : userSettingsRoot_(UserSettingsRootVariable(), folder_.Child("user")), hasRuntime_(standIn != nullptr)
{
    fs::copy_file(LauncherPath(), Folder() / "Shop.exe");
    // The user's settings root exists on every system; the launcher makes only the product's.
    fs::create_directories(Folder() / "user");
    fs::create_directories(Folder() / "lib");
    WriteBytes(Folder() / "lib" / "app.jar", "");
    if (standIn == nullptr) return;
    if (std::wstring(standIn) == kNotALibrary) {
        fs::create_directories(VmLibrary().parent_path());
        WriteBytes(VmLibrary(), "not a library\r\n");
        return;
    }
    InstallStandIn(standIn, VmLibrary());
    Play("");
}

std::wstring ShopFolder::CommandLine(const std::wstring& arguments) const
{
    return L"\"" + (Folder() / "Shop.exe").wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
}

void ShopFolder::Write(const std::u16string& lines) const
{
    // With a byte-order mark the private-profile API reads any character, whatever the code page.
    WriteBytes(Folder() / "Shop.ini",
               Utf16LeWithBom(u"[Product Information]\r\nProduct Name=Shop\r\nProduct Code=shop-1\r\n"
                              u"[Class Path]\r\nClass Path=\\lib\\*.jar;C:\\shop\\missing.jar\r\n"
                              u"[Java Runtime Environment]\r\nMain Class=shop.App\r\n" +
                              (hasRuntime_ ? u"JRE Path=" + Home().u16string() + u"\r\n" : u"") + lines + u"\r\n"));
}

Outcome ShopFolder::Run(const std::wstring& arguments, std::chrono::milliseconds timeout) const
{
    return RunTarget({CommandLine(arguments), Folder().wstring(), timeout}, [](const Dialog&) { return IDOK; });
}

std::future<Outcome> ShopFolder::Start(const std::wstring& arguments, std::chrono::milliseconds timeout) const
{
    const Target target{CommandLine(arguments), Folder().wstring(), timeout};
    return std::async(std::launch::async, [target] { return RunTarget(target, [](const Dialog&) { return IDOK; }); });
}

bool ShopFolder::WaitHeld(const std::string& point) const
{
    return WaitUntil([&] {
        const std::vector<std::string> lines = Record().Values("held");
        return std::find(lines.begin(), lines.end(), point) != lines.end();
    }, 15s);
}

void ShopFolder::Release(const std::string& point) const
{
    WriteBytes(VmLibrary().parent_path() / (standin::kReleaseFileName + std::wstring(point.begin(), point.end())), "");
}

std::u16string ShopFolder::AddPairProduct(const std::u16string& pairReturnCode) const
{
    fs::create_directories(Folder() / "jre32" / "bin" / "server");
    fs::copy_file(BesideThisProgram(L"tiny32.dll"), Folder() / "jre32" / "bin" / "server" / "jvm.dll");
    fs::copy_file(BesideThisProgram(L"tala-test-pair.exe"), Folder() / "Shop32.exe");
    return u"JRE Path=" + (Folder() / "jre32").u16string() + u"\r\n[Application]\r\nPair Product=" +
           (Folder() / "Shop32.exe").u16string() + u"\r\nPair Return Code=" + pairReturnCode + u"\r\n";
}

std::wstring ShopFolder::PairCommandLine() const
{
    const fs::path record = Folder() / "pair-command-line.txt";
    WaitUntil([&] { return fs::exists(record); }, 20s);
    const std::string bytes = ReadBytes(record);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

fs::path ShopFolder::AddRuntime(const std::wstring& name, const std::wstring& kind) const
{
    const fs::path runtime = Folder() / name;
    InstallStandIn(kStandInVm, runtime / "bin" / kind / "jvm.dll");
    WriteBytes(runtime / "bin" / kind / standin::kScenarioFileName, "main-class=shop/App\n");
    return runtime;
}

std::wstring ShopFolder::RememberedJrePath() const
{
    const fs::path file = UserSettingsFolder() / "shop-1" / "Shop.ini";
    std::wstring value(1024, L'\0');
    value.resize(::GetPrivateProfileStringW(L"Java Runtime Environment", L"JRE Path", L"", value.data(),
                                            static_cast<DWORD>(value.size()), file.c_str()));
    return value;
}

} // namespace tala::test
