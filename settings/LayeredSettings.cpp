#include "settings/LayeredSettings.h"

namespace tala {

LayeredSettings::LayeredSettings(std::u16string settingsFilePath, std::u16string_view embeddedText)
    : file_(std::move(settingsFilePath))
{
    embedded_.Parse(embeddedText);
}

void LayeredSettings::GetString(std::u16string_view section, std::u16string_view key,
                                std::u16string& value)
{
    value.clear();
    embedded_.GetString(section, key, value);

    const std::u16string fileValue = file_.Get(section, key);
    if (!fileValue.empty()) {
        value = fileValue;
        return;
    }
    const std::u16string extension = file_.Get(std::u16string(section) + u"+", key);
    if (extension.empty()) return;
    if (extension.front() != u' ') value += u' ';
    value += extension;
}

std::u16string LayeredSettings::Get(std::u16string_view section, std::u16string_view key)
{
    std::u16string value;
    GetString(section, key, value);
    return value;
}

} // namespace tala
