#include "os/IniFile.h"

#include "os/Utf8.h"
#include "os/posix/FileContent.h"
#include "os/posix/IniText.h"

namespace tala::os {
namespace {

// Every call reads the file anew: several readers may look at one file, and a
// write by one must be seen by the next read.
bool ReadIniText(const std::u16string& path, ini::DecodedText& decoded)
{
    std::string bytes;
    if (!ReadFileContent(ToUtf8(path), bytes)) return false;
    decoded = ini::Decode(bytes);
    return true;
}

} // namespace

std::u16string ReadIniString(const std::u16string& path, const std::u16string& section,
                             const std::u16string& key)
{
    ini::DecodedText decoded;
    if (!ReadIniText(path, decoded)) return {};
    return ini::FindValue(decoded.text, section, key).value_or(std::u16string());
}

std::vector<std::u16string> ReadIniSectionNames(const std::u16string& path)
{
    ini::DecodedText decoded;
    if (!ReadIniText(path, decoded)) return {};
    return ini::SectionNames(decoded.text);
}

bool WriteIniString(const std::u16string& path, const std::u16string& section,
                    const std::u16string& key, const std::u16string& value)
{
    // As the profile functions do: one line changes, every other byte stays,
    // and a file that cannot be read or written stays as it is.
    return UpdateFileContent(ToUtf8(path), [&](std::string_view bytes) {
        return ini::WithValueInFile(bytes, section, key, value);
    });
}

} // namespace tala::os
