#include "os/Environment.h"

#include "os/Utf8.h"

#include <cstdlib>
#include <sys/stat.h>

namespace tala::os {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name)
{
    const char* value = std::getenv(ToUtf8(name).c_str());
    if (value == nullptr) return std::nullopt;
    return FromUtf8(value);
}

bool WriteEnvironmentVariable(const std::u16string& name,
                              const std::optional<std::u16string>& value)
{
    if (!value) return ::unsetenv(ToUtf8(name).c_str()) == 0;
    return ::setenv(ToUtf8(name).c_str(), ToUtf8(*value).c_str(), 1) == 0;
}

std::u16string UserHomeFolder()
{
    return ReadEnvironmentVariable(u"HOME").value_or(std::u16string());
}

std::u16string UserSettingsRoot()
{
    // The XDG rule: an absolute XDG_CONFIG_HOME, else ~/.config.
    const auto configHome = ReadEnvironmentVariable(u"XDG_CONFIG_HOME");
    if (configHome && !configHome->empty() && configHome->front() == u'/') return *configHome;
    const auto home = ReadEnvironmentVariable(u"HOME");
    if (home && !home->empty()) return *home + u"/.config";
    return {};
}

void PrepareUserSettingsRoot(const std::u16string& root)
{
    const std::string path = ToUtf8(root);
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    }
    if (!path.empty()) ::mkdir(path.c_str(), 0700);
}

} // namespace tala::os
