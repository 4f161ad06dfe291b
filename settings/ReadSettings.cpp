#include "settings/ReadSettings.h"

#include "launcher/ErrorReport.h"
#include "launcher/Trace.h"
#include "settings/EmbeddedSettingsText.h"
#include "settings/LayeredSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPaths.h"

#include <array>

namespace tala {
namespace {

using namespace keys;

struct ProviderRow {
    std::u16string_view name;
    bool allowJRockit, allowSun, allowIbm, favorJRockit, favorSun, favorIbm;
};

// Searched in order, caselessly; an unmatched value keeps the defaults
// (Sun allowed and favoured). There is no row for "sun".
constexpr std::array<ProviderRow, 6> kProviderRows{{
    {u"jrockit", true, false, false, true, false, false},
    {u"ibm", false, false, true, false, false, true},
    {u"favor_sun", true, true, true, false, true, false},
    {u"favor_jrockit", true, true, true, true, false, false},
    {u"favor_ibm", true, true, true, false, false, true},
    {u"any", true, true, true, false, false, false},
}};

void ReadProductInformation(SettingsFile& file, LauncherSettings& settings)
{
    settings.productCode = file.Get(kProductInformation, kProductCode);
    settings.upgradeCode = file.Get(kProductInformation, kUpgradeCode);
    settings.productName = file.Get(kProductInformation, kProductName);
}

// A non-service launcher takes "JRE Path" from the user's copy of the settings
// file once that exists (even when the key is empty there): it holds the
// runtime folder this user picked.
std::u16string ReadJrePath(const std::u16string& modulePath, LayeredSettings& layered,
                           const LauncherSettings& settings)
{
    if (!settings.isService) {
        const std::u16string userFile = GetUserSettingsFilePath(modulePath, settings, false);
        const bool exists = !userFile.empty() && UserSettingsFileExists(userFile);
        trace::Note("settings", u"per-user file", userFile, exists ? u"(used)" : u"(absent)");
        if (exists) return SettingsFile(userFile).Get(kJavaRuntimeEnvironment, kJrePath);
    }
    return layered.Get(kJavaRuntimeEnvironment, kJrePath);
}

JvmType ToJvmType(std::u16string_view value)
{
    if (IsExactly(value, u"server")) return JvmType::Server;
    if (IsExactly(value, u"favor_server")) return JvmType::FavorServer;
    return JvmType::NoPreference;
}

void ApplyJvmSource(std::u16string_view value, LauncherSettings& settings)
{
    if (value.empty()) {
        settings.wantJdk = settings.wantJre = true;
        return;
    }
    const bool favorJdk = IsExactly(value, u"favor_JDK");
    const bool favorJre = IsExactly(value, u"favor_JRE");
    const bool onlyJdk = IsExactly(value, u"only_JDK");
    const bool onlyJre = IsExactly(value, u"only_JRE");
    settings.wantJdk = favorJdk || onlyJdk;
    settings.wantJre = favorJre || onlyJre;
    settings.acceptBothKinds = favorJdk || favorJre;
}

void ApplyVmProvider(std::u16string_view value, LauncherSettings& settings)
{
    if (value.empty()) return;
    for (const ProviderRow& row : kProviderRows) {
        if (!IsCaseless(value, row.name)) continue;
        settings.allowJRockit = row.allowJRockit;
        settings.allowSun = row.allowSun;
        settings.allowIbm = row.allowIbm;
        settings.favorJRockit = row.favorJRockit;
        settings.favorSun = row.favorSun;
        settings.favorIbm = row.favorIbm;
        return;
    }
}

} // namespace

bool ReadSettings(LauncherSettings& settings, os::WindowHandle owner)
{
    std::u16string modulePath;
    if (!GetModulePathOrReport(modulePath, owner)) return false;
    return ReadSettingsFor(modulePath, settings, owner);
}

bool ReadSettingsFor(const std::u16string& modulePath, LauncherSettings& settings,
                     os::WindowHandle owner)
{
    const auto settingsFilePath = SettingsFilePathFor(modulePath);
    if (!settingsFilePath) return false;

    // The product identity never comes from the embedded text: the text
    // itself is found through the "Upgrade Code".
    trace::Note("settings", u"file", *settingsFilePath);
    SettingsFile file(*settingsFilePath);
    ReadProductInformation(file, settings);
    LayeredSettings layered(*settingsFilePath, LoadEmbeddedSettingsText(settings.upgradeCode));

    settings.minimumVersion = VersionNumber::ParseBound(
        layered.Get(kJavaRuntimeEnvironment, kMinimumVersion), VersionNumber::Bound::Minimum);
    settings.maximumVersion = VersionNumber::ParseBound(
        layered.Get(kJavaRuntimeEnvironment, kMaximumVersion), VersionNumber::Bound::Maximum);
    settings.isService = IsExactly(layered.Get(kApplication, kApplicationType), u"service");
    SplitString(layered.Get(kJavaRuntimeEnvironment, kPreferredVersions), u";",
                settings.preferredVersions);
    settings.jrePath = ReadJrePath(modulePath, layered, settings);
    settings.jvmType = ToJvmType(layered.Get(kJavaRuntimeEnvironment, kJvmType));
    ApplyJvmSource(layered.Get(kJavaRuntimeEnvironment, kJvmSource), settings);
    ApplyVmProvider(layered.Get(kJavaRuntimeEnvironment, kVmProvider), settings);

    const std::u16string mainClass = layered.Get(kJavaRuntimeEnvironment, kMainClass);
    if (mainClass.empty()) {
        ShowErrorBox(owner, MessageId::MainClassMissing);
        return false;
    }
    settings.mainClass = ReplaceAll(mainClass, u'.', u'/');

    settings.failureCheck = IsCaseless(layered.Get(kApplication, kFailureCheck), u"Yes");
    settings.overrideWorkingDir = IsCaseless(layered.Get(kApplication, kOverrideWorkingDir), u"Yes");
    settings.systemPath = layered.Get(kJavaRuntimeEnvironment, kSystemPath);
    settings.libraryPath = layered.Get(kJavaRuntimeEnvironment, kLibraryPath);
    settings.pairProduct = layered.Get(kApplication, kPairProduct);
    settings.pairReturnCode = IsCaseless(layered.Get(kApplication, kPairReturnCode), u"Yes");
    settings.extendedSearch = IsCaseless(layered.Get(kJavaRuntimeEnvironment, kExtendedSearch), u"Yes");
    settings.startupCache = IsCaseless(layered.Get(kJavaRuntimeEnvironment, kStartupCache), u"Yes");
    return true;
}

} // namespace tala
