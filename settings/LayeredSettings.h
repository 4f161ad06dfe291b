// The store almost every reader uses: the settings text carried in the
// executable, overridden by the settings file, extended by the file's
// "<section>+" sections. Operations other than lookups act on the file.
#pragma once

#include "settings/EmbeddedSettings.h"
#include "settings/SettingsFile.h"

namespace tala {

class LayeredSettings : public SettingsSource {
public:
    LayeredSettings(std::u16string settingsFilePath, std::u16string_view embeddedText);

    std::uint32_t ReadHeader(std::array<std::uint8_t, 4>& header) override
    {
        return file_.ReadHeader(header);
    }
    // The embedded value; replaced by a non-empty file value; else extended
    // by a non-empty value of the same key in "<section>+", after one space.
    void GetString(std::u16string_view section, std::u16string_view key,
                   std::u16string& value) override;
    void GetSectionNames(StringList& names) override { file_.GetSectionNames(names); }
    void SetString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override
    {
        file_.SetString(section, key, value);
    }
    void Delete() override { file_.Delete(); }

    std::u16string Get(std::u16string_view section, std::u16string_view key);

    SettingsFile& File() { return file_; }
    EmbeddedSettings& Embedded() { return embedded_; }

private:
    SettingsFile file_;
    EmbeddedSettings embedded_;
};

} // namespace tala
