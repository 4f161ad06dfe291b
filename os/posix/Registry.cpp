#include "os/Registry.h"

#include "os/posix/RuntimeFolders.h"

#include <string_view>

namespace tala::os {
namespace {

constexpr std::u16string_view kJdkKey = u"Software\\JavaSoft\\JDK";
constexpr std::u16string_view kJreKey = u"Software\\JavaSoft\\JRE";

std::u16string_view WithoutTrailingSeparators(std::u16string_view keyPath)
{
    while (!keyPath.empty() && keyPath.back() == u'\\') keyPath.remove_suffix(1);
    return keyPath;
}

// Which kind of runtime a key stands for; nothing for keys this view lacks.
std::optional<bool> IsJdkKey(std::u16string_view keyPath)
{
    keyPath = WithoutTrailingSeparators(keyPath);
    if (keyPath == kJdkKey) return true;
    if (keyPath == kJreKey) return false;
    return std::nullopt;
}

} // namespace

std::optional<std::vector<std::u16string>> ReadRegistrySubKeyNames(const std::u16string& keyPath,
                                                                   RegistryView view, RegistryRoot root)
{
    const auto isJdk = IsJdkKey(keyPath);
    if (view != RegistryView::Default || root != RegistryRoot::LocalMachine || !isJdk) return std::nullopt;
    std::vector<std::u16string> names;
    for (const RuntimeFolder& folder : ScanRuntimeFolders(DefaultRuntimeRoots())) {
        if (folder.isJdk == *isJdk) names.push_back(folder.name);
    }
    return names;
}

std::optional<std::u16string> ReadRegistryString(const std::u16string& keyPath,
                                                 const std::u16string& valueName,
                                                 RegistryView view, RegistryRoot root)
{
    const std::u16string_view path = WithoutTrailingSeparators(keyPath);
    const std::size_t separator = path.rfind(u'\\');
    if (view != RegistryView::Default || root != RegistryRoot::LocalMachine || valueName != u"JavaHome" ||
        separator == std::u16string_view::npos) {
        return std::nullopt;
    }
    const auto isJdk = IsJdkKey(path.substr(0, separator));
    if (!isJdk) return std::nullopt;
    const std::u16string_view name = path.substr(separator + 1);
    for (const RuntimeFolder& folder : ScanRuntimeFolders(DefaultRuntimeRoots())) {
        if (folder.isJdk == *isJdk && folder.name == name) return folder.home;
    }
    return std::nullopt;
}

} // namespace tala::os
