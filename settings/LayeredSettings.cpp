#include "settings/LayeredSettings.h"

#include "launcher/Trace.h"

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
    const bool embedded = !value.empty();

    std::u16string fileValue;
    file_.GetString(section, key, fileValue);
    if (!fileValue.empty()) {
        value = fileValue;
        if (trace::Enabled()) TraceKeyRead(section, key, value, u"(file)");
        return;
    }
    std::u16string extension;
    file_.GetString(std::u16string(section) + u"+", key, extension);
    if (!extension.empty()) {
        if (extension.front() != u' ') value += u' ';
        value += extension;
    }
    if (trace::Enabled()) {
        TraceKeyRead(section, key, value,
                 !extension.empty() ? (embedded ? u"(embedded text, \"+\" section)" : u"(\"+\" section)")
                 : embedded         ? u"(embedded text)"
                                    : u"(absent)");
    }
}

std::u16string LayeredSettings::Get(std::u16string_view section, std::u16string_view key)
{
    std::u16string value;
    GetString(section, key, value);
    return value;
}

} // namespace tala
