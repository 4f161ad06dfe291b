#include "tests/windows/dialogs/ShopFolder.h"

#include "tests/windows/LauncherUnderTest.h"

#include <windows.h>

namespace tala::test {

namespace fs = std::filesystem;

ShopSettings RequiringRuntime(std::u16string minimumVersion, std::u16string maximumVersion,
                              std::u16string jvmType)
{
    ShopSettings settings;
    settings.minimumVersion = std::move(minimumVersion);
    settings.maximumVersion = std::move(maximumVersion);
    settings.jvmType = std::move(jvmType);
    return settings;
}

ShopSettings CheckingFailuresOn(const fs::path& runtime)
{
    ShopSettings settings;
    settings.jrePath = runtime.u16string();
    settings.failureCheck = true;
    return settings;
}

ShopFolder::ShopFolder() : userSettingsRoot_(UserSettingsRootVariable(), folder_.Child("user"))
{
    fs::copy_file(LauncherPath(), Exe());
    // The user's settings root exists on every system; the launcher makes
    // only the product's folders below it.
    fs::create_directories(Folder() / "user");
    fs::create_directories(Folder() / "lib");
    WriteBytes(Folder() / "lib" / "app.jar", "");
}

void ShopFolder::Write(const ShopSettings& settings) const
{
    // UTF-16 with a byte-order mark, so the private-profile API reads any
    // path whatever the code page.
    WriteBytes(Folder() / "Shop.ini",
               Utf16LeWithBom(u"[Product Information]\r\n"
                              u"Product Name=Shop\r\n"
                              u"Product Code=shop-1\r\n"
                              u"[Java Runtime Environment]\r\n"
                              u"Main Class=shop.App\r\n"
                              u"Minimum Version=" + settings.minimumVersion + u"\r\n"
                              u"Maximum Version=" + settings.maximumVersion + u"\r\n"
                              u"JVM Type=" + settings.jvmType + u"\r\n"
                              u"JRE Path=" + settings.jrePath + u"\r\n"
                              u"[Class Path]\r\n"
                              u"Class Path=\\lib\\app.jar\r\n"
                              u"[Application]\r\n"
                              u"Failure Check=" + (settings.failureCheck ? u"yes" : u"no") + u"\r\n"));
}

fs::path ShopFolder::AddRuntime(const std::wstring& name, const std::wstring& kind) const
{
    const fs::path runtime = Folder() / name;
    const fs::path vmLibrary = runtime / "bin" / kind / "jvm.dll";
    InstallStandIn(kStandInVm, vmLibrary);
    WriteScenario(vmLibrary, "main-class=shop/App\n");
    return runtime;
}

fs::path ShopFolder::VmLibraryOf(const fs::path& runtime)
{
    return runtime / "bin" / "server" / "jvm.dll";
}

void ShopFolder::Play(const fs::path& runtime, const std::string& scenario)
{
    WriteScenario(VmLibraryOf(runtime), scenario);
}

fs::path ShopFolder::UserSettingsFolder() const
{
    return Folder() / "user" / "Shop";
}

fs::path ShopFolder::UserSettingsFile() const
{
    return UserSettingsFolder() / "shop-1" / "Shop.ini";
}

std::wstring ShopFolder::RememberedJrePath() const
{
    std::wstring value(1024, L'\0');
    const DWORD length = ::GetPrivateProfileStringW(L"Java Runtime Environment", L"JRE Path", L"", value.data(),
                                                    static_cast<DWORD>(value.size()),
                                                    UserSettingsFile().c_str());
    value.resize(length);
    return value;
}

} // namespace tala::test
