#include "settings/SettingsPaths.h"

#include "launcher/ErrorReport.h"
#include "os/Environment.h"
#include "os/Files.h"
#include "os/LastError.h"
#include "os/Module.h"
#include "os/PathText.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

namespace tala {
namespace {

// Characters that cannot stand in a folder name on Windows; left out on every
// platform, so one product keeps one folder name everywhere.
constexpr std::u16string_view kUnsafeNameCharacters = u"\\?\"|><:/*";

} // namespace

std::u16string WithoutUnsafeCharacters(std::u16string_view name)
{
    std::u16string folder;
    for (const char16_t c : name) {
        if (kUnsafeNameCharacters.find(c) == std::u16string_view::npos) folder += c;
    }
    return folder;
}

std::optional<std::u16string> SettingsFilePathFor(std::u16string_view executablePath,
                                                  os::PathStyle style)
{
    if (style == os::PathStyle::Posix) {
        const std::u16string_view name = os::FileNameOf(executablePath, style);
        const std::size_t dot = name.rfind(u'.');
        if (name.empty()) return std::nullopt;
        if (dot == std::u16string_view::npos) return std::u16string(executablePath) + u".ini";
        const std::size_t cut = executablePath.size() - name.size() + dot + 1;
        return std::u16string(executablePath.substr(0, cut)) + u"ini";
    }
    const std::size_t dot = executablePath.rfind(u'.');
    if (dot == std::u16string_view::npos) return std::nullopt;
    return std::u16string(executablePath.substr(0, dot + 1)) + u"ini";
}

bool GetModulePathOrReport(std::u16string& path, os::WindowHandle owner)
{
    if (os::GetModulePath(path)) return true;
    const std::int32_t error = os::LastErrorCode();
    ReportError(owner, MessageId::WindowsException,
                {DetailText(MessageId::ModulePathFailed), error});
    return false;
}

bool GetSettingsFilePath(std::u16string& path, os::WindowHandle owner)
{
    std::u16string modulePath;
    if (!GetModulePathOrReport(modulePath, owner)) return false;
    const auto settingsPath = SettingsFilePathFor(modulePath);
    if (!settingsPath) return false;
    path = *settingsPath;
    return true;
}

std::u16string UserSettingsFilePathFor(std::u16string_view sourcePath,
                                       std::u16string_view productName,
                                       std::u16string_view productCode, std::u16string_view root,
                                       os::PathStyle style)
{
    std::u16string_view baseName = os::FileNameOf(sourcePath, style);
    const std::size_t dot = baseName.rfind(u'.');
    if (dot != std::u16string_view::npos) baseName = baseName.substr(0, dot);

    const char16_t separator = os::PathSeparator(style);
    std::u16string path(root);
    path += separator;
    path += WithoutUnsafeCharacters(productName);
    path += separator;
    path += productCode;
    path += separator;
    path += baseName;
    path += u".ini";
    return path;
}

std::u16string GetUserSettingsFilePath(const std::u16string& sourcePath,
                                       const LauncherSettings& settings, bool createFolders)
{
    if (sourcePath.empty()) return {};
    const std::u16string root = os::UserSettingsRoot();
    if (createFolders) {
        const char16_t separator = os::PathSeparator(os::kHostPathStyle);
        const std::u16string productFolder =
            root + separator + WithoutUnsafeCharacters(settings.productName);
        os::PrepareUserSettingsRoot(root);
        os::MakeDirectory(productFolder);
        os::MakeDirectory(productFolder + separator + settings.productCode);
    }
    return UserSettingsFilePathFor(sourcePath, settings.productName, settings.productCode, root);
}

bool GetPairSettingsFilePath(const std::u16string& pairProduct, std::u16string& path)
{
    if (pairProduct.empty()) return false;
    const auto pairPath = SettingsFilePathFor(pairProduct);
    if (!pairPath) return false;
    path = *pairPath;
    return true;
}

bool UserSettingsFileExists(const std::u16string& path) { return os::PathExists(path); }

void WriteBackJrePath(const LauncherSettings& settings, const std::u16string& value)
{
    std::u16string modulePath;
    if (!GetModulePathOrReport(modulePath)) return;
    WriteBackJrePathFor(modulePath, settings, value);
}

void WriteBackJrePathFor(const std::u16string& modulePath, const LauncherSettings& settings,
                         const std::u16string& value)
{
    const auto settingsFilePath = SettingsFilePathFor(modulePath);
    if (!settingsFilePath) return;

    auto write = [&value](const std::u16string& path) {
        if (path.empty()) return;
        SettingsFile(path).SetString(keys::kJavaRuntimeEnvironment, keys::kJrePath, value);
    };
    std::u16string pairPath;
    if (settings.isService) {
        write(*settingsFilePath);
        if (GetPairSettingsFilePath(settings.pairProduct, pairPath)) write(pairPath);
        return;
    }
    write(GetUserSettingsFilePath(modulePath, settings, true));
    if (!settings.pairProduct.empty()) {
        write(GetUserSettingsFilePath(settings.pairProduct, settings, true));
    }
}

} // namespace tala
