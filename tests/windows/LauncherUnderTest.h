// Paths a test program is given (--launcher=PATH and the like, a host path becoming Z:; empty when missing)
// or has beside it, and per-user registry values the launcher reads.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tala::test {

std::filesystem::path LauncherPath();
std::filesystem::path PathOption(std::wstring_view option); // "--pack="
std::filesystem::path BesideThisProgram(const wchar_t* name);

// A string value under HKEY_CURRENT_USER set (none: removed) for one test, and put back after it.
class ScopedUserValue {
public:
    ScopedUserValue(const wchar_t* key, const wchar_t* name, const std::optional<std::wstring>& value);
    ~ScopedUserValue() { Set(previous_); }
    ScopedUserValue(const ScopedUserValue&) = delete;
    ScopedUserValue& operator=(const ScopedUserValue&) = delete;

private:
    void Set(const std::optional<std::wstring>& value) const;

    const wchar_t* key_;
    const wchar_t* name_;
    std::optional<std::wstring> previous_;
};

} // namespace tala::test
