#include "os/Registry.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

namespace tala::os {
namespace {

UniqueRegistryKey OpenKey(std::u16string keyPath, RegistryView view, RegistryRoot root)
{
    // The runtime keys are written with a trailing backslash; the key itself has none.
    while (!keyPath.empty() && keyPath.back() == u'\\') keyPath.pop_back();
    const REGSAM access = KEY_READ | (view == RegistryView::Bits32 ? KEY_WOW64_32KEY : 0);
    HKEY key = nullptr;
    const HKEY rootKey = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (::RegOpenKeyExW(rootKey, Wide(keyPath), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return UniqueRegistryKey(key);
}

} // namespace

std::optional<std::vector<std::u16string>> ReadRegistrySubKeyNames(const std::u16string& keyPath,
                                                                   RegistryView view, RegistryRoot root)
{
    const UniqueRegistryKey key = OpenKey(keyPath, view, root);
    if (key == nullptr) return std::nullopt;
    std::vector<std::u16string> names;
    // 255 characters is the registry's own limit for a key name.
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.push_back(FromWide(name, length));
    }
    return names;
}

std::optional<std::u16string> ReadRegistryString(const std::u16string& keyPath,
                                                 const std::u16string& valueName,
                                                 RegistryView view, RegistryRoot root)
{
    const UniqueRegistryKey key = OpenKey(keyPath, view, root);
    if (key == nullptr) return std::nullopt;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), Wide(valueName), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Room for a terminator the stored data may lack.
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (::RegQueryValueExW(key.get(), Wide(valueName), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return FromWide(data.data());
}

} // namespace tala::os
