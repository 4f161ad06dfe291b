#include "settings/SettingsFile.h"

#include "launcher/Trace.h"
#include "os/Files.h"
#include "os/IniFile.h"

namespace tala {

std::uint32_t SettingsFile::ReadHeader(std::array<std::uint8_t, 4>& header)
{
    return os::ReadFileHeader(path_, header);
}

void SettingsFile::GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string& value)
{
    value = os::ReadIniString(path_, std::u16string(section), std::u16string(key));
}

void SettingsFile::GetSectionNames(StringList& names)
{
    names = os::ReadIniSectionNames(path_);
}

void SettingsFile::SetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view value)
{
    os::WriteIniString(path_, std::u16string(section), std::u16string(key),
                      std::u16string(value));
}

void SettingsFile::Delete() { os::RemoveFile(path_); }

std::u16string SettingsFile::Get(std::u16string_view section, std::u16string_view key)
{
    std::u16string value;
    GetString(section, key, value);
    if (trace::Enabled()) TraceKeyRead(section, key, value, std::u16string(u"(file ").append(path_).append(u")"));
    return value;
}

void TraceKeyRead(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                  std::u16string_view source)
{
    std::u16string name(1, u'[');
    name.append(section).append(u"] ").append(key);
    std::u16string quoted(1, u'"');
    quoted.append(value).append(1, u'"');
    trace::Note("key", name, u"=", quoted, source);
}

} // namespace tala
