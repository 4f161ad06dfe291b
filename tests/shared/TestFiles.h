// Files, folders and environment variables for the tests of both builds.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tala::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A path inside the folder, as the launcher's UTF-16 text.
    std::u16string Child(const std::filesystem::path& relative) const { return (path_ / relative).u16string(); }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

// Text as UTF-16 little-endian with a byte-order mark, as Windows tools write it.
std::string Utf16LeWithBom(const std::u16string& text);

class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::u16string name, const std::optional<std::u16string>& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::u16string name_;
    std::optional<std::u16string> previous_;
};

inline std::u16string UserSettingsRootVariable()
{
#ifdef _WIN32
    return u"APPDATA";
#else
    return u"XDG_CONFIG_HOME";
#endif
}

} // namespace tala::test
